// The data files below the home directory (startDir): their fixed sub-paths, and the one file
// chooser through which the player picks a layout, a picture, a sound, a MIDI file or a saved
// game. Every subsystem builds its data paths here, never from the current directory.
#pragma once

#include "board/state.h"

constexpr const char* kLayoutsDir = "/LAYOUTS";
constexpr const char* kDefaultLayout = "/LAYOUTS/LAYOUT1.TXL";
constexpr const char* kGraphicsDir = "/GRAPHICS";
constexpr const char* kDefaultTileSheet = "/GRAPHICS/TOLBEX13.BMP";
constexpr const char* kSoundsDir = "/SOUNDS";
constexpr const char* kDefaultClickSound = "/SOUNDS/SOUND1.WAV";
constexpr const char* kDefaultPairSound = "/SOUNDS/SOUND2.WAV";
constexpr const char* kDefaultBadClickSound = "/SOUNDS/SOUND3.WAV";
constexpr const char* kHelpFile = "/Tolbex13.hlp";

// out = startDir + subPath, appended as it stands, cut to `size`.
void HomePath(char* out, unsigned size, const char* subPath);

// One file dialog of the game: one filter, opening in a folder below startDir with an empty name.
struct HomeFileDialog {
    const char* subDir;         // "/LAYOUTS", ..., or "" for startDir itself
    const char* filterName;     // "Layouts (*.TXL)"
    const char* filterPattern;  // "*.TXL"
    const char* defExt;         // "TXL"
    const char* title;          // null: the system's default title
    bool allFilesFilter;        // adds "All files (*.*)" after the filter
    bool save;                  // the save dialog, which asks before overwriting
    const char* filter2Name = nullptr;      // a second filter, or null
    const char* filter2Pattern = nullptr;
    platform::FilePreviewProc preview = nullptr;   // the picture and text beside the list
};

// Runs the dialog; true with the chosen full path in `file`, false (and `file` empty) when the
// player cancelled.
bool ChooseHomeFile(platform::Window owner, const HomeFileDialog& dialog, char file[kPathSize]);
