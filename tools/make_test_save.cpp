// Makes a saved game for the end-to-end tests, through the game's own routines: the default
// layout of a home directory, a deal at a fixed time, pairs taken off by the rules until a few
// tiles are left, and the 9453-byte image written by SaveGame. It prints where to click the
// first open pair and where every tile left lies, in board pixels.
// Usage: tolbex_make_test_save <home-dir> <out.TXM> [tiles-left (default 2)] [deal time]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/deal.h"
#include "board/layout.h"
#include "board/rules.h"
#include "board/click.h"
#include "board/home.h"
#include "board/state.h"
#include "persist/halloffame.h"
#include "persist/savegame.h"
#include "platform/fake/fake.h"
#include "tools/play_down.h"

namespace {

// A point that hits tile `t` (its face less the top row and left column) and not tile `other`.
bool ClickPoint(int t, int other, int& px, int& py) {
    const TileRecord& a = Board.tiles[t];
    const TileRecord& b = Board.tiles[other];
    const int candidates[][2] = {{23, 20}, {10, 6}, {37, 36}, {10, 36}, {37, 6}, {23, 34}, {23, 6}};
    for (const auto& c : candidates) {
        const int x = a.x + c[0], y = a.y + c[1];
        const bool hitsOther = other != t && b.x + 5 < x && x < b.x + 41 && b.y < y && y < b.y + 40;
        if (!hitsOther) {
            px = x;
            py = y;
            return true;
        }
    }
    return false;
}

void DefaultTopTen() {
    for (int i = 0; i < 10; ++i) {
        std::snprintf(HallOfFame[i].name, sizeof HallOfFame[i].name, "Tolbex");
        FormatTime(0, 5 + i, 0, HallOfFame[i].timeText);
        HallOfFame[i].seconds = 300 + 60 * i;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <home-dir> <out.TXM> [tiles-left] [deal time]\n", argv[0]);
        return 2;
    }
    const int left = argc > 3 ? std::atoi(argv[3]) : 2;
    const long long dealTime = argc > 4 ? std::atoll(argv[4]) : 1000000;
    if (left < 2 || left > kTileCount || left % 2 != 0) {
        std::fprintf(stderr, "tiles-left must be even, 2 to 144\n");
        return 2;
    }
    fake::Reset();
    fake::SetCurrentDirectory(argv[1]);
    std::snprintf(startDir, sizeof startDir, "%s", argv[1]);
    char layout[kPathSize];
    HomePath(layout, sizeof layout, kDefaultLayout);
    if (LoadLayout(fake::MainWindow(), layout) != 1) {
        std::fprintf(stderr, "cannot load the layout %s\n", layout);
        return 1;
    }
    bool done = false;
    for (int attempt = 0; attempt < 20 && !done; ++attempt) {
        fake::SetTime(dealTime + attempt);   // a deal the search cannot bring down: the next one
        RestartGame(fake::MainWindow());
        DealTiles();
        UpdateFreeFlags();
        done = playdown::PlayDownTo(left, fake::MainWindow());
    }
    if (!done) {
        std::fprintf(stderr, "no deal came down to %d tiles with an open pair\n", left);
        return 1;
    }
    GameState.selected = kNone;
    GameState.hours = 0;
    GameState.minutes = 1;
    GameState.seconds = 0;
    DefaultTopTen();
    fake::QueueFileAnswer(std::string(argv[2]));
    SaveGame(fake::MainWindow());
    std::FILE* check = std::fopen(argv[2], "rb");
    long size = -1;
    if (check) {
        std::fseek(check, 0, SEEK_END);
        size = std::ftell(check);
        std::fclose(check);
    }
    if (size != kSavedGameSize) {
        std::fprintf(stderr, "the saved game %s was not written whole (%ld bytes)\n", argv[2], size);
        return 1;
    }
    const MovePair pair = Board.moves[0];
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!ClickPoint(pair.first, pair.second, ax, ay) || !ClickPoint(pair.second, pair.first, bx, by)) {
        std::fprintf(stderr, "no clear click point on the open pair\n");
        return 1;
    }
    // CLICK: the open pair, first then second. TILE: every tile left, its face centre and
    // whether it belongs to that pair.
    std::printf("CLICK %d %d %d %d\n", ax, ay, bx, by);
    for (int t = 0; t < kTileCount; ++t) {
        if (Board.tiles[t].face == 0) continue;
        const bool inPair = t == pair.first || t == pair.second;
        int cx = 0, cy = 0;
        ClickPoint(t, t, cx, cy);
        std::printf("TILE %d %d %d %d\n", t, cx, cy, inPair ? 1 : 0);
    }
    std::printf("SIZE %d %d\n", Board.width, Board.height);
    return 0;
}
