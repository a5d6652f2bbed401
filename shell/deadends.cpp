// The dead-end warning and the note of a deal not proved winnable. The position is looked at
// whenever its tiles or its history change; the look runs through platform::RunInBackground on a
// copy of the board, and its answer is used only if the position has not changed meanwhile.
#include "shell/deadends.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "board/state.h"
#include "board/winnable.h"
#include "resources/ids.h"
#include "shell/statusbar.h"

namespace {

// Each solve of the look may search this many positions (well under a second).
constexpr long kWatchNodeBudget = 300000;

struct Job {
    BoardRecord board;
    int historyDepth;
    unsigned generation;
    std::atomic<bool> cancel{false};
    WayBack answer;
};

struct Watch {
    int8_t faces[kTileCount];     // the position last looked at
    int historyDepth = -1;
    bool looked = false;
    unsigned generation = 0;      // of the newest look; older answers are dropped
    Job* running = nullptr;       // the newest look while it runs
    bool known = false;
    WayBack answer{WayBack::Unknown, 0};
    bool dealUnproved = false;    // the last deal stands without proof
    char piece[64] = "";
};
Watch watch;

void Look(void* context) {
    Job* job = static_cast<Job*>(context);
    job->answer = FindWayBack(job->board, job->historyDepth, kWatchNodeBudget, &job->cancel);
}

void Answered(void* context) {
    Job* job = static_cast<Job*>(context);
    if (watch.running == job) watch.running = nullptr;
    const bool current = job->generation == watch.generation && Settings.warnDeadEnds == 1;
    if (current) {
        watch.known = true;
        watch.answer = job->answer;
    }
    delete job;
    if (current && GameState.paused == 0) UpdateStatusBar(statusBar);
}

bool SamePosition() {
    if (!watch.looked || watch.historyDepth != GameState.historyDepth) return false;
    for (int t = 0; t < kTileCount; ++t)
        if (watch.faces[t] != Board.tiles[t].face) return false;
    return true;
}

}  // namespace

void DealNewGame() {
    watch.dealUnproved = !DealForPlay();
}

void WatchPosition() {
    if (Settings.warnDeadEnds != 1) {
        watch.looked = false;
        watch.known = false;
        return;
    }
    if (SamePosition()) return;
    watch.looked = true;
    watch.historyDepth = GameState.historyDepth;
    for (int t = 0; t < kTileCount; ++t) watch.faces[t] = Board.tiles[t].face;
    watch.known = false;
    if (watch.running) watch.running->cancel = true;
    Job* job = new Job;
    job->board = Board;
    job->historyDepth = GameState.historyDepth;
    job->generation = ++watch.generation;
    watch.running = job;
    platform::RunInBackground(Look, Answered, job);
}

void CmdWinnableDeals(platform::Window window) {
    Settings.winnableDeals = Settings.winnableDeals == 0 ? 1 : 0;
    platform::CheckMenuItem(window, IDM_WINNABLE_DEALS, Settings.winnableDeals == 1);
}

void CmdWarnDeadEnds(platform::Window window) {
    Settings.warnDeadEnds = Settings.warnDeadEnds == 0 ? 1 : 0;
    platform::CheckMenuItem(window, IDM_WARN_DEAD_ENDS, Settings.warnDeadEnds == 1);
    WatchPosition();
    UpdateStatusBar(statusBar);
}

const char* SolverStatusPiece() {
    watch.piece[0] = '\0';
    // Every piece starts with 20 blanks, like the others of the status bar.
    if (Settings.warnDeadEnds == 1 && watch.known && SamePosition()) {
        if (watch.answer.kind == WayBack::DealLost)
            std::snprintf(watch.piece, sizeof watch.piece, "                    This deal cannot be won");
        else if (watch.answer.kind == WayBack::Undo)
            std::snprintf(watch.piece, sizeof watch.piece, "                    No way out: Undo %d", watch.answer.undos);
    } else if (Settings.winnableDeals == 1 && watch.dealUnproved && GameState.loadedGame == 0 &&
               GameState.historyDepth == 0) {
        std::snprintf(watch.piece, sizeof watch.piece, "                    No winnable deal found");
    }
    return watch.piece;
}
