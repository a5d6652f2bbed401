// The background music: the MIDI file chooser, the start of a file on the sequencer alias
// FichierMIDI, and the four commands of the "&Music" menu with their checkmarks. The sequencer's
// answers are never examined: a file it cannot open leaves the menu as if it played.
#include "shell/music.h"

#include <cstdio>
#include <cstring>

#include "board/home.h"
#include "board/state.h"
#include "resources/ids.h"

namespace {

void SendCommand(const char* command) { platform::MciSendString(command); }

// Both the pause and the checkmark of "&Pause music" go back to "not paused".
void ClearPause(platform::Window window) {
    musicPaused = 0;
    platform::CheckMenuItem(window, IDM_PAUSE_MUSIC, false);
}

void OpenMidiFile(platform::Window window) {
    ClearPause(window);
    if (ChooseMidiFile(window, Settings.midiPath)) {
        if (musicOn == 1) SendCommand("close FichierMIDI");
        PlayMidiFile(window, Settings.midiPath);
    } else {
        // Cancelled: what plays goes on, but nothing will start at the next run.
        Settings.midiPath[0] = '\0';
    }
}

void PauseMusic(platform::Window window) {
    if (musicOn != 1) return;
    musicPaused = musicPaused == 0 ? 1 : 0;
    platform::CheckMenuItem(window, IDM_PAUSE_MUSIC, musicPaused == 1);
    SendCommand(musicPaused == 1 ? "pause FichierMIDI" : "play FichierMIDI");
}

void StopMusic(platform::Window window) {
    if (musicOn != 1) return;
    ClearPause(window);
    SendCommand("close FichierMIDI");
    platform::CheckMenuItem(window, IDM_NO_MUSIC, true);
    // midiPath is kept; SaveSettings writes it empty because the music is off.
    musicOn = 0;
}

void ReplayMusic(platform::Window window) {
    if (musicOn != 1) return;
    ClearPause(window);
    SendCommand("close FichierMIDI");
    PlayMidiFile(window, Settings.midiPath);
}

}  // namespace

int ChooseMidiFile(platform::Window window, char path[500]) {
    static constexpr HomeFileDialog kDialog = {kSoundsDir, "MID Files (*.MID)", "*.MID", "MID",
                                               kCaption, false, false};
    char file[kPathSize];
    if (!ChooseHomeFile(window, kDialog, file)) return 0;
    std::memcpy(path, file, sizeof file);
    return 1;
}

void PlayMidiFile(platform::Window window, const char* path) {
    if (!path || path[0] == '\0') return;
    // The path goes in as it stands, without quotes: the sequencer takes everything up to the
    // " type" keyword, blanks included. A path too long for the buffer is cut and then fails to
    // open, silently, like any other file the sequencer cannot play.
    char command[500];
    std::snprintf(command, sizeof command, "open %s type sequencer alias FichierMIDI", path);
    SendCommand(command);
    SendCommand("play FichierMIDI");
    platform::CheckMenuItem(window, IDM_NO_MUSIC, false);
    musicOn = 1;
}

void MusicCommand(platform::Window window, int commandId) {
    switch (commandId) {
    case IDM_OPEN_MIDI:
        OpenMidiFile(window);
        break;
    case IDM_PAUSE_MUSIC:
        PauseMusic(window);
        break;
    case IDM_NO_MUSIC:
        StopMusic(window);
        break;
    case IDM_REPLAY_MUSIC:
        ReplayMusic(window);
        break;
    default:
        break;
    }
}
