// Pairings of a few classes known to lose together, as the walk over pairings keeps them: any
// pairing of the whole board that pairs those classes so cannot be cleared. Internal to
// board/solver*.cpp.
//
// The walk changes one class at a time, so each combination keeps how many of its classes the
// walk's current pairing agrees with; a change is doomed when it leaves some combination whole.
#pragma once

#include <cstdint>
#include <vector>

#include "board/solver_model.h"

namespace solver {

class DoomedPairings {
public:
    static constexpr int kMaxSize = 12;   // combinations of more classes are not kept

    void Clear(int classCount);
    // Keeps the pairings pairing[c] of the classes of `classes`, which the walk's current
    // pairing has.
    void Add(const Bits& classes, const uint8_t* pairing);
    // Counts again after the walk's pairing changed in many classes.
    void Recount(const uint8_t* pairing);
    // Class c goes from pairing `from` to pairing `to`.
    void Change(int c, int from, int to);
    // Whether giving class c pairing p (and keeping the others) leaves a kept combination whole.
    bool Doomed(int c, int p) const;
    // Calls f(classes, pairing) for every kept combination, pairing[c] giving each class's.
    template <typename F>
    void ForEachKept(F f) const {
        int8_t pairing[kMaxClasses];
        for (const Entry& e : entries_) {
            Bits classes;
            for (int k = 0; k < e.size; ++k) {
                classes.Set(e.cls[k]);
                pairing[e.cls[k]] = static_cast<int8_t>(e.pairing[k]);
            }
            f(classes, pairing);
        }
    }

private:
    struct Entry {
        uint8_t size;
        uint8_t agree;   // classes whose current pairing is the combination's
        uint8_t cls[kMaxSize];
        uint8_t pairing[kMaxSize];
    };
    static constexpr size_t kMaxCount = 4096;
    void Whole(const Entry& e, int step);

    std::vector<Entry> entries_;
    std::vector<uint32_t> byPairing_[kMaxClasses * 3];   // by class * 3 + pairing
    int whole_ = 0;                                       // combinations left whole
    int wholeWith_[kMaxClasses] = {};                     // of them, those holding the class
    int classCount_ = 0;
};

}  // namespace solver
