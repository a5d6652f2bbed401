// Saved games: one 9453-byte little-endian image of the board, the history, the Top 10 of the
// moment and the chrono. A file is decoded into a scratch copy and checked in full before it
// replaces anything, so a damaged file is refused and the game in progress stays as it was.
#include "persist/savegame.h"

#include <cstdio>
#include <cstring>

#include "board/home.h"
#include "board/state.h"
#include "persist/fileio.h"
#include "persist/halloffame.h"

namespace {

constexpr int kTopTenRows = 10;
constexpr int kMaxBoardSidePx = 2048;   // the layout loader's limits on the header
constexpr int kMaxOriginPx = 2048;
constexpr int32_t kMaxHours = 999;      // the chrono stops at 999:59:59
constexpr int32_t kMaxMinutes = 9999;   // hints may push minutes past 59 until the next tick

// A game as the file holds it.
struct SavedGame {
    TileRecord tiles[kTileCount];
    uint8_t cells[kLevels][kRows][kCols];
    uint8_t layoutMap[kLevels][kRows][kCols];
    HistoryEntry history[kHistoryCapacity];
    HallOfFameEntry topTen[kTopTenRows];
    int16_t tilesLeft, historyDepth, selected;
    int32_t hours, minutes, seconds;
    int16_t width, height, originX, originY;
    int16_t reserved[6];
};

// The file, block by block. Note the orders that differ from the records: tilesLeft,
// historyDepth, selected; then hours, minutes, seconds; the last 20 bytes are the layout header.
enum class Block {
    Tiles, Cells, LayoutMap, History, TopTen, TilesLeft, HistoryDepth, Selected,
    Hours, Minutes, Seconds, Width, Height, OriginX, OriginY, Reserved,
};
struct SavedBlock {
    int offset;
    int size;
    Block block;
};
constexpr SavedBlock kSavedGameLayout[] = {
    {0, kTileCount * kTileImageSize, Block::Tiles},          // tile 0 first, 14 bytes each
    {2016, kCellBytes, Block::Cells},                       // level, then row, then column
    {5416, kCellBytes, Block::LayoutMap},                   // same order
    {8816, kHistoryCapacity * 3, Block::History},           // face, first, second
    {9035, kTopTenRows * kHallOfFameRowSize, Block::TopTen},  // rows 0..9
    {9415, 2, Block::TilesLeft},
    {9417, 2, Block::HistoryDepth},
    {9419, 2, Block::Selected},
    {9421, 4, Block::Hours},
    {9425, 4, Block::Minutes},
    {9429, 4, Block::Seconds},
    {9433, 2, Block::Width},
    {9435, 2, Block::Height},
    {9437, 2, Block::OriginX},
    {9439, 2, Block::OriginY},
    {9441, 12, Block::Reserved},
};

constexpr bool BlocksFillTheFile() {
    int end = 0;
    for (const SavedBlock& b : kSavedGameLayout) {
        if (b.offset != end) return false;
        end += b.size;
    }
    return end == kSavedGameSize;
}
static_assert(BlocksFillTheFile(), "the blocks of a saved game abut and fill its 9453 bytes");

int16_t* WordField(SavedGame& g, Block block) {
    switch (block) {
        case Block::TilesLeft: return &g.tilesLeft;
        case Block::HistoryDepth: return &g.historyDepth;
        case Block::Selected: return &g.selected;
        case Block::Width: return &g.width;
        case Block::Height: return &g.height;
        case Block::OriginX: return &g.originX;
        case Block::OriginY: return &g.originY;
        default: return nullptr;
    }
}

int32_t* LongField(SavedGame& g, Block block) {
    switch (block) {
        case Block::Hours: return &g.hours;
        case Block::Minutes: return &g.minutes;
        case Block::Seconds: return &g.seconds;
        default: return nullptr;
    }
}

void Encode(SavedGame& g, uint8_t* image) {
    for (const SavedBlock& b : kSavedGameLayout) {
        uint8_t* p = image + b.offset;
        switch (b.block) {
            case Block::Tiles:
                for (int t = 0; t < kTileCount; ++t) StoreTileRecord(g.tiles[t], p + t * kTileImageSize);
                break;
            case Block::Cells: std::memcpy(p, g.cells, kCellBytes); break;
            case Block::LayoutMap: std::memcpy(p, g.layoutMap, kCellBytes); break;
            case Block::History:
                for (int e = 0; e < kHistoryCapacity; ++e) {
                    p[3 * e] = static_cast<uint8_t>(g.history[e].face);
                    p[3 * e + 1] = g.history[e].first;
                    p[3 * e + 2] = g.history[e].second;
                }
                break;
            case Block::TopTen:
                for (int r = 0; r < kTopTenRows; ++r) EncodeHallOfFameRow(g.topTen[r], p + r * kHallOfFameRowSize);
                break;
            case Block::Reserved:
                for (int i = 0; i < 6; ++i) PutU16(p + 2 * i, static_cast<uint16_t>(g.reserved[i]));
                break;
            default:
                if (int16_t* w = WordField(g, b.block)) PutU16(p, static_cast<uint16_t>(*w));
                if (int32_t* l = LongField(g, b.block)) PutU32(p, static_cast<uint32_t>(*l));
                break;
        }
    }
}

void Decode(const uint8_t* image, SavedGame& g) {
    for (const SavedBlock& b : kSavedGameLayout) {
        const uint8_t* p = image + b.offset;
        switch (b.block) {
            case Block::Tiles:
                for (int t = 0; t < kTileCount; ++t) LoadTileRecord(p + t * kTileImageSize, g.tiles[t]);
                break;
            case Block::Cells: std::memcpy(g.cells, p, kCellBytes); break;
            case Block::LayoutMap: std::memcpy(g.layoutMap, p, kCellBytes); break;
            case Block::History:
                for (int e = 0; e < kHistoryCapacity; ++e)
                    g.history[e] = {static_cast<int8_t>(p[3 * e]), p[3 * e + 1], p[3 * e + 2]};
                break;
            case Block::TopTen:
                for (int r = 0; r < kTopTenRows; ++r) DecodeHallOfFameRow(p + r * kHallOfFameRowSize, g.topTen[r]);
                break;
            case Block::Reserved:
                for (int i = 0; i < 6; ++i) g.reserved[i] = static_cast<int16_t>(GetU16(p + 2 * i));
                break;
            default:
                if (int16_t* w = WordField(g, b.block)) *w = static_cast<int16_t>(GetU16(p));
                if (int32_t* l = LongField(g, b.block)) *l = static_cast<int32_t>(GetU32(p));
                break;
        }
    }
}

void CaptureGame(SavedGame& g) {
    std::memcpy(g.tiles, Board.tiles, sizeof g.tiles);
    std::memcpy(g.cells, Board.cells, sizeof g.cells);
    std::memcpy(g.layoutMap, Board.layoutMap, sizeof g.layoutMap);
    std::memcpy(g.history, Board.history, sizeof g.history);
    std::memcpy(g.topTen, HallOfFame, sizeof g.topTen);
    g.tilesLeft = GameState.tilesLeft;
    g.historyDepth = GameState.historyDepth;
    g.selected = GameState.selected;
    g.hours = GameState.hours;
    g.minutes = GameState.minutes;
    g.seconds = GameState.seconds;
    g.width = Board.width;
    g.height = Board.height;
    g.originX = Board.originX;
    g.originY = Board.originY;
    std::memcpy(g.reserved, Board.reserved, sizeof g.reserved);
}

void CommitGame(const SavedGame& g) {
    std::memcpy(Board.tiles, g.tiles, sizeof g.tiles);
    std::memcpy(Board.cells, g.cells, sizeof g.cells);
    std::memcpy(Board.layoutMap, g.layoutMap, sizeof g.layoutMap);
    std::memcpy(Board.history, g.history, sizeof g.history);
    std::memcpy(HallOfFame, g.topTen, sizeof g.topTen);   // the candidate row 10 is not stored
    GameState.tilesLeft = g.tilesLeft;
    GameState.historyDepth = g.historyDepth;
    GameState.selected = g.selected;
    GameState.hours = g.hours;
    GameState.minutes = g.minutes;
    GameState.seconds = g.seconds;
    Board.width = g.width;
    Board.height = g.height;
    Board.originX = g.originX;
    Board.originY = g.originY;
    std::memcpy(Board.reserved, g.reserved, sizeof g.reserved);
}

// The class of a face for the full-set count: the two four-face groups are one class each.
int FaceClass(int face) {
    if (face >= 28 && face <= 31) return 28;
    if (face >= 32 && face <= 35) return 32;
    return face;
}

bool IsTileIndexOrNone(int value) { return (value >= 0 && value < kTileCount) || value == kNone; }

bool ValidTile(const SavedGame& g, const TileRecord& t) {
    if (t.face < 0 || t.face > 42 || t.free > 1 || (t.free == 1 && t.face == 0)) return false;
    if (t.level >= kLevels || t.row > kRows - 2 || t.col > kCols - 2) return false;
    if (t.sheetX < 0 || t.sheetX > 8 * kTileWidthPx || t.sheetX % kTileWidthPx != 0) return false;
    if (t.sheetY < 0 || t.sheetY > 4 * kTileHeightPx || t.sheetY % kTileHeightPx != 0) return false;
    // Positions follow from the cell and the header exactly as the layout loader places them.
    return t.x == t.col * kCellWidthPx + g.originX + t.level * kTileDepthPx &&
           t.y == t.row * kCellHeightPx + g.originY - t.level * kTileDepthPx;
}

// Every value in range and the records consistent with one another, as a game of this program
// always leaves them: the cells hold exactly the tiles on the board, no two tiles share a cell,
// each removed tile is named by exactly one history entry, and the set holds each class 4 times.
bool ValidSavedGame(const SavedGame& g) {
    if (g.width < 1 || g.width > kMaxBoardSidePx || g.height < 1 || g.height > kMaxBoardSidePx) return false;
    if (g.originX < -kMaxOriginPx || g.originX > kMaxOriginPx || g.originY < -kMaxOriginPx ||
        g.originY > kMaxOriginPx)
        return false;
    if (g.historyDepth < 0 || g.historyDepth > kTileCount / 2) return false;
    if (g.tilesLeft != kTileCount - 2 * g.historyDepth) return false;
    if (!IsTileIndexOrNone(g.selected)) return false;
    if (g.hours < 0 || g.hours > kMaxHours || g.minutes < 0 || g.minutes > kMaxMinutes || g.seconds < 0 ||
        g.seconds > 59)
        return false;

    static_assert(kTileCount <= kNone, "a cell can name every tile");
    uint8_t expected[kLevels][kRows][kCols];
    uint8_t taken[kLevels][kRows][kCols] = {};
    std::memset(expected, kNone, sizeof expected);
    int classCount[43] = {};
    for (int i = 0; i < kTileCount; ++i) {
        const TileRecord& t = g.tiles[i];
        if (!ValidTile(g, t)) return false;
        for (int dr = 0; dr < 2; ++dr)
            for (int dc = 0; dc < 2; ++dc) {
                if (taken[t.level][t.row + dr][t.col + dc]++) return false;
                if (t.face != 0) expected[t.level][t.row + dr][t.col + dc] = static_cast<uint8_t>(i);
            }
        if (t.face != 0) ++classCount[FaceClass(t.face)];
    }
    if (std::memcmp(expected, g.cells, sizeof expected) != 0) return false;
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (g.layoutMap[l][r][c] > 1) return false;

    int namedCount[kTileCount] = {};
    for (int e = 0; e < kHistoryCapacity; ++e) {
        const HistoryEntry& h = g.history[e];
        if (h.face < 0 || h.face > 42 || !IsTileIndexOrNone(h.first) || !IsTileIndexOrNone(h.second)) return false;
        if (e >= g.historyDepth) continue;   // entries past the depth are never read
        if (h.face == 0 || h.first == h.second || h.first >= kTileCount || h.second >= kTileCount) return false;
        if (g.tiles[h.first].face != 0 || g.tiles[h.second].face != 0) return false;
        if (namedCount[h.first]++ || namedCount[h.second]++) return false;
        classCount[FaceClass(h.face)] += 2;
    }
    for (int face = 1; face <= 42; ++face)
        if (FaceClass(face) == face && classCount[face] != 4) return false;
    return true;
}

void ShowMessage(platform::Window owner, const char* text) {
    platform::MessageBox(owner, text, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// The file dialogs of both commands open in the home directory itself, with the system's title.
constexpr HomeFileDialog kSaveDialog = {"", "TXM files (*.txm)", "*.txm", "TXM", nullptr, false, true};
constexpr HomeFileDialog kLoadDialog = {"", "TXM files (*.txm)", "*.txm", "TXM", nullptr, false, false};

}  // namespace

void SaveGame(platform::Window owner) {
    char path[kPathSize];
    if (!ChooseHomeFile(owner, kSaveDialog, path)) return;

    static SavedGame game;   // 12 KB: kept off the stack
    static uint8_t image[kSavedGameSize];
    std::memset(&game, 0, sizeof game);
    CaptureGame(game);
    Encode(game, image);
    if (!WriteFileAtomically(path, image, sizeof image)) ShowFileError(owner, path, " : write error");
}

int16_t LoadGame(platform::Window owner) {
    char path[kPathSize];
    if (!ChooseHomeFile(owner, kLoadDialog, path)) return 0;

    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        ShowFileError(owner, path, " : read error");
        return 0;
    }
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    if (size != kSavedGameSize) {
        ShowMessage(owner, "TXM file : incorrect size");
        std::fclose(file);
        return 0;
    }
    static uint8_t image[kSavedGameSize];
    std::rewind(file);
    const size_t got = std::fread(image, 1, sizeof image, file);
    std::fclose(file);
    if (got != sizeof image) {
        ShowFileError(owner, path, " : read error");
        return 0;
    }

    static SavedGame game;
    std::memset(&game, 0, sizeof game);
    Decode(image, game);
    if (!ValidSavedGame(game)) {
        ShowMessage(owner, "TXM file : incorrect content");
        return 0;
    }
    CommitGame(game);
    GameState.paused = 0;
    GameState.won = 0;
    GameState.endShown = 0;
    GameState.hintCursor = 0;
    GameState.moveCount = 0;
    GameState.loadedGame = 1;
    return 1;
}
