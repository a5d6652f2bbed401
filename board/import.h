// Layout files of other mahjong solitaire games, converted to our own text form: the line-art
// ".layout" files (a version line, then every level as rows of characters on a half-tile grid)
// and the XML ".map" files (several maps a file, tiles by position and layer in tile units with
// half steps). Both are read into the same neutral record, fitted onto our grid of 34 x 20
// half-tile cells and 5 levels, and written as a text layout beside our own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board/state.h"

// One tile as the other game places it: top-left corner in half-tile units, and its layer.
struct ForeignTile {
    int x2;
    int y2;
    int z;
};

struct ForeignMap {
    std::string name;
    std::string description;
    std::vector<ForeignTile> tiles;
};

using LevelGrid = uint8_t[kLevels][kRows][kCols];

// Files read are never larger than this (the largest known ones are a few kilobytes).
constexpr long kMaxForeignFileSize = 1 << 20;
// No source holds more tiles than this; reading stops there and the count check refuses it.
constexpr size_t kMaxForeignTiles = 4096;

// True for a name ending in ".layout" or ".map", in any case.
bool IsForeignLayoutPath(const char* path);

// Reads every map of the file at `path`. False with the reason in `fault` when the file cannot
// be read or is not in either format; a file whose maps cannot be played still reads.
bool ReadForeignFile(const char* path, std::vector<ForeignMap>& maps, char* fault, size_t faultSize);
// The two readers, on the file's text; `path` gives the line-art reader its sibling name file.
bool ReadLineArtLayout(const std::string& text, const char* path, std::vector<ForeignMap>& maps,
                       char* fault, size_t faultSize);
bool ReadXmlMaps(const std::string& text, std::vector<ForeignMap>& maps, char* fault, size_t faultSize);

// Places the map on our grid: layers that hold no tile are closed up, the tiles are centred.
// False with the reason when it does not fit (not 144 tiles, more than 5 levels, wider or
// taller than the grid, two tiles on one cell).
bool FitForeignMap(const ForeignMap& map, LevelGrid& grid, char* fault, size_t faultSize);

// The text layout of a fitted grid: the name and description lines, then one line per tile.
std::string FormatTextLayout(const std::string& name, const std::string& description, const LevelGrid& grid);

// Converts map `index` of the file at `in` into the text layout `out` (written crash-safe).
bool ConvertForeignLayout(const char* in, int index, const char* out, char* fault, size_t faultSize);

// The chooser's step for another game's file: asks which map when it holds several, converts
// the map into LAYOUTS/<name>-imported.TXL and gives that path in `out`. False, after a message
// naming the file and the reason, when it cannot be used; false without one when cancelled.
bool ImportForeignLayout(platform::Window window, const char* path, char out[kPathSize]);
