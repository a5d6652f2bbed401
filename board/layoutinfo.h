// What the layout chooser shows about a file before it is chosen: whether it can be played (or
// why not), its name and description, the levels it uses and the best time of its Top 10. The
// file is read onto a scratch board; the game's Board is never touched.
#pragma once

#include <cstddef>

#include "board/state.h"

struct LayoutInfo {
    bool usable;
    char reason[256];        // why the game would refuse the file, when not usable
    char name[96];           // "; Tolbex layout: <name>" on the first line, else the file name
    char description[160];   // "; <description>" on the second line of a named text layout
    int levels;              // levels holding at least one tile
    char bestTime[10];       // first row of the layout's scores file, empty when it has none
};

// Reads the layout at `path` into `scratch` (tiles numbered in paint order, no faces) and
// describes it in `info`. Returns info.usable.
bool ReadLayoutInfo(const char* path, LayoutInfo& info, BoardRecord& scratch);

// The name a file gets when it carries none: its base name without the extension.
void NameFromFileName(const char* path, char* out, size_t size);
