// Layout files: reading the text and 308-byte binary forms, refusing layouts the board cannot
// hold, numbering the tiles in paint order, the scores-file path of a layout, the layout chooser
// and the layout compiled into the program.
#include "board/layout.h"

#include <cstdio>
#include <cstring>

#include "board/home.h"
#include "board/import.h"
#include "board/state.h"
#include "render/preview.h"

namespace {

constexpr int kTopRow = kRows - 2;   // 18: the lowest row a tile's top-left cell can have
constexpr int kTopCol = kCols - 2;   // 32
constexpr int kHeaderValues = 10;
constexpr int kLineBufferSize = 255; // a text line is read in pieces of at most 254 characters
// A binary header outside these bounds would ask for a window no screen shows.
constexpr int kMaxBoardPx = 2048;
constexpr int kMaxOriginPx = 2048;
constexpr int16_t kTextHeader[kHeaderValues] = {kTextBoardWidthPx, kTextBoardHeightPx, 0, 20,
                                                280, 0, 580, 0, 0, 0};

using LayoutMap = uint8_t[kLevels][kRows][kCols];

// A layout as read from a file, before it is allowed onto the board.
struct LayoutImage {
    LayoutMap map;
    int16_t header[kHeaderValues];
    bool binary;
    bool valueOutOfRange;       // text form: a row, column or level outside the grid
    int outsideEntry;           // binary form: first entry outside the grid, or -1
    int outsideLevel, outsideRow, outsideCol;
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads up to three integers the way a "%d %d %d" scan does (white space before each, an
// optional sign, digits); returns how many it found. A number too long for an int is kept at a
// value far outside the grid instead of wrapping round to one inside it.
int ScanThreeIntegers(const char* text, long values[3]) {
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        while (IsSpace(*p)) ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        if (*p < '0' || *p > '9') return i;
        long value = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            if (value < 1000000000L) value = value * 10 + (*p - '0');
        values[i] = negative ? -value : value;
    }
    return 3;
}

void ReadTextLayout(std::FILE* file, LayoutImage& image) {
    char line[kLineBufferSize];
    for (;;) {
        line[0] = '\0';
        if (!std::fgets(line, sizeof line, file)) break;
        long v[3];
        if (ScanThreeIntegers(line, v) < 3) continue;   // blank, comment or heading
        const long row = v[0], col = v[1], level = v[2];
        if (row < 0 || row >= kRows || col < 0 || col >= kCols || level < 0 || level >= kLevels) {
            image.valueOutOfRange = true;   // not stored; reading goes on to the end
            continue;
        }
        image.map[level][row][col] = 1;
    }
    std::memcpy(image.header, kTextHeader, sizeof image.header);
}

void ReadBinaryLayout(std::FILE* file, LayoutImage& image) {
    uint8_t bytes[kBinaryLayoutSize] = {};
    if (std::fread(bytes, 1, sizeof bytes, file) != sizeof bytes) {
        // The file shrank between measuring and reading: what is missing reads as zero bytes.
    }
    for (int i = 0; i < kTileCount; ++i) {
        const unsigned entry = static_cast<unsigned>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        const int col = entry & 0x3F, row = (entry >> 6) & 0x1F, level = (entry >> 11) & 0x7;
        if (level >= kLevels || row >= kRows || col >= kCols) {
            if (image.outsideEntry < 0) {
                image.outsideEntry = i;
                image.outsideLevel = level;
                image.outsideRow = row;
                image.outsideCol = col;
            }
            continue;   // never stored: the map has no such cell
        }
        image.map[level][row][col] = 1;
    }
    for (int i = 0; i < kHeaderValues; ++i) {
        const uint8_t* p = bytes + 2 * kTileCount + 2 * i;
        image.header[i] = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    }
}

// Reads one form of layout from `file` into `image` (size 308: binary, else text). Returns 1 for
// a valid file, 0 for a text value out of range. Leaves the file open.
int16_t ReadLayout(std::FILE* file, LayoutImage& image) {
    std::memset(&image, 0, sizeof image);
    image.outsideEntry = -1;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::rewind(file);
    image.binary = size == kBinaryLayoutSize;
    if (image.binary)
        ReadBinaryLayout(file, image);
    else
        ReadTextLayout(file, image);
    return image.valueOutOfRange ? 0 : 1;
}

// Positions that become tiles: top-left cells on rows 0..18 and columns 0..32. A mark on row 19
// or column 33 is accepted in a file but never becomes a tile.
int CountTilePositions(const LayoutMap& map) {
    int count = 0;
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r <= kTopRow; ++r)
            for (int c = 0; c <= kTopCol; ++c) count += map[l][r][c] == 1;
    return count;
}

void ShowLayoutFault(platform::Window window, const char* path, const char* fault) {
    std::snprintf(messageBuffer, sizeof messageBuffer, "%s : %s", path, fault);
    platform::MessageBox(window, messageBuffer, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// The checks a layout must pass before it replaces the board: every binary entry on the grid,
// no two tiles sharing a cell on one level, exactly 144 tiles, a board size a window can take.
// Writes the fault into `fault` and returns false when one fails.
bool CheckLayout(const LayoutImage& image, char* fault, size_t faultSize) {
    if (image.outsideEntry >= 0) {
        std::snprintf(fault, faultSize,
                      "tile %d lies outside the grid of 34 columns, 20 rows and 5 levels "
                      "(row %d, column %d, level %d)",
                      image.outsideEntry + 1, image.outsideRow, image.outsideCol, image.outsideLevel);
        return false;
    }
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r <= kTopRow; ++r)
            for (int c = 0; c <= kTopCol; ++c) {
                if (image.map[l][r][c] != 1) continue;
                // Later neighbours in reading order that would share a cell with this tile.
                static constexpr int kNear[4][2] = {{0, 1}, {1, -1}, {1, 0}, {1, 1}};
                for (const auto& d : kNear) {
                    const int r2 = r + d[0], c2 = c + d[1];
                    if (r2 > kTopRow || c2 < 0 || c2 > kTopCol || image.map[l][r2][c2] != 1) continue;
                    std::snprintf(fault, faultSize,
                                  "two tiles overlap on level %d (row %d, column %d and row %d, column %d)",
                                  l, r, c, r2, c2);
                    return false;
                }
            }
    const int tiles = CountTilePositions(image.map);
    if (tiles != kTileCount) {
        std::snprintf(fault, faultSize, "the layout must place 144 tiles (it places %d)", tiles);
        return false;
    }
    const int16_t* h = image.header;
    if (h[0] < 1 || h[0] > kMaxBoardPx || h[1] < 1 || h[1] > kMaxBoardPx || h[2] < -kMaxOriginPx ||
        h[2] > kMaxOriginPx || h[3] < -kMaxOriginPx || h[3] > kMaxOriginPx) {
        std::snprintf(fault, faultSize,
                      "the board of %d x %d pixels with its origin at %d, %d is out of range", h[0],
                      h[1], h[2], h[3]);
        return false;
    }
    return true;
}

// Puts an accepted layout on a board: empty cells, the new map and header, tiles numbered.
void ApplyLayout(const LayoutImage& image, BoardRecord& board = Board) {
    std::memcpy(board.layoutMap, image.map, sizeof board.layoutMap);
    board.width = image.header[0];
    board.height = image.header[1];
    board.originX = image.header[2];
    board.originY = image.header[3];
    for (int i = 0; i < 6; ++i) board.reserved[i] = image.header[4 + i];
    NumberLayoutTiles(board);
}

enum class LoadOutcome { Loaded, ReadError, ValueOutOfRange, Refused };

LoadOutcome LoadLayoutFrom(platform::Window window, const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        ShowFileError(window, path, " : read error");
        return LoadOutcome::ReadError;
    }
    // The file is read aside, so that a file that is refused leaves the board as it was.
    static LayoutImage image;
    const int16_t valid = ReadLayout(file, image);
    std::fclose(file);
    if (!valid) {
        ShutDown(window);   // no message: the program ends with its settings saved
        return LoadOutcome::ValueOutOfRange;
    }
    char fault[256];
    if (!CheckLayout(image, fault, sizeof fault)) {
        ShowLayoutFault(window, path, fault);
        return LoadOutcome::Refused;
    }
    ApplyLayout(image);
    return LoadOutcome::Loaded;
}

// Writes each of two tiles' index into its four cells and into the start grid.
void MarkTile(BoardRecord& board, uint8_t start[kLevels][kRows][kCols], int index) {
    const TileRecord& t = board.tiles[index];
    start[t.level][t.row][t.col] = static_cast<uint8_t>(index);
    for (int dr = 0; dr < 2; ++dr)
        for (int dc = 0; dc < 2; ++dc) board.cells[t.level][t.row + dr][t.col + dc] = static_cast<uint8_t>(index);
}

void ExchangeTiles(BoardRecord& board, uint8_t start[kLevels][kRows][kCols], int a, int b) {
    const TileRecord keep = board.tiles[a];
    board.tiles[a] = board.tiles[b];
    board.tiles[b] = keep;
    MarkTile(board, start, a);
    MarkTile(board, start, b);
}

}  // namespace

int16_t ParseLayoutFile(std::FILE* file) {
    static LayoutImage image;
    const int16_t result = ReadLayout(file, image);
    std::fclose(file);
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (image.map[l][r][c]) Board.layoutMap[l][r][c] = 1;
    Board.width = image.header[0];
    Board.height = image.header[1];
    Board.originX = image.header[2];
    Board.originY = image.header[3];
    for (int i = 0; i < 6; ++i) Board.reserved[i] = image.header[4 + i];
    return result;
}

int NumberLayoutTiles() { return NumberLayoutTiles(Board); }

int NumberLayoutTiles(BoardRecord& board) {
    std::memset(board.cells, kNone, sizeof board.cells);
    uint8_t start[kLevels][kRows][kCols];   // index of the tile whose top-left cell this is
    std::memset(start, kNone, sizeof start);

    // First numbering: level by level from the table up, the right-hand column first, each
    // column top to bottom.
    int n = 0;
    for (int l = 0; l < kLevels; ++l)
        for (int c = kTopCol; c >= 0; --c)
            for (int r = 0; r <= kTopRow; ++r) {
                if (board.layoutMap[l][r][c] != 1 || n >= kTileCount) continue;
                TileRecord& t = board.tiles[n];
                t.x = static_cast<int16_t>(c * kCellWidthPx + board.originX + l * kTileDepthPx);
                t.y = static_cast<int16_t>(r * kCellHeightPx + board.originY - l * kTileDepthPx);
                t.level = static_cast<uint8_t>(l);
                t.row = static_cast<uint8_t>(r);
                t.col = static_cast<uint8_t>(c);
                MarkTile(board, start, n);
                ++n;
            }

    // Paint order: a tile must be drawn before the tiles two rows below it (straight down and one
    // column to the right) and after the tile two columns to its right, so that the side strips
    // overlap the right way. Exchanges go on until a whole round makes none; each one moves the
    // higher index to the position with the greater 2 x row - column, so the rounds always end.
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int sweep = 1; sweep <= 3; ++sweep)
            for (int l = 0; l < kLevels; ++l)
                for (int r = 0; r <= kTopRow - 2; ++r)
                    for (int c = 0; c <= kTopCol - 1; ++c) {
                        const int a = start[l][r][c];
                        if (a == kNone) continue;
                        int b;
                        bool swap;
                        if (sweep == 1) {
                            b = start[l][r + 2][c + 1];
                            swap = b != kNone && a > b;
                        } else if (sweep == 2) {
                            b = start[l][r + 2][c];
                            swap = b != kNone && a > b;
                        } else {
                            b = start[l][r][c + 2];
                            swap = b != kNone && a < b;
                        }
                        if (!swap) continue;
                        ExchangeTiles(board, start, a, b);
                        exchanged = true;
                    }
    }
    return n;
}

bool ReadLayoutAside(const char* path, BoardRecord& scratch, char* fault, size_t faultSize) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::snprintf(fault, faultSize, "the file cannot be read");
        return false;
    }
    return ReadLayoutAside(file, scratch, fault, faultSize);
}

bool ReadLayoutAside(std::FILE* file, BoardRecord& scratch, char* fault, size_t faultSize) {
    static LayoutImage image;
    const int16_t valid = ReadLayout(file, image);
    std::fclose(file);
    if (!valid) {
        // LoadLayout ends the program on such a file; looked at aside it is simply not usable.
        std::snprintf(fault, faultSize, "a row, column or level lies outside the grid of 20 rows, "
                                        "34 columns and 5 levels");
        return false;
    }
    if (!CheckLayout(image, fault, faultSize)) return false;
    ApplyLayout(image, scratch);
    return true;
}

int16_t LoadLayout(platform::Window window, const char* path) {
    const LoadOutcome outcome = LoadLayoutFrom(window, path);
    // The scores path follows the path asked for, whether or not the file could be used.
    DeriveScoresPath(path, GameState.scoresPath);
    return outcome == LoadOutcome::Loaded ? 1 : 0;
}

void DeriveScoresPath(const char* layoutPath, char out[500]) {
    char result[kPathSize];
    const size_t length = strnlen(layoutPath, kPathSize - 1);
    if (length > 4 && layoutPath[length - 4] == '.') {
        std::memcpy(result, layoutPath, length - 3);
        std::memcpy(result + length - 3, "txs", 4);
    } else {
        std::snprintf(result, sizeof result, "%.*s.txs", static_cast<int>(length), layoutPath);
    }
    std::memcpy(out, result, kPathSize);
}

int16_t ChooseLayout(platform::Window window) {
    static constexpr HomeFileDialog kDialog = {kLayoutsDir,   "Layouts (*.TXL)",
                                               "*.TXL",       "TXL",
                                               "Tolbex - Choose a layout", true,
                                               false,         "Other games' layouts (*.layout *.map)",
                                               "*.layout;*.map", LayoutPreview};
    char file[kPathSize];
    if (!ChooseHomeFile(window, kDialog, file)) return 0;
    // Another game's file is played from a converted copy in LAYOUTS; the original is only read.
    if (IsForeignLayoutPath(file)) {
        char copy[kPathSize];
        if (!ImportForeignLayout(window, file, copy)) return 0;
        std::memcpy(file, copy, kPathSize);
    }

    char previousLayout[kPathSize], previousScores[kPathSize];
    std::memcpy(previousLayout, Settings.layoutPath, kPathSize);
    std::memcpy(previousScores, GameState.scoresPath, kPathSize);
    std::snprintf(Settings.layoutPath, kPathSize, "%s", file);
    const LoadOutcome outcome = LoadLayoutFrom(window, Settings.layoutPath);
    DeriveScoresPath(Settings.layoutPath, GameState.scoresPath);
    if (outcome == LoadOutcome::Loaded) return 1;
    // A file that could not be used changes nothing: the game in progress goes on with its
    // layout and its Top 10. A text value out of range has already ended the program, and the
    // settings it saved name the chosen file, so that path stays.
    if (outcome != LoadOutcome::ValueOutOfRange) {
        std::memcpy(Settings.layoutPath, previousLayout, kPathSize);
        std::memcpy(GameState.scoresPath, previousScores, kPathSize);
    }
    return 0;
}

void LoadBuiltInLayout() {
    // The bytes are data/LAYOUTS/LAYOUT1.TXL as built in; they are read through the same routine
    // as a file so both forms and every check apply.
    std::FILE* file = fmemopen(const_cast<unsigned char*>(kBuiltInLayout), kBuiltInLayoutSize, "rb");
    if (!file) return;
    static LayoutImage image;
    const int16_t valid = ReadLayout(file, image);
    std::fclose(file);
    char fault[256];
    if (!valid || !CheckLayout(image, fault, sizeof fault)) return;   // the shipped layout is tested
    ApplyLayout(image);
    // Its Top 10 is the one of the default layout file it was built from.
    char path[kPathSize];
    HomePath(path, sizeof path, kDefaultLayout);
    DeriveScoresPath(path, GameState.scoresPath);
}
