// Definitions of the process-wide records declared in board/state.h, and the two small helpers
// that every file routine shares: the tile record's stored image and the file-error message.
#include "board/state.h"

#include <cstdio>
#include <cstring>

BoardRecord Board;
GameStateRecord GameState;
SettingsRecord Settings;
HallOfFameEntry HallOfFame[11];
uint8_t hallOfFameDirty;
char playerName[22];
char winMessage[256];
TileSheetRecord TileSheet;
BackgroundPictureRecord BackgroundPicture;
platform::Bitmap* BoardBuffer;
int drawScale = 1;
char startDir[kPathSize];
char messageBuffer[512];
platform::Window statusBar;
// The status text starts as 100 blanks, so an early status bar shows nothing stray.
char statusText[101] = "                                                                                                    ";
uint8_t musicOn;
uint8_t musicPaused;

void StoreTileRecord(const TileRecord& t, uint8_t out[kTileImageSize]) {
    const int16_t words[4] = {t.x, t.y, t.sheetX, t.sheetY};
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = static_cast<uint8_t>(static_cast<uint16_t>(words[i]) & 0xFF);
        out[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(words[i]) >> 8);
    }
    out[8] = static_cast<uint8_t>(t.face);
    out[9] = t.free;
    out[10] = t.level;
    out[11] = t.row;
    out[12] = t.col;
    out[13] = 0;
}

void LoadTileRecord(const uint8_t in[kTileImageSize], TileRecord& t) {
    auto word = [in](int i) {
        return static_cast<int16_t>(static_cast<uint16_t>(in[2 * i] | (in[2 * i + 1] << 8)));
    };
    t.x = word(0);
    t.y = word(1);
    t.sheetX = word(2);
    t.sheetY = word(3);
    t.face = static_cast<int8_t>(in[8]);
    t.free = in[9];
    t.level = in[10];
    t.row = in[11];
    t.col = in[12];
}

void ShowFileError(platform::Window owner, const char* path, const char* suffix) {
    std::snprintf(messageBuffer, sizeof messageBuffer, "%s%s", path, suffix);
    platform::MessageBox(owner, messageBuffer, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}
