// The game's answer to the player: a left click selects, pairs or refuses a tile; a matching
// pair leaves the board and is recorded so that Undo can put it back; the last pair wins the
// game and makes the chrono's time the Top 10 candidate. Sounds play when the option is on.
#include "board/click.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "board/rules.h"
#include "board/state.h"

namespace {

// Plays one of the three effect files, only when the option is on. A path without its NUL
// (a damaged settings record) plays nothing rather than being read past its buffer.
void PlayEffect(const char (&path)[kPathSize]) {
    if (Settings.soundEffects != 1) return;
    if (!std::memchr(path, 0, sizeof path) || path[0] == '\0') return;
    platform::PlaySound(path);
}

bool ValidTile(int index) { return index >= 0 && index < kTileCount; }

// The hit area is the face without its left-most pixel column and top pixel row, and without
// the 5-pixel side strips: x + 5 < px < x + 41 and y < py < y + 40.
bool HitsFace(const TileRecord& tile, int px, int py) {
    return px > tile.x + kTileDepthPx && px < tile.x + kTileWidthPx && py > tile.y &&
           py < tile.y + kFaceHeightPx;
}

// Sets or clears the four cells of a tile on its own level.
void FillCells(const TileRecord& tile, uint8_t value) {
    if (tile.level >= kLevels || tile.row + 1 >= kRows || tile.col + 1 >= kCols) return;
    for (int dr = 0; dr < 2; ++dr)
        for (int dc = 0; dc < 2; ++dc) Board.cells[tile.level][tile.row + dr][tile.col + dc] = value;
}

}  // namespace

void ClickTile(intptr_t point) {
    // The mouse message packs x in the low word and y in the high word, each signed.
    const int px = static_cast<int16_t>(static_cast<uint16_t>(point & 0xFFFF));
    const int py = static_cast<int16_t>(static_cast<uint16_t>((point >> 16) & 0xFFFF));

    // The index is the paint order, so the highest index under the point is the tile on top.
    int hit = -1;
    for (int t = kTileCount - 1; t >= 0; --t) {
        const TileRecord& tile = Board.tiles[t];
        if (tile.face != 0 && HitsFace(tile, px, py)) {
            hit = t;
            break;
        }
    }

    if (hit < 0) {
        PlayEffect(Settings.soundBadClickPath);
        GameState.selected = kNone;
        return;
    }
    if (!ValidTile(GameState.selected)) {
        if (Board.tiles[hit].free == 1) {
            GameState.selected = static_cast<int16_t>(hit);
            PlayEffect(Settings.soundClickPath);
        } else {
            PlayEffect(Settings.soundBadClickPath);
            GameState.selected = kNone;
        }
        return;
    }
    TryPair(GameState.selected, hit);
}

void TryPair(int a, int b) {
    if (!ValidTile(a) || !ValidTile(b)) {
        GameState.selected = kNone;
        return;
    }
    if (TilesMatch(a, b)) {
        RemovePair(a, b);
        if (GameState.tilesLeft == 0) {
            HallOfFameEntry& candidate = HallOfFame[10];
            const int64_t total = int64_t{GameState.hours} * 3600 + int64_t{GameState.minutes} * 60 +
                                  GameState.seconds;
            candidate.seconds = static_cast<int32_t>(total > INT32_MAX ? INT32_MAX : total);
            static_assert(sizeof candidate.timeText == sizeof GameState.chronoText);
            std::memcpy(candidate.timeText, GameState.chronoText, sizeof candidate.timeText);
            candidate.timeText[sizeof candidate.timeText - 1] = '\0';
            // Set before any dialog can open: the end-of-game flow runs from the next repaint.
            GameState.won = 1;
        }
        PlayEffect(Settings.soundPairPath);
        UpdateFreeFlags();
        GameState.selected = kNone;
        return;
    }
    if (Board.tiles[b].free != 1) {
        GameState.selected = kNone;
        PlayEffect(Settings.soundBadClickPath);
        return;
    }
    // A free tile that does not match: the selection moves to it, or is dropped when the
    // selected tile itself was clicked again.
    GameState.selected = b != a ? static_cast<int16_t>(b) : static_cast<int16_t>(kNone);
    PlayEffect(Settings.soundClickPath);
}

void RemovePair(int a, int b) {
    if (!ValidTile(a) || !ValidTile(b) || GameState.historyDepth < 0 ||
        GameState.historyDepth >= kHistoryCapacity)
        return;
    Board.history[GameState.historyDepth] = {Board.tiles[a].face, static_cast<uint8_t>(a),
                                             static_cast<uint8_t>(b)};
    for (int t : {a, b}) {
        FillCells(Board.tiles[t], kNone);
        Board.tiles[t].face = 0;
    }
    GameState.tilesLeft = static_cast<int16_t>(GameState.tilesLeft - 2);
    GameState.hintCursor = 0;
    GameState.moveCount = 0;
    ++GameState.historyDepth;
}

void UndoMove(platform::Window window) {
    if (GameState.historyDepth <= 0) {
        platform::MessageBox(window, "No more moves", kCaption, platform::MB_OK | platform::MB_ICONINFORMATION);
        return;
    }
    if (GameState.historyDepth > kHistoryCapacity) return;   // only a damaged record; never loaded
    --GameState.historyDepth;
    const HistoryEntry entry = Board.history[GameState.historyDepth];
    // Both tiles come back with the first tile's face; a pair from one of the four-face classes
    // thus carries one face number twice, each tile keeping its own picture, and still matches.
    for (int t : {static_cast<int>(entry.first), static_cast<int>(entry.second)}) {
        if (!ValidTile(t)) continue;
        Board.tiles[t].face = entry.face;
        FillCells(Board.tiles[t], static_cast<uint8_t>(t));
    }
    GameState.tilesLeft = static_cast<int16_t>(GameState.tilesLeft + 2);
    GameState.hintCursor = 0;
    GameState.moveCount = 0;
    UpdateFreeFlags();
}
