// The main window procedure, the program's one dispatcher: paints, clicks, the chrono tick and
// the menu commands 1100..1124, each turned into a fixed sequence of calls into the subsystems.
// It also keeps the menu checkmarks, the pause and the hint display in step with the game.
#include "shell/mainwindow.h"

#include <cstring>

#include "board/click.h"
#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/state.h"
#include "options/colours.h"
#include "options/sounds.h"
#include "persist/halloffame.h"
#include "persist/savegame.h"
#include "render/drawboard.h"
#include "render/tilesheet.h"
#include "resources/ids.h"
#include "shell/about.h"
#include "shell/deadends.h"
#include "shell/music.h"
#include "shell/statusbar.h"
#include "shell/winmain.h"

namespace {

using platform::Window;

uint8_t Toggled(uint8_t flag) { return flag == 0 ? 1 : 0; }

void SetCheck(Window window, int commandId, uint8_t flag) {
    platform::CheckMenuItem(window, commandId, flag == 1);
}

// Every change of the game is shown by redrawing the whole board and rewriting the status text.
void Refresh(Window window) {
    DrawBoard(window);
    UpdateStatusBar(statusBar);
}

// DealTiles clears GameState.paused; the Pause checkmark follows it so that it never lies.
void Deal(Window window) {
    DealNewGame();
    platform::CheckMenuItem(window, IDM_PAUSE, false);
}

// The common end of New after a loaded game and of Layout: a fresh deal on the current layout.
void DealOnNewLayout(Window window) {
    Deal(window);
    UpdateFreeFlags();
    SizeMainWindow(window, statusBar);
    Refresh(window);
}

bool SoundCardPresent(Window window) {
    if (CheckSoundCard()) return true;
    platform::MessageBox(window, "No sound card !", kCaption, platform::MB_OK | platform::MB_ICONINFORMATION);
    return false;
}

// ---- The commands ------------------------------------------------------------------------------

void CmdNew(Window window) {
    if (GameState.loadedGame == 1) {
        // The loaded game's Top 10 came from its file; a new game goes back to a layout's own.
        ClearBoard(window);
        if (ChooseLayout(window) == 0) {
            // Cancelled, or the chosen file could not be used: the loaded game stays as it is
            // (a deal on its board would miss the tiles already taken) and is shown again.
            Refresh(window);
            return;
        }
        LoadHallOfFame(window);
        DealOnNewLayout(window);
        return;
    }
    RestartGame(window);
    Deal(window);
    Refresh(window);
}

void CmdRestart(Window window) {
    RestartGame(window);
    Refresh(window);
}

void CmdUndo(Window window) {
    UndoMove(window);
    Refresh(window);
}

void CmdPause(Window window) {
    GameState.paused = Toggled(GameState.paused);
    if (GameState.paused == 0) {
        platform::CheckMenuItem(window, IDM_PAUSE, false);
        PaintBoard(window, statusBar);
    } else {
        platform::CheckMenuItem(window, IDM_PAUSE, true);
        ClearBoard(window);
    }
}

void CmdSave(Window window) { SaveGame(window); }

void CmdLoad(Window window) {
    if (LoadGame(window) != 1) return;
    platform::CheckMenuItem(window, IDM_PAUSE, false);   // a load ends any pause
    ClearBoard(window);
    SizeMainWindow(window, statusBar);
    Refresh(window);
}

void CmdExit(Window window) { ShutDown(window); }

void CmdLayout(Window window) {
    // LoadLayout replaces GameState.scoresPath, so the outgoing layout's path is taken first:
    // a Top 10 is never written into another layout's scores file.
    char outgoingScores[kPathSize];
    std::memcpy(outgoingScores, GameState.scoresPath, kPathSize);
    outgoingScores[kPathSize - 1] = '\0';
    if (ChooseLayout(window) == 0) return;
    GameState.hintState = 0;
    if (hallOfFameDirty == 1) {
        char incomingScores[kPathSize];
        std::memcpy(incomingScores, GameState.scoresPath, kPathSize);
        std::memcpy(GameState.scoresPath, outgoingScores, kPathSize);
        SaveHallOfFame(window);
        std::memcpy(GameState.scoresPath, incomingScores, kPathSize);
    }
    ClearBoard(window);
    LoadHallOfFame(window);
    DealOnNewLayout(window);
}

void CmdChangeColours(Window window) {
    platform::DialogBoxParam("CHANGECOLORSDLG", window, ColoursDialogProc, 0);
    DrawBoard(window);
}

void CmdChangeGraphics(Window window) {
    ChangeTileSheet(window);
    DrawBoard(window);
}

void CmdChangeBackground(Window window) {
    ChangeBackground(window);
    DrawBoard(window);
}

void CmdChangeSounds(Window window) {
    if (!SoundCardPresent(window)) return;
    platform::DialogBoxParam("CHANGESOUNDSDLG", window, SoundsDialogProc, 0);
}

void CmdUseColours(Window window) {
    Settings.useColors = Toggled(Settings.useColors);
    SetCheck(window, IDM_USE_COLORS, Settings.useColors);
    DrawBoard(window);
}

void CmdSoundEffects(Window window) {
    Settings.soundEffects = Toggled(Settings.soundEffects);
    SoundCardPresent(window);   // without a device this has put soundEffects back to 0
    SetCheck(window, IDM_SOUND_EFFECTS, Settings.soundEffects);
}

void CmdShowChrono(Window window) {
    Settings.showChrono = Toggled(Settings.showChrono);
    SetCheck(window, IDM_SHOW_CHRONO, Settings.showChrono);
    UpdateStatusBar(statusBar);
}

void CmdShowExposed(Window window) {
    Settings.showExposed = Toggled(Settings.showExposed);
    SetCheck(window, IDM_SHOW_EXPOSED, Settings.showExposed);
    DrawBoard(window);
}

// The window is laid out again at the current tile size and screen at once; the game goes on
// untouched (a paused game stays paused behind its cleared board).
void Relayout(Window window) {
    SizeMainWindow(window, statusBar);
    if (GameState.paused == 1)
        ClearBoard(window);
    else
        DrawBoard(window);
}

void CmdTileSize(Window window, int commandId) {
    Settings.tileSize = static_cast<uint8_t>(commandId - IDM_TILE_SIZE_AUTO);
    CheckTileSize(window);
    Relayout(window);
}
void CmdTileSizeAuto(Window window) { CmdTileSize(window, IDM_TILE_SIZE_AUTO); }
void CmdTileSizeNormal(Window window) { CmdTileSize(window, IDM_TILE_SIZE_NORMAL); }
void CmdTileSizeLarge(Window window) { CmdTileSize(window, IDM_TILE_SIZE_LARGE); }
void CmdTileSizeHuge(Window window) { CmdTileSize(window, IDM_TILE_SIZE_HUGE); }

void CmdTopTen(Window window) { platform::DialogBoxParam("JOUEURSDLG", window, TopTenDialogProc, 0); }

void CmdMusic(Window window, int commandId) {
    if (!SoundCardPresent(window)) return;
    MusicCommand(window, commandId);
}
void CmdOpenMidi(Window window) { CmdMusic(window, IDM_OPEN_MIDI); }
void CmdPauseMusic(Window window) { CmdMusic(window, IDM_PAUSE_MUSIC); }
void CmdNoMusic(Window window) { CmdMusic(window, IDM_NO_MUSIC); }
void CmdReplayMusic(Window window) { CmdMusic(window, IDM_REPLAY_MUSIC); }

// DrawBoard marks the pair at the cursor; UpdateStatusBar then moves the cursor on, charges the
// minute and shows "Sol n / m". The list is built afresh only when the board changed (cursor 0).
void CmdHint(Window window) {
    if (GameState.hintCursor == 0) BuildMoveList();
    GameState.hintState = 1;
    Refresh(window);
}

void CmdContents(Window window) { ShowHelpContents(window); }

void CmdAbout(Window window) { platform::DialogBoxParam("ABOUTDLG", window, AboutDialogProc, 0); }

struct Command {
    int id;
    void (*run)(Window window);
};

const Command kCommands[] = {
    {IDM_NEW, CmdNew},
    {IDM_RESTART, CmdRestart},
    {IDM_UNDO, CmdUndo},
    {IDM_PAUSE, CmdPause},
    {IDM_SAVE, CmdSave},
    {IDM_LOAD, CmdLoad},
    {IDM_EXIT, CmdExit},
    {IDM_LAYOUT, CmdLayout},
    {IDM_CHANGE_COLORS, CmdChangeColours},
    {IDM_CHANGE_GRAPHICS, CmdChangeGraphics},
    {IDM_CHANGE_BACKGROUND, CmdChangeBackground},
    {IDM_CHANGE_SOUNDS, CmdChangeSounds},
    {IDM_USE_COLORS, CmdUseColours},
    {IDM_SOUND_EFFECTS, CmdSoundEffects},
    {IDM_SHOW_CHRONO, CmdShowChrono},
    {IDM_SHOW_EXPOSED, CmdShowExposed},
    {IDM_TILE_SIZE_AUTO, CmdTileSizeAuto},
    {IDM_TILE_SIZE_NORMAL, CmdTileSizeNormal},
    {IDM_TILE_SIZE_LARGE, CmdTileSizeLarge},
    {IDM_TILE_SIZE_HUGE, CmdTileSizeHuge},
    {IDM_WINNABLE_DEALS, CmdWinnableDeals},
    {IDM_WARN_DEAD_ENDS, CmdWarnDeadEnds},
    {IDM_TOP10, CmdTopTen},
    {IDM_OPEN_MIDI, CmdOpenMidi},
    {IDM_PAUSE_MUSIC, CmdPauseMusic},
    {IDM_NO_MUSIC, CmdNoMusic},
    {IDM_REPLAY_MUSIC, CmdReplayMusic},
    {IDM_HINT, CmdHint},
    {IDM_CONTENTS, CmdContents},
    {IDM_ABOUT, CmdAbout},
};

// The whole wParam is the command: anything that is not one of the table's ids does nothing.
void RunCommand(Window window, uintptr_t wParam) {
    for (const Command& command : kCommands)
        if (static_cast<uintptr_t>(command.id) == wParam) {
            command.run(window);
            return;
        }
}

}  // namespace

void PaintBoard(platform::Window window, platform::Window status) {
    DrawBoard(window);
    UpdateStatusBar(status);
}

// The chrono's timer runs only while the chrono can move. Held, it still brings the status text
// up to date as a running one would, with one tick at its next beat whenever something happened.
static bool ChronoStands() { return GameState.paused != 0 || GameState.won != 0; }

static void CatchUpTick(platform::Window window) {
    if (ChronoStands() && Settings.showChrono == 1) platform::TickOnce(window, kChronoTimerId);
}

static void FollowChrono(platform::Window window) {
    platform::HoldTimer(window, kChronoTimerId, ChronoStands());
    CatchUpTick(window);
}

static intptr_t Dispatch(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
    case platform::WM_CREATE:
        OnCreateMainWindow(window);
        return 0;
    case platform::WM_DESTROY:
        ShutDown(window);
        return 0;
    case platform::WM_PAINT:
        // While paused the request is simply completed: neither board nor status text is drawn.
        if (GameState.paused == 0) PaintBoard(window, statusBar);
        return 0;
    case platform::WM_COMMAND:
        GameState.hintState = 0;
        RunCommand(window, wParam);
        WatchPosition();
        return 0;
    case platform::WM_TIMER:
        ChronoTick(statusBar);
        return 0;
    case platform::WM_DISPLAYCHANGE:
        // The drawing scale follows the new pixel ratio; the game itself is not touched.
        Relayout(window);
        return 0;
    case platform::WM_LBUTTONDOWN:
        // The pause is not consulted: the click is played, and the redraw ends the pause.
        GameState.hintState = 0;
        ClickTile(lParam);
        DrawBoard(window);
        UpdateStatusBar(statusBar);
        WatchPosition();
        return 0;
    case platform::WM_RBUTTONDOWN:
        // Unlike "Change colors" in the menu, the board is not redrawn afterwards.
        platform::DialogBoxParam("CHANGECOLORSDLG", window, ColoursDialogProc, 0);
        return 0;
    default:
        // The front end does the default handling itself (closing the window sends WM_DESTROY).
        return 0;
    }
}

intptr_t MainWindowProc(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == platform::WM_CREATE || message == platform::WM_PAINT)
        return Dispatch(window, message, wParam, lParam);
    StartSound(window);   // already done, unless this comes before the first picture
    if (message == platform::WM_DESTROY) return Dispatch(window, message, wParam, lParam);
    if (message == platform::WM_TIMER) return Dispatch(window, message, wParam, lParam);
    CatchUpTick(window);   // for a dialog that this message may open and keep open
    const intptr_t result = Dispatch(window, message, wParam, lParam);
    FollowChrono(window);
    return result;
}
