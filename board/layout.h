// Layout files: the text and 308-byte binary forms, the numbering of the tiles in paint order,
// the scores-file path of a layout, the layout chooser, and the built-in layout used when none
// can be read at start-up.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/state.h"
#include "platform/platform.h"

constexpr long kBinaryLayoutSize = 308;

// Reads one form of layout from `file` into Board.layoutMap and the layout header, then closes
// the file. 1 = valid, 0 = a text value out of range. Does not clear Board.layoutMap.
int16_t ParseLayoutFile(std::FILE* file);

// Loads the layout at `path` into the board; derives GameState.scoresPath from `path`.
// Returns 1 when the board now holds this layout, 0 when it kept its previous one.
int16_t LoadLayout(platform::Window window, const char* path);

// The layout chooser; 1 when a layout was chosen and loaded into Settings.layoutPath.
int16_t ChooseLayout(platform::Window window);

// Derives the scores-file path of a layout path ("X.TXL" -> "X.txs", else path + ".txs").
void DeriveScoresPath(const char* layoutPath, char out[500]);

// Numbers the positions of Board.layoutMap in paint order (first numbering, then the sweeps),
// filling Board.cells and the tiles' x, y, level, row, col. Returns the number of tiles placed.
int NumberLayoutTiles();
// The same numbering on another board record (a scratch board for a preview).
int NumberLayoutTiles(BoardRecord& board);

// Reads and checks the layout at `path` into `scratch` (map, header, numbered tiles, no faces)
// without touching Board. False with the reason in `fault` when the file cannot be read or
// LoadLayout would refuse it; a text value out of range is a reason here, not an end.
bool ReadLayoutAside(const char* path, BoardRecord& scratch, char* fault, size_t faultSize);
// The same on an open file, which it closes.
bool ReadLayoutAside(std::FILE* file, BoardRecord& scratch, char* fault, size_t faultSize);

// The default layout compiled into the program (data/LAYOUTS/LAYOUT1.TXL as it stands).
extern const unsigned char kBuiltInLayout[];
extern const unsigned long kBuiltInLayoutSize;
// Puts the built-in layout on the board (used when start-up finds no usable layout).
void LoadBuiltInLayout();

// Ends the program in order (settings saved, music closed, bitmaps freed, quit posted).
// Defined by the shell; the layout loader calls it for a text value out of range.
void ShutDown(platform::Window window);
