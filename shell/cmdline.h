// The game's own command-line options (--help, --version), read before the toolkit starts so that
// they work without a display. Options of the toolkit (-platform, -display, ...) are passed over
// here and left to it; anything else is refused with the usage text.
#pragma once

#include <string>

// What the command line asks for: run the game, or print `text` and end with `exitCode`.
struct CommandLineAction {
    bool run = true;
    int exitCode = 0;
    bool toStderr = false;
    std::string text;
};

CommandLineAction ParseCommandLine(int argc, const char* const* argv);

// Parses, prints what there is to print, and returns the exit code, or -1 when the game is to run.
int HandleCommandLine(int argc, const char* const* argv);
