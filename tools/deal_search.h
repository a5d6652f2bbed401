// Decides whether a dealt board can be cleared: a depth-first search over the sets of removed
// tiles, with the free-tile rule of the game worked out once per board into neighbour lists.
// Used by the layout statistics tool; a search that runs out of its node budget says Unknown.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <random>
#include <unordered_set>
#include <vector>

#include "board/state.h"

namespace dealsearch {

enum class Verdict { Winnable, NotWinnable, Unknown };

class Search {
public:
    Search(const BoardRecord& board, long nodeBudget) : budget_(nodeBudget) {
        for (int t = 0; t < kTileCount; ++t) {
            const TileRecord& tile = board.tiles[t];
            kind_[t] = Kind(tile.face);
            present_[t] = tile.face != 0;
            level_[t] = tile.level;
            if (present_[t]) members_[kind_[t]].push_back(t);
        }
        left_count_ = static_cast<int>(present_.count());
        auto at = [&board](int l, int r, int c) {
            if (l < 0 || l >= kLevels || r < 0 || r >= kRows || c < 0 || c >= kCols) return -1;
            const int index = board.cells[l][r][c];
            return index < kTileCount ? index : -1;
        };
        auto add = [](std::vector<int>& list, int index) {
            if (index >= 0 && std::find(list.begin(), list.end(), index) == list.end()) list.push_back(index);
        };
        for (int t = 0; t < kTileCount; ++t) {
            const TileRecord& tile = board.tiles[t];
            for (int dr = 0; dr < 2; ++dr) {
                for (int dc = 0; dc < 2; ++dc) add(above_[t], at(tile.level + 1, tile.row + dr, tile.col + dc));
                add(left_[t], at(tile.level, tile.row + dr, tile.col - 1));
                add(right_[t], at(tile.level, tile.row + dr, tile.col + 2));
            }
            // The outer columns of the grid are open whatever lies beside them.
            edge_[t] = tile.col == 0 || tile.col + 2 >= kCols;
        }
        // under_[t]: every tile that can only go after t, because t lies (through any chain of
        // tiles) on top of it. Lower tiles are done first, so under_[t] is whole when it is used.
        std::vector<int> order(kTileCount);
        for (int t = 0; t < kTileCount; ++t) order[t] = t;
        std::sort(order.begin(), order.end(), [this](int a, int b) { return level_[a] < level_[b]; });
        for (int t : order)
            for (int u : above_[t]) under_[u] |= under_[t], under_[u][t] = true;
    }

    Verdict Run() {
        // Quick tries first: most boards that can be cleared are cleared by one of a few plays
        // that pick among the open pairs at random, upper tiles first.
        std::mt19937 random(12345);
        for (int play = 0; play < kQuickPlays; ++play)
            if (QuickPlay(random)) return Verdict::Winnable;
        // Then searches that go back, each in another random order and with twice the nodes of
        // the one before: a search that went astray in its first choices is abandoned early. The
        // positions proved dead are shared between them; one search that ends within its
        // allowance has looked at every order, so the board cannot be cleared.
        long total = budget_;
        for (long allowance = kFirstAllowance; total > 0; allowance *= 2) {
            budget_ = std::min(allowance, total);
            total -= budget_;
            random_.seed(static_cast<unsigned>(allowance));
            if (Go()) return Verdict::Winnable;
            if (budget_ >= 0) return Verdict::NotWinnable;
        }
        return Verdict::Unknown;
    }

private:
    // Faces 28-31 and 32-35 match within their group of four; every other face only itself.
    static int Kind(int face) { return face >= 28 && face <= 31 ? 28 : face >= 32 && face <= 35 ? 32 : face; }

    bool Free(int t) const {
        if (!present_[t]) return false;
        for (int u : above_[t])
            if (present_[u]) return false;
        if (edge_[t]) return true;
        auto clear = [this](const std::vector<int>& side) {
            return std::none_of(side.begin(), side.end(), [this](int u) { return present_[u]; });
        };
        return clear(left_[t]) || clear(right_[t]);
    }

    // True when the board can no longer be cleared, for one of two reasons that the tiles'
    // stacking alone decides: a tile lies under every other tile of its kind still on the board,
    // so none of them can be its partner; or the kinds down to their last two tiles (whose pairs
    // are fixed) wait for each other in a circle, each pair lying on a tile of the next.
    bool Stuck() const {
        std::vector<std::bitset<kTileCount>> pairs;
        for (int k = 0; k < 43; ++k) {
            std::bitset<kTileCount> left;
            for (int t : members_[k])
                if (present_[t]) left[t] = true;
            for (int t : members_[k]) {
                if (!present_[t]) continue;
                bool partnerPossible = false;
                for (int u : members_[k])
                    partnerPossible = partnerPossible || (u != t && present_[u] && !under_[t][u] && !under_[u][t]);
                if (!partnerPossible) return true;
            }
            if (left.count() == 2) pairs.push_back(left);
        }
        // below[i]: the tiles that pair i lies on, and so must go after it.
        const size_t n = pairs.size();
        std::vector<std::bitset<kTileCount>> below(n);
        for (size_t i = 0; i < n; ++i)
            for (int t = 0; t < kTileCount; ++t)
                if (pairs[i][t]) below[i] |= under_[t];
        // Pairs that lie on no other pair cannot be in a circle: peel them off until none is left
        // (no circle) or every remaining pair lies on another remaining one (a circle).
        std::vector<bool> gone(n, false);
        for (size_t removed = 0; removed < n;) {
            bool peeled = false;
            for (size_t i = 0; i < n; ++i) {
                if (gone[i]) continue;
                bool waits = false;
                for (size_t j = 0; j < n && !waits; ++j) waits = !gone[j] && j != i && (below[j] & pairs[i]).any();
                if (!waits) gone[i] = true, ++removed, peeled = true;
            }
            if (!peeled) return true;
        }
        return false;
    }

    // How many tiles beside t on its level wait for it: the neighbours on each side that are still
    // on the board, counted along the row until a gap.
    int Opens(int t) const {
        int count = 0;
        for (const auto* side : {&left_, &right_}) {
            for (int u = t; u >= 0;) {
                int next = -1;
                for (int v : (*side)[u])
                    if (present_[v]) next = v;
                if (next >= 0) ++count;
                u = next;
                if (count > 16) break;
            }
        }
        return count;
    }

    static constexpr int kQuickPlays = 64;
    static constexpr long kFirstAllowance = 2000;

    // The open pairs of the current position, the sure ones alone when there are any.
    std::vector<std::pair<int, int>> Moves() const {
        std::array<std::vector<int>, 43> freeOfKind;
        std::array<int, 43> leftOfKind{};
        for (int t = 0; t < kTileCount; ++t) {
            if (!present_[t]) continue;
            ++leftOfKind[kind_[t]];
            if (Free(t)) freeOfKind[kind_[t]].push_back(t);
        }
        std::vector<std::pair<int, int>> moves;
        for (int k = 0; k < 43; ++k) {
            const std::vector<int>& f = freeOfKind[k];
            if (f.size() < 2) continue;
            // The last two of a kind, or all four free: taking them now can never hurt.
            if (f.size() == static_cast<size_t>(leftOfKind[k])) return {{f[0], f[1]}};
            for (size_t i = 0; i < f.size(); ++i)
                for (size_t j = i + 1; j < f.size(); ++j) moves.push_back({f[i], f[j]});
        }
        return moves;
    }

    // One play to the end without going back; the board is as it was afterwards.
    bool QuickPlay(std::mt19937& random) {
        const std::bitset<kTileCount> start = present_;
        const int startCount = left_count_;
        while (left_count_ > 0) {
            std::vector<std::pair<int, int>> moves = Moves();
            if (moves.empty()) break;
            // Among the pairs of the highest level sum, any one.
            int best = -1;
            for (const auto& m : moves) best = std::max(best, level_[m.first] + level_[m.second]);
            std::vector<std::pair<int, int>> top;
            for (const auto& m : moves)
                if (level_[m.first] + level_[m.second] >= best - static_cast<int>(random() % 2)) top.push_back(m);
            const auto [a, b] = top[random() % top.size()];
            present_[a] = present_[b] = false;
            left_count_ -= 2;
        }
        const bool won = left_count_ == 0;
        present_ = start;
        left_count_ = startCount;
        return won;
    }

    bool Go() {
        if (left_count_ == 0) return true;
        if (--budget_ < 0) return false;
        if (dead_.count(present_)) return false;
        if (Stuck()) {
            dead_.insert(present_);
            return false;
        }
        std::vector<std::pair<int, int>> moves = Moves();
        // The pairs that hold the most tiles down first: high levels, then many tiles below.
        auto weight = [this](const std::pair<int, int>& m) {
            return static_cast<int>(under_[m.first].count() + under_[m.second].count()) + Opens(m.first) + Opens(m.second);
        };
        std::shuffle(moves.begin(), moves.end(), random_);
        std::stable_sort(moves.begin(), moves.end(), [&weight](const auto& a, const auto& b) { return weight(a) > weight(b); });
        for (const auto& [a, b] : moves) {
            present_[a] = present_[b] = false;
            left_count_ -= 2;
            const bool won = Go();
            present_[a] = present_[b] = true;
            left_count_ += 2;
            if (won) return true;
            if (budget_ < 0) return false;
        }
        dead_.insert(present_);
        return false;
    }

    long budget_;
    std::mt19937 random_;
    int left_count_ = 0;
    std::bitset<kTileCount> present_;
    std::array<int, kTileCount> kind_{}, level_{};
    std::array<bool, kTileCount> edge_{};
    std::array<std::vector<int>, kTileCount> above_, left_, right_;
    std::array<std::vector<int>, 43> members_;
    std::array<std::bitset<kTileCount>, kTileCount> under_{};
    std::unordered_set<std::bitset<kTileCount>> dead_;
};

inline Verdict Decide(const BoardRecord& board, long nodeBudget) {
    return Search(board, nodeBudget).Run();
}

}  // namespace dealsearch
