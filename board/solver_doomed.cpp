// The losing combinations of board/solver_doomed.h.
#include "board/solver_doomed.h"

#include <algorithm>

namespace solver {

void DoomedPairings::Clear(int classCount) {
    for (const Entry& e : entries_)
        for (int k = 0; k < e.size; ++k) byPairing_[e.cls[k] * 3 + e.pairing[k]].clear();
    entries_.clear();
    whole_ = 0;
    std::fill(wholeWith_, wholeWith_ + kMaxClasses, 0);
    classCount_ = classCount;
}

void DoomedPairings::Whole(const Entry& e, int step) {
    whole_ += step;
    for (int k = 0; k < e.size; ++k) wholeWith_[e.cls[k]] += step;
}

void DoomedPairings::Add(const Bits& classes, const uint8_t* pairing) {
    const int size = classes.Count();
    if (size == 0 || size > kMaxSize || entries_.size() >= kMaxCount) return;
    Entry e{};
    e.size = static_cast<uint8_t>(size);
    e.agree = e.size;
    int n = 0;
    ForEach(classes, [&](int c) {
        e.cls[n] = static_cast<uint8_t>(c);
        e.pairing[n++] = pairing[c];
    });
    // The same combination again: the walk only comes back to one when nothing else was left.
    for (uint32_t id : byPairing_[e.cls[0] * 3 + e.pairing[0]]) {
        const Entry& old = entries_[id];
        if (old.size == e.size && std::equal(e.cls, e.cls + n, old.cls) && std::equal(e.pairing, e.pairing + n, old.pairing))
            return;
    }
    const auto id = static_cast<uint32_t>(entries_.size());
    entries_.push_back(e);
    for (int k = 0; k < n; ++k) byPairing_[e.cls[k] * 3 + e.pairing[k]].push_back(id);
    Whole(e, 1);
}

void DoomedPairings::Recount(const uint8_t* pairing) {
    whole_ = 0;
    std::fill(wholeWith_, wholeWith_ + classCount_, 0);
    for (Entry& e : entries_) {
        e.agree = 0;
        for (int k = 0; k < e.size; ++k) e.agree += pairing[e.cls[k]] == e.pairing[k];
        if (e.agree == e.size) Whole(e, 1);
    }
}

void DoomedPairings::Change(int c, int from, int to) {
    if (from == to) return;
    for (uint32_t id : byPairing_[c * 3 + from]) {
        Entry& e = entries_[id];
        if (e.agree == e.size) Whole(e, -1);
        --e.agree;
    }
    for (uint32_t id : byPairing_[c * 3 + to]) {
        Entry& e = entries_[id];
        if (++e.agree == e.size) Whole(e, 1);
    }
}

bool DoomedPairings::Doomed(int c, int p) const {
    if (whole_ > wholeWith_[c]) return true;   // whole without class c: stays whole
    for (uint32_t id : byPairing_[c * 3 + p]) {
        const Entry& e = entries_[id];
        if (e.agree + 1 == e.size) return true;
    }
    return false;
}

}  // namespace solver
