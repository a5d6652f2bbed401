// The process-wide records of the game, all in one place: the board, the game state, the
// settings, the Top 10, the bitmaps, the home directory and the few shell values. There is one
// instance of each for the whole run; routines read and write them directly, without copies.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// ---- Fixed dimensions ------------------------------------------------------------------------
constexpr int kTileCount = 144;
constexpr int kLevels = 5;
constexpr int kRows = 20;
constexpr int kCols = 34;
constexpr int kCellsPerLevel = kRows * kCols;          // 680
constexpr int kCellBytes = kLevels * kCellsPerLevel;   // 3400
constexpr uint8_t kNone = 250;                         // no tile, no selection, empty move pair
constexpr int kCellWidthPx = 18;
constexpr int kCellHeightPx = 20;
constexpr int kTileWidthPx = 41;                       // picture: face plus the 5-pixel side
constexpr int kTileHeightPx = 45;
constexpr int kFaceWidthPx = 36;
constexpr int kFaceHeightPx = 40;
constexpr int kTileDepthPx = 5;                        // side thickness and per-level shift
constexpr int kHistoryCapacity = 73;                   // 72 are ever used
constexpr int kMoveCapacity = 216;                     // every open pair fits
constexpr int kPathSize = 500;
constexpr int kTextBoardWidthPx = 637;
constexpr int kTextBoardHeightPx = 425;

// ---- Board ---------------------------------------------------------------------------------
// One tile slot. x, y, level, row, col come from the layout; face, sheetX, sheetY from the deal.
struct TileRecord {
    int16_t x;
    int16_t y;
    int16_t sheetX;
    int16_t sheetY;
    int8_t face;      // 1..42 on the board, 0 once removed
    uint8_t free;     // 1 free, 0 not; 2 only inside UpdateFreeFlags
    uint8_t level;
    uint8_t row;
    uint8_t col;
};

// The 14-byte little-endian image of a TileRecord in a saved game (byte 13 written 0).
constexpr int kTileImageSize = 14;
void StoreTileRecord(const TileRecord& tile, uint8_t out[kTileImageSize]);
void LoadTileRecord(const uint8_t in[kTileImageSize], TileRecord& tile);

struct HistoryEntry {   // one removed pair, 3 bytes in a saved game
    int8_t face;        // face of the first tile when it was removed
    uint8_t first;
    uint8_t second;
};

struct MovePair {       // one open pair, lower index first
    uint8_t first;
    uint8_t second;
};

struct BoardRecord {
    TileRecord tiles[kTileCount];
    uint8_t cells[kLevels][kRows][kCols];      // covering tile index, or kNone
    uint8_t layoutMap[kLevels][kRows][kCols];  // 1 at each top-left cell the layout names
    HistoryEntry history[kHistoryCapacity];
    MovePair moves[kMoveCapacity];
    // The layout header, in file order.
    int16_t width;
    int16_t height;
    int16_t originX;
    int16_t originY;
    int16_t reserved[6];
};

struct GameStateRecord {
    int16_t selected;        // tile index or kNone
    int16_t tilesLeft;
    int16_t historyDepth;
    int16_t hintCursor;
    int16_t moveCount;
    int16_t loadedGame;
    int32_t seconds;
    int32_t minutes;
    int32_t hours;
    char chronoText[10];     // "hh:mm:ss"; the chrono stops at 999:59:59 so it always fits
    uint8_t paused;
    uint8_t won;
    uint8_t endShown;
    uint8_t hintState;       // 0 none, 1 asked for, 2 shown in the status bar
    char scoresPath[kPathSize];
};

extern BoardRecord Board;          // written by board/ and by LoadGame
extern GameStateRecord GameState;  // written by board/, the shell, LoadGame

// ---- Settings (persist/settings.cpp reads and writes the file) ------------------------------
struct SettingsRecord {
    uint8_t useColors;
    uint8_t soundEffects;
    uint8_t showChrono;
    uint8_t showExposed;
    uint32_t backgroundColor;   // COLORREF 0x00BBGGRR
    uint32_t exposedColor;
    uint32_t transparentColor;
    uint32_t levelColor[kLevels];
    char layoutPath[kPathSize];
    char tileSheetPath[kPathSize];
    char backgroundPath[kPathSize];
    char soundClickPath[kPathSize];
    char soundPairPath[kPathSize];
    char soundBadClickPath[kPathSize];
    char midiPath[kPathSize];
    // Options of our own, kept in the file's reserved block; 0 is the default and reads as before.
    uint8_t winnableDeals;      // 1: every deal is repeated until the solver proves it winnable
    uint8_t warnDeadEnds;       // 1: the status bar says when the position can no longer be won
    uint8_t tileSize;           // 0 Automatic, 1 Normal, 2 Large, 3 Huge (the drawing scale)
};
extern SettingsRecord Settings;    // menus and option dialogs write it; SaveSettings at exit

// ---- Top 10 (persist/halloffame.cpp) ----------------------------------------------------------
struct HallOfFameEntry {
    char name[23];
    char timeText[10];
    int32_t seconds;
};
extern HallOfFameEntry HallOfFame[11];   // rows 0..9 the Top 10, row 10 the candidate
extern uint8_t hallOfFameDirty;          // set by EnterHallOfFame, cleared by LoadHallOfFame
extern char playerName[22];              // the name typed in the win dialog
extern char winMessage[256];

// ---- Bitmaps (render/) ------------------------------------------------------------------------
struct TileSheetRecord {
    platform::Bitmap* bitmap;             // null when no sheet could be read
    platform::Bitmap* scaled;             // the sheet at drawScale when above 1, else null
};
struct BackgroundPictureRecord {
    platform::Bitmap* bitmap;             // null when none
    int32_t width;
    int32_t height;
    platform::Bitmap* scaled;             // the picture at drawScale when above 1, else null
};
extern TileSheetRecord TileSheet;
extern BackgroundPictureRecord BackgroundPicture;
extern platform::Bitmap* BoardBuffer;    // the off-screen board, remade when the board outgrows it
// The drawing scale: each board pixel is drawn as drawScale x drawScale pixels of the window.
// Positions, hit-testing, records and saved games stay in board pixels (render/scale.h).
constexpr int kMaxDrawScale = 6;
extern int drawScale;                    // 1..kMaxDrawScale; 1 draws exactly as before

// ---- Home directory and shell values -------------------------------------------------------
extern char startDir[kPathSize];         // the current directory at start-up (WinMain)
extern char messageBuffer[512];          // where file routines compose their error messages
extern platform::Window statusBar;       // created by the main window, written by UpdateStatusBar
extern char statusText[101];             // the one status text
extern uint8_t musicOn;                  // the sequencer alias is taken to be open
extern uint8_t musicPaused;

constexpr unsigned kChronoTimerId = 1050;
constexpr const char* kCaption = "Tolbex";

// Writes `path` + `suffix` into messageBuffer, cut so that it never overruns, and shows it with
// the exclamation icon, owned by `owner`. Used for every " : read error" / " : write error".
void ShowFileError(platform::Window owner, const char* path, const char* suffix);
