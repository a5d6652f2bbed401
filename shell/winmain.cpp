// Start-up and shutdown: the entry routine, the creation handler of the main window that builds
// the game in a fixed order (sound and music once the first picture is up), the window sizing,
// the sound-card test and the one orderly ending.
// The main window handle is never kept here: every routine receives it from the window procedure.
#include "shell/winmain.h"

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "persist/halloffame.h"
#include "persist/settings.h"
#include "render/scale.h"
#include "render/tilesheet.h"
#include "resources/ids.h"
#include "shell/deadends.h"
#include "shell/home.h"
#include "shell/mainwindow.h"
#include "shell/music.h"

namespace {

constexpr const char* kWindowTitle = "Tolbex v1.3";
constexpr unsigned kChronoPeriodMs = 1000;

// Set by the first ShutDown of a run. The Exit command, the window's destruction and a refused
// layout can each ask for the ending; only the first one writes the settings and frees things.
bool shutDownDone = false;
// Set once StartSound has run for the current main window.
bool soundStarted = false;

void SetCheck(platform::Window window, int commandId, uint8_t flag) {
    platform::CheckMenuItem(window, commandId, flag == 1);
}

}  // namespace

int WinMain() {
    if (!TakeStartDir()) {
        platform::MessageBox(nullptr, kStartDirTooLongText, kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 1;
    }
    // The settings name their default data files below startDir, so they come after it.
    LoadSettings();
    platform::Window window =
        platform::CreateMainWindow(kWindowTitle, MainWindowProc, Settings.backgroundColor);
    if (!window) {
        platform::MessageBox(nullptr, "The main window cannot be created.", kCaption,
                             platform::MB_OK | platform::MB_ICONEXCLAMATION);
        return 1;
    }
    platform::ShowWindow(window);
    return platform::RunMessageLoop();
}

void OnCreateMainWindow(platform::Window window) {
    shutDownDone = false;   // a new main window starts a new run

    statusBar = platform::CreateStatusWindow(window, kStatusBarId);
    CreateBoardGraphics(window);
    // At start-up there is no previous layout to keep: when the configured one cannot be used
    // the game plays on the layout built into the program, so it always starts playable.
    if (LoadLayout(window, Settings.layoutPath) == 0) LoadBuiltInLayout();
    LoadHallOfFame(window);
    DealNewGame();
    platform::CheckMenuItem(window, IDM_PAUSE, false);
    UpdateFreeFlags();
    SizeMainWindow(window, statusBar);
    platform::SetTimer(window, kChronoTimerId, kChronoPeriodMs);
    SetCheck(window, IDM_USE_COLORS, Settings.useColors);
    SetCheck(window, IDM_SHOW_CHRONO, Settings.showChrono);
    SetCheck(window, IDM_SHOW_EXPOSED, Settings.showExposed);
    CheckTileSize(window);
    SetCheck(window, IDM_WINNABLE_DEALS, Settings.winnableDeals);
    SetCheck(window, IDM_WARN_DEAD_ENDS, Settings.warnDeadEnds);
    platform::CheckMenuItem(window, IDM_PAUSE_MUSIC, false);
    platform::CheckMenuItem(window, IDM_NO_MUSIC, Settings.midiPath[0] == '\0');
    // Sound waits for the first picture: the sound card test and the music load libraries and a
    // synthesizer that the picture does not need. The window procedure runs it before any other
    // message is handled, so no command or click ever sees the game without it.
    soundStarted = false;
    platform::AfterFirstFrame(window, StartSound);
}

void StartSound(platform::Window window) {
    if (soundStarted) return;
    soundStarted = true;
    // Run before its checkmark: without a wave device it has already cleared soundEffects.
    CheckSoundCard();
    SetCheck(window, IDM_SOUND_EFFECTS, Settings.soundEffects);
    // The music is attempted even without a wave device; the sequencer fails silently then.
    if (Settings.midiPath[0] != '\0') {
        musicOn = 1;
        PlayMidiFile(window, Settings.midiPath);
    }
    WatchPosition();
}

// The drawing scale follows the tile size (Automatic: the largest that fits the screen) times
// the screen's pixel ratio; the board's own size in board pixels is unchanged by it.
void SizeMainWindow(platform::Window window, platform::Window status) {
    const platform::ScreenArea area = platform::GetScreenArea(window);
    const int factor = ChosenTileFactor(Settings.tileSize, Board.width, Board.height, area);
    const int scale = DrawScaleFor(factor, area.pixelRatio, Board.width, Board.height);
    SetDrawScale(scale);
    platform::FitMainWindow(window, status, Board.width, Board.height, scale);
}

void CheckTileSize(platform::Window window) {
    for (int id = IDM_TILE_SIZE_AUTO; id <= IDM_TILE_SIZE_HUGE; ++id)
        platform::CheckMenuItem(window, id, id - IDM_TILE_SIZE_AUTO == Settings.tileSize);
}

bool CheckSoundCard() {
    if (platform::WaveOutGetNumDevs() != 0) return true;
    Settings.soundEffects = 0;
    musicOn = 0;
    return false;
}

void ShutDown(platform::Window window) {
    if (shutDownDone) return;
    shutDownDone = true;
    // The settings go first: SaveSettings still sees whether music and a background are in use.
    SaveSettings(window);
    if (musicOn == 1) platform::MciSendString("close FichierMIDI");
    ReleaseBoardGraphics();
    platform::KillTimer(window, kChronoTimerId);
    platform::PostQuitMessage(0);
}
