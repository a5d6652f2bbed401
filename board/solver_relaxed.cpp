// The relaxed game of board/solver_relaxed.h.
#include "board/solver_relaxed.h"

namespace solver {

namespace {

constexpr int kOpenedPlayLimit = 16;   // tiles an opened class may take off

}  // namespace

bool PlayRelaxed(const Model& model, const uint8_t* partner, RelaxedGame& game, const Bits& from, int limit) {
    uint8_t stack[kTileCount * 2];   // a tile is pushed when found free, and a class's last two once more
    int depth = 0;
    int left = 0;
    ForEach(from & game.free, [&](int t) { stack[depth++] = static_cast<uint8_t>(t); });
    const auto leave = [&](int t) {
        ++left;
        game.gone.Set(t);
        game.free.Clear(t);
        ForEach(model.affects[t].Minus(game.gone).Minus(game.free), [&](int u) {
            if (model.IsFree(u, game.gone)) {
                game.free.Set(u);
                stack[depth++] = static_cast<uint8_t>(u);
            }
        });
    };
    const auto leaveTwo = [&](int a, int b) {
        game.gone.Set(b);   // the two leave together: neither frees the other first
        leave(a);
        game.gone.Clear(b);
        leave(b);
    };
    while (depth > 0) {
        if (left > limit) return false;
        const int a = stack[--depth];
        if (game.gone.Has(a)) continue;
        if (game.paired.Has(a)) {
            if (game.free.Has(partner[a])) leaveTwo(a, partner[a]);
        } else if (game.fours.Has(a) && !game.started.Has(a)) {
            const Bits members = model.classMembers[model.tiles[a].cls];
            int b = -1;
            ForEach(members & game.free, [&](int u) {
                if (u != a && b < 0) b = u;
            });
            if (b < 0) continue;
            game.started = game.started | members;
            leaveTwo(a, b);
            ForEach(members & game.free, [&](int u) { stack[depth++] = static_cast<uint8_t>(u); });
        } else {
            leave(a);
        }
    }
    return left <= limit;
}

Bits NeededPairings(const Model& model, const uint8_t* partner, RelaxedGame& game, const Bits& openable) {
    Bits rest = model.present.Minus(game.gone);
    // Peel off what holds back nothing else left: a pair, an open class, or a single tile.
    for (bool peeled = true; peeled;) {
        peeled = false;
        ForEach(rest, [&](int t) {
            if (!rest.Has(t)) return;
            Bits unit;
            unit.Set(t);
            if (game.paired.Has(t)) unit.Set(partner[t]);
            if (game.fours.Has(t)) unit = model.classMembers[model.tiles[t].cls] & rest;
            const Bits others = rest.Minus(unit);
            bool holds = false;
            ForEach(unit, [&](int u) { holds = holds || model.affects[u].Meets(others); });
            if (!holds && others.Meets(game.paired)) {
                rest = others;
                peeled = true;
            }
        });
    }
    game.gone = game.gone | model.present.Minus(rest);   // what held back nothing: as if gone
    game.free = game.free & rest;
    Bits open;
    ForEach(rest & game.paired, [&](int t) {
        if (openable.Has(model.tiles[t].cls)) open.Set(model.tiles[t].cls);
    });
    ForEach(open, [&](int c) {
        const Bits members = model.classMembers[c] & rest;
        if (members.Empty()) return;   // it left while another class was opened
        const RelaxedGame before = game;
        game.paired = game.paired.Minus(members);
        if (model.classMembers[c].Within(rest)) game.fours = game.fours | members;
        if (PlayRelaxed(model, partner, game, members, kOpenedPlayLimit) && rest.Minus(game.gone).Meets(game.paired)) {
            rest = rest.Minus(game.gone);
        } else {
            game = before;
        }
    });
    Bits needed;
    ForEach(rest & game.paired, [&](int t) {
        if (openable.Has(model.tiles[t].cls)) needed.Set(model.tiles[t].cls);
    });
    return needed;
}

}  // namespace solver
