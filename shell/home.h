// Taking the home directory at start-up. Its sub-paths and the file chooser are in board/home.h.
#pragma once

// What WinMain shows (then exiting with code 1) when TakeStartDir fails.
constexpr const char* kStartDirTooLongText =
    "The current directory is too long (more than 499 characters) or cannot be read.";

// Takes the current directory into startDir; false (startDir empty) when it does not fit in 500
// characters or cannot be read.
bool TakeStartDir();
