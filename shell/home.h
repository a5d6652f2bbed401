// The home directory below which every data file is looked for, and its fixed sub-paths.
#pragma once

constexpr const char* kLayoutsDir = "/LAYOUTS";
constexpr const char* kDefaultLayout = "/LAYOUTS/LAYOUT1.TXL";
constexpr const char* kGraphicsDir = "/GRAPHICS";
constexpr const char* kDefaultTileSheet = "/GRAPHICS/TOLBEX13.BMP";
constexpr const char* kSoundsDir = "/SOUNDS";
constexpr const char* kDefaultClickSound = "/SOUNDS/SOUND1.WAV";
constexpr const char* kDefaultPairSound = "/SOUNDS/SOUND2.WAV";
constexpr const char* kDefaultBadClickSound = "/SOUNDS/SOUND3.WAV";
constexpr const char* kHelpFile = "/Tolbex13.hlp";

// What WinMain shows (then exiting with code 1) when TakeStartDir fails.
constexpr const char* kStartDirTooLongText =
    "The current directory is too long (more than 499 characters) or cannot be read.";

// Takes the current directory into startDir; false (startDir empty) when it does not fit in 500
// characters or cannot be read.
bool TakeStartDir();
// out = startDir + subPath, cut to `size`.
void HomePath(char* out, unsigned size, const char* subPath);
