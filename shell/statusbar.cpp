// The status text under the board (tiles left, the chrono, the hint or end-of-game piece) and
// the one-second chrono tick. statusText is the one buffer the status bar is given; it is
// rewritten from its start on every update and posted, so the newest text always wins.
#include "shell/statusbar.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "board/state.h"
#include "persist/halloffame.h"
#include "shell/deadends.h"

namespace {

// Every piece after the first starts with 20 blanks, which separate the pieces.
constexpr const char* kTilesPiece = "%d Tiles";
constexpr const char* kChronoPiece = "                    Chrono : %.9s";
constexpr const char* kSolutionPiece = "                    Sol %d / %d";
constexpr const char* kWonPiece = "                    You won !!!";
constexpr const char* kGameOverPiece = "                    Game over !!!";

// The chrono stops here: "999:59:59" is the longest text that fits chronoText with its NUL.
constexpr int64_t kChronoLimitSeconds = 999LL * 3600 + 59 * 60 + 59;

void AppendPiece(const char* piece) {
    size_t used = std::strlen(statusText);
    std::snprintf(statusText + used, sizeof statusText - used, "%s", piece);
}

}  // namespace

void UpdateStatusBar(platform::Window status) {
    char work[40];
    std::snprintf(statusText, sizeof statusText, kTilesPiece, GameState.tilesLeft);
    if (Settings.showChrono == 1) {
        std::snprintf(work, sizeof work, kChronoPiece, GameState.chronoText);
        AppendPiece(work);
    }
    // A hint just asked for: DrawBoard has marked the pair at the cursor; count it from 1 and
    // charge its minute. The minute reaches the chrono text at the next running tick.
    if (GameState.hintState == 1) {
        // (On an empty board no tile is drawn, so nothing winds the cursor back; it must not wrap.)
        if (GameState.hintCursor < INT16_MAX) ++GameState.hintCursor;
        if (GameState.hintCursor <= GameState.moveCount) ++GameState.minutes;
        GameState.hintState = 2;
    }
    if (GameState.hintState != 0) {
        if (GameState.hintCursor <= GameState.moveCount) {
            std::snprintf(work, sizeof work, kSolutionPiece, GameState.hintCursor, GameState.moveCount);
            AppendPiece(work);
        } else {
            AppendPiece(GameState.tilesLeft == 0 ? kWonPiece : kGameOverPiece);
        }
    }
    AppendPiece(SolverStatusPiece());
    platform::PostStatusText(status, statusText);
}

void ChronoTick(platform::Window status) {
    if (GameState.paused == 0 && GameState.won == 0) {
        // One second on, then every carry that is due. Hints can charge minutes while the
        // chrono stands (paused, or at minute 59), so minutes at or past 60 are carried as many
        // times as needed, not just when they equal 60. Working on the total also tames
        // counters out of their ranges, and holds the chrono at 999:59:59.
        int64_t total = static_cast<int64_t>(GameState.hours) * 3600 +
                        static_cast<int64_t>(GameState.minutes) * 60 + GameState.seconds + 1;
        if (total < 0) total = 0;
        if (total > kChronoLimitSeconds) total = kChronoLimitSeconds;
        GameState.hours = static_cast<int32_t>(total / 3600);
        GameState.minutes = static_cast<int32_t>(total / 60 % 60);
        GameState.seconds = static_cast<int32_t>(total % 60);
        FormatTime(GameState.hours, GameState.minutes, GameState.seconds, GameState.chronoText);
    }
    if (Settings.showChrono == 1) UpdateStatusBar(status);
}
