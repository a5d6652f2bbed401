// The 42 face drawings of the default tile sheet: circles, bamboo, characters (numeral over a red
// seal), four flowers in a rose frame, four seasons in a blue frame, four winds, three dragons.
// Faces are painted on a 36 x 40 canvas whose ground stays pure white.
#pragma once

#include "tile_glyphs.h"

namespace art {

// Strong, saturated inks; none of them is pure white.
constexpr Rgb kInk{16, 20, 40};
constexpr Rgb kRed{206, 32, 38};
constexpr Rgb kDarkRed{140, 16, 24};
constexpr Rgb kGreen{24, 140, 64};
constexpr Rgb kDarkGreen{10, 84, 38};
constexpr Rgb kLightGreen{132, 214, 130};
constexpr Rgb kBlue{28, 76, 196};
constexpr Rgb kDarkBlue{16, 40, 120};
constexpr Rgb kGold{240, 176, 20};
constexpr Rgb kOrange{236, 112, 20};
constexpr Rgb kBrown{112, 70, 40};
constexpr Rgb kPink{236, 96, 150};
constexpr Rgb kRose{200, 24, 100};
constexpr Rgb kViolet{136, 60, 176};
constexpr Rgb kGrey{150, 150, 160};

// ---- Circles ----

inline void Dot(FaceCanvas& f, float cx, float cy, float r, Rgb ink) {
    f.Fill(ink, Disc(cx, cy, r));
    f.Fill(kSymbolWhite, Ring(cx, cy, r * 0.5f, r * 0.7f));
}

inline void BigDot(FaceCanvas& f) {
    const float cx = 18, cy = 20;
    f.Fill(kGreen, Disc(cx, cy, 14));
    f.Fill(kSymbolWhite, Disc(cx, cy, 12.3f));
    // A ring of twelve small petals between the outer and inner rings.
    for (int i = 0; i < 12; ++i) {
        const float a = i * 30 * kPi / 180;
        f.Fill(kBlue, Ellipse(cx + 10 * std::cos(a), cy + 10 * std::sin(a), 2.0f, 1.3f, i * 30.0f));
    }
    f.Fill(kRed, Disc(cx, cy, 7.2f));
    f.Fill(kSymbolWhite, Ring(cx, cy, 4.2f, 5.4f));
    f.Fill(kBlue, Disc(cx, cy, 2.2f));
}

inline void Circles(FaceCanvas& f, int n) {
    struct D {
        float x, y, r;
        Rgb ink;
    };
    std::vector<D> dots;
    switch (n) {
        case 1: BigDot(f); return;
        case 2: dots = {{18, 11, 7.2f, kGreen}, {18, 29, 7.2f, kBlue}}; break;
        case 3: dots = {{9, 9, 6, kBlue}, {18, 20, 6, kRed}, {27, 31, 6, kGreen}}; break;
        case 4:
            dots = {{10.5f, 11, 6.4f, kBlue}, {25.5f, 11, 6.4f, kGreen},
                    {10.5f, 29, 6.4f, kGreen}, {25.5f, 29, 6.4f, kBlue}};
            break;
        case 5:
            dots = {{9.5f, 9.5f, 6, kBlue},  {26.5f, 9.5f, 6, kGreen}, {18, 20, 6, kRed},
                    {9.5f, 30.5f, 6, kGreen}, {26.5f, 30.5f, 6, kBlue}};
            break;
        case 6:
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 2; ++c)
                    dots.push_back({11.0f + 14 * c, 8.0f + 12 * r, 5.5f, r == 0 ? kGreen : kRed});
            break;
        case 7:
            dots = {{8, 6, 4.4f, kGreen}, {18, 10, 4.4f, kGreen}, {28, 14, 4.4f, kGreen}};
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 2; ++c) dots.push_back({12.0f + 12 * c, 24.0f + 9.5f * r, 4.6f, kRed});
            break;
        case 8:
            for (int r = 0; r < 4; ++r)
                for (int c = 0; c < 2; ++c) dots.push_back({11.0f + 14 * c, 6.2f + 9.2f * r, 4.3f, kBlue});
            break;
        default: {
            const Rgb rows[3] = {kBlue, kRed, kGreen};
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 3; ++c) dots.push_back({7.5f + 10.5f * c, 8.0f + 12 * r, 4.6f, rows[r]});
            break;
        }
    }
    for (const D& d : dots) Dot(f, d.x, d.y, d.r, d.ink);
}

// ---- Bamboo ----

struct StickInk {
    Rgb edge, body, light;
};
constexpr StickInk kGreenStick{kDarkGreen, kGreen, kLightGreen};
constexpr StickInk kRedStick{kDarkRed, kRed, {246, 150, 150}};
constexpr StickInk kBlueStick{kDarkBlue, kBlue, {150, 176, 246}};

// One bamboo stick centred at (cx, cy): a rounded stem with a node at its middle.
inline void Stick(FaceCanvas& f, float cx, float cy, float w, float h, const StickInk& ink) {
    const float x0 = cx - w / 2, x1 = cx + w / 2, y0 = cy - h / 2, y1 = cy + h / 2;
    f.Fill(ink.edge, RoundBox(x0, y0, x1, y1, w / 2));
    f.Fill(ink.body, RoundBox(x0 + 0.9f, y0 + 0.9f, x1 - 0.9f, y1 - 0.9f, w / 2 - 0.9f));
    f.Fill(ink.light, RoundBox(x0 + 1.6f, y0 + 1.8f, x0 + 2.6f, y1 - 1.8f, 0.4f));
    f.Fill(ink.edge, RoundBox(x0 - 0.5f, cy - 0.7f, x1 + 0.5f, cy + 0.7f, 0.6f));
}

inline void BigBamboo(FaceCanvas& f) {
    // One tall stalk with three nodes, two leaves and a red bud at its tip.
    f.Fill(kDarkGreen, Ellipse(10, 18, 7.5f, 2.4f, -35));
    f.Fill(kGreen, Ellipse(10, 18, 6.3f, 1.3f, -35));
    f.Fill(kDarkGreen, Ellipse(26, 26, 7.5f, 2.4f, 35));
    f.Fill(kGreen, Ellipse(26, 26, 6.3f, 1.3f, 35));
    const float cx = 18, top = 7.5f, bottom = 36;
    f.Fill(kDarkGreen, RoundBox(cx - 3.6f, top, cx + 3.6f, bottom, 3.0f));
    f.Fill(kGreen, RoundBox(cx - 2.6f, top + 1, cx + 2.6f, bottom - 1, 2.2f));
    f.Fill(kLightGreen, RoundBox(cx - 2.0f, top + 2, cx - 0.8f, bottom - 2, 0.5f));
    for (float y : {15.0f, 22.5f, 30.0f}) f.Fill(kDarkGreen, RoundBox(cx - 4.2f, y - 0.8f, cx + 4.2f, y + 0.8f, 0.7f));
    f.Fill(kRed, Ellipse(cx, 5.0f, 2.6f, 3.2f));
    f.Fill(kDarkRed, Stroke({{cx, 2.6f}, {cx, 6.8f}}, 0.8f));
}

inline void Bamboo(FaceCanvas& f, int n) {
    struct S {
        float x, y;
        const StickInk* ink;
    };
    std::vector<S> sticks;
    float w = 6.0f, h = 16.0f;
    switch (n) {
        case 1: BigBamboo(f); return;
        case 2: sticks = {{18, 11, &kGreenStick}, {18, 29, &kBlueStick}}; break;
        case 3: sticks = {{18, 11, &kGreenStick}, {11, 29, &kBlueStick}, {25, 29, &kBlueStick}}; break;
        case 4:
            sticks = {{11, 11, &kGreenStick}, {25, 11, &kBlueStick},
                      {11, 29, &kBlueStick}, {25, 29, &kGreenStick}};
            break;
        case 5:
            sticks = {{9, 11, &kGreenStick}, {27, 11, &kBlueStick}, {18, 20, &kRedStick},
                      {9, 29, &kBlueStick}, {27, 29, &kGreenStick}};
            break;
        case 6:
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 3; ++c)
                    sticks.push_back({9.0f + 9 * c, 11.0f + 18 * r, r == 0 ? &kGreenStick : &kBlueStick});
            break;
        case 7:
            w = 5.6f;
            h = 10.5f;
            sticks.push_back({18, 7.5f, &kRedStick});
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 3; ++c) sticks.push_back({9.0f + 9 * c, 20.0f + 12.5f * r, &kGreenStick});
            break;
        case 8:
            w = 5.0f;
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 4; ++c)
                    sticks.push_back({7.0f + 7.33f * c, 11.0f + 18 * r, (c == 1 || c == 2) ? &kBlueStick : &kGreenStick});
            break;
        default:
            w = 5.6f;
            h = 10.5f;
            for (int r = 0; r < 3; ++r) {
                const StickInk* inks[3] = {&kGreenStick, &kRedStick, &kBlueStick};
                for (int c = 0; c < 3; ++c) sticks.push_back({9.0f + 9 * c, 7.5f + 12.5f * r, inks[c]});
            }
            break;
    }
    for (const S& s : sticks) Stick(f, s.x, s.y, w, h, *s.ink);
}

// ---- Characters ----

// The suit mark: a red seal holding a coin with a square hole.
inline void Seal(FaceCanvas& f) {
    f.Fill(kRed, RoundBox(8.5f, 21.5f, 27.5f, 37.5f, 2.5f));
    f.Fill(kSymbolWhite, BoxFrame(10.2f, 23.2f, 25.8f, 35.8f, 1.2f, 0.8f));
    f.Fill(kSymbolWhite, Disc(18, 29.5f, 4.6f));
    f.Fill(kRed, RoundBox(16.2f, 27.7f, 19.8f, 31.3f, 0.3f));
    for (Pt c : {Pt{12.4f, 25.4f}, Pt{23.6f, 25.4f}, Pt{12.4f, 33.6f}, Pt{23.6f, 33.6f}})
        f.Fill(kSymbolWhite, Disc(c.x, c.y, 0.8f));
}

inline void Character(FaceCanvas& f, int n) {
    DrawGlyph(f, Numeral(n), {12.0f, 2.6f}, 1.2f, 2.8f, kInk);
    Seal(f);
}

// ---- Flowers and seasons ----

inline void FlowerFrame(FaceCanvas& f) {
    f.Fill(kRose, BoxFrame(2, 2, 34, 38, 5.0f, 1.5f));
    for (Pt c : {Pt{5.5f, 5.5f}, Pt{30.5f, 5.5f}, Pt{5.5f, 34.5f}, Pt{30.5f, 34.5f}})
        f.Fill(kRose, Disc(c.x, c.y, 1.2f));
}

inline void SeasonFrame(FaceCanvas& f) {
    f.Fill(kBlue, BoxFrame(2, 2, 34, 38, 0, 1.5f));
    f.Fill(kBlue, BoxFrame(4.5f, 4.5f, 31.5f, 35.5f, 0, 0.8f));
}

inline void Petals(FaceCanvas& f, Pt c, int n, float dist, float rx, float ry, float turn, Rgb edge,
                   Rgb body) {
    for (int i = 0; i < n; ++i) {
        const float a = turn + i * 360.0f / n;
        const float r = a * kPi / 180;
        f.Fill(edge, Ellipse(c.x + dist * std::cos(r), c.y + dist * std::sin(r), rx, ry, a));
    }
    for (int i = 0; i < n; ++i) {
        const float a = turn + i * 360.0f / n;
        const float r = a * kPi / 180;
        f.Fill(body, Ellipse(c.x + dist * std::cos(r), c.y + dist * std::sin(r), rx - 0.9f, ry - 0.9f, a));
    }
}

inline void Flower(FaceCanvas& f, int which) {
    FlowerFrame(f);
    switch (which) {
        case 0: {  // plum blossom on a twig
            f.Fill(kBrown, Stroke({{6, 34}, {14, 26}, {17, 24}}, 2.0f));
            f.Fill(kBrown, Stroke({{11, 29}, {9, 22}}, 1.4f));
            f.Fill(kPink, Ellipse(9, 20, 2.2f, 2.8f));
            Petals(f, {20, 16}, 5, 5.0f, 4.4f, 4.4f, -90, kRose, kPink);
            f.Fill(kGold, Disc(20, 16, 2.6f));
            for (int i = 0; i < 5; ++i) {
                const float a = (-90 + 72 * i + 36) * kPi / 180;
                f.Fill(kDarkRed, Disc(20 + 3.6f * std::cos(a), 16 + 3.6f * std::sin(a), 0.7f));
            }
            break;
        }
        case 1: {  // orchid with long leaves
            f.Fill(kGreen, Stroke({{8, 35}, {10, 27}, {17, 19}}, 1.6f));
            f.Fill(kGreen, Stroke({{28, 35}, {26, 28}, {20, 22}}, 1.6f));
            f.Fill(kDarkGreen, Stroke({{18, 36}, {18, 21}}, 1.4f));
            Petals(f, {18, 15}, 3, 5.0f, 5.4f, 2.6f, -90, kViolet, {186, 120, 220});
            Petals(f, {18, 15}, 2, 4.2f, 4.0f, 2.4f, 30 + 180, kViolet, {200, 150, 230});
            f.Fill(kViolet, Ellipse(18, 19.5f, 2.4f, 3.0f));
            f.Fill(kGold, Disc(18, 15.5f, 1.4f));
            break;
        }
        case 2: {  // chrysanthemum
            f.Fill(kGreen, Stroke({{18, 26}, {18, 36}}, 1.6f));
            f.Fill(kGreen, Ellipse(12.5f, 32, 4.5f, 1.8f, -25));
            f.Fill(kGreen, Ellipse(23.5f, 30, 4.5f, 1.8f, 25));
            Petals(f, {18, 16}, 16, 6.6f, 4.6f, 1.5f, 0, kOrange, kGold);
            Petals(f, {18, 16}, 8, 3.6f, 2.8f, 1.4f, 11, kOrange, kGold);
            f.Fill(kOrange, Disc(18, 16, 2.4f));
            break;
        }
        default: {  // tulip
            f.Fill(kGreen, Stroke({{18, 22}, {18, 36}}, 1.6f));
            f.Fill(kGreen, Polygon({{18, 36}, {10, 25}, {12, 24}, {18, 32}}));
            f.Fill(kGreen, Polygon({{18, 36}, {26, 26}, {24, 25}, {18, 32}}));
            f.Fill(kDarkRed, Polygon({{10, 9}, {14, 13}, {18, 7}, {22, 13}, {26, 9}, {26, 17},
                                      {23, 23}, {13, 23}, {10, 17}}));
            f.Fill(kRed, Polygon({{11.2f, 11.5f}, {14.2f, 14.6f}, {18, 9}, {21.8f, 14.6f},
                                  {24.8f, 11.5f}, {24.8f, 16.8f}, {22.3f, 21.8f}, {13.7f, 21.8f},
                                  {11.2f, 16.8f}}));
            f.Fill(kDarkRed, Stroke({{18, 12}, {18, 21}}, 0.8f));
            break;
        }
    }
}

inline void Season(FaceCanvas& f, int which) {
    SeasonFrame(f);
    switch (which) {
        case 0: {  // spring: a sprout rising from the earth
            f.Fill(kBrown, Ellipse(18, 33, 10, 2.6f));
            f.Fill(kGreen, Stroke({{18, 32}, {18, 20}, {17, 14}}, 1.8f));
            f.Fill(kDarkGreen, Ellipse(11.5f, 19, 6, 3.0f, -25));
            f.Fill(kGreen, Ellipse(11.5f, 19, 5, 2.0f, -25));
            f.Fill(kDarkGreen, Ellipse(24.5f, 15, 6, 3.0f, 25));
            f.Fill(kGreen, Ellipse(24.5f, 15, 5, 2.0f, 25));
            f.Fill(kLightGreen, Ellipse(16.5f, 10.5f, 2.2f, 3.4f, -10));
            break;
        }
        case 1: {  // summer: the sun
            for (int i = 0; i < 12; ++i) {
                const float a = i * 30 * kPi / 180, b = a + 0.16f, c = a - 0.16f;
                f.Fill(i % 2 ? kGold : kOrange,
                       Polygon({{18 + 12.5f * std::cos(a), 20 + 12.5f * std::sin(a)},
                                {18 + 8 * std::cos(b), 20 + 8 * std::sin(b)},
                                {18 + 8 * std::cos(c), 20 + 8 * std::sin(c)}}));
            }
            f.Fill(kRed, Disc(18, 20, 8.2f));
            f.Fill(kOrange, Disc(18, 20, 6.6f));
            f.Fill(kGold, Disc(16.5f, 18.5f, 2.2f));
            break;
        }
        case 2: {  // autumn: a falling maple leaf
            Path leaf;
            for (int i = 0; i < 180; ++i) {
                const float t = i * 2 * kPi / 180;
                const float lobes = std::pow(std::fabs(std::cos(2.5f * t)), 0.8f);
                const float teeth = 0.06f * std::cos(15 * t);
                const float down = std::sin(t) > 0 ? 1 - 0.25f * std::sin(t) : 1;
                const float r = 11.5f * (0.45f + 0.55f * lobes + teeth) * down;
                leaf.push_back({18 + r * std::sin(t), 18.5f - r * std::cos(t)});
            }
            f.Fill(kDarkRed, Polygon(leaf));
            f.Fill(kOrange, Polygon(Place(leaf, {18 * 0.18f, 18.5f * 0.18f}, 0.82f, 0.82f)));
            f.Fill(kDarkRed, Stroke({{18, 18.5f}, {18, 36}}, 1.3f));
            for (float a : {-72.0f, -36.0f, 0.0f, 36.0f, 72.0f}) {
                const float r = a * kPi / 180;
                f.Fill(kDarkRed, Stroke({{18, 18.5f}, {18 + 8 * std::sin(r), 18.5f - 8 * std::cos(r)}}, 0.8f));
            }
            break;
        }
        default: {  // winter: a snowflake
            const Pt c{18, 20};
            for (int i = 0; i < 6; ++i) {
                const float a = (90 + i * 60) * kPi / 180;
                const Pt d{std::cos(a), std::sin(a)}, n{-d.y, d.x};
                f.Fill(kDarkBlue, Stroke({c, {c.x + 13 * d.x, c.y + 13 * d.y}}, 1.9f));
                for (float at : {6.0f, 9.5f}) {
                    const Pt b{c.x + at * d.x, c.y + at * d.y};
                    const float len = at < 7 ? 3.6f : 2.6f;
                    for (float s : {-1.0f, 1.0f})
                        f.Fill(kBlue, Stroke({b, {b.x + len * (d.x + s * n.x), b.y + len * (d.y + s * n.y)}}, 1.4f));
                }
            }
            f.Fill(kDarkBlue, Disc(18, 20, 2.6f));
            f.Fill(kSymbolWhite, Disc(18, 20, 1.1f));
            break;
        }
    }
}

// ---- Winds and dragons ----

// A wind: its letter in the middle of a compass whose pointer marks its own direction.
inline void Wind(FaceCanvas& f, int point) {
    const Pt tips[4] = {{18, 2.2f}, {33.6f, 20}, {18, 37.8f}, {2.4f, 20}};
    for (int i = 0; i < 4; ++i) {
        const Pt t = tips[i];
        const float len = std::hypot(t.x - 18, t.y - 20);
        const Pt d{(18 - t.x) / len, (20 - t.y) / len};
        if (i != point) {
            f.Fill(kGrey, Disc(t.x + 2.5f * d.x, t.y + 2.5f * d.y, 1.3f));
            continue;
        }
        const Pt base{t.x + 5.0f * d.x, t.y + 5.0f * d.y};
        f.Fill(kRed, Polygon({t, {base.x - 3.4f * d.y, base.y + 3.4f * d.x},
                              {base.x + 3.4f * d.y, base.y - 3.4f * d.x}}));
    }
    DrawGlyph(f, Letter(point), {10.5f, 9.5f}, 1.5f, 3.3f, kInk);
}

// A dragon coiled round its pearl: a ring of body narrowing to the tail, spines along its outer
// edge, and a horned head at the top that looks down at the pearl.
inline void Dragon(FaceCanvas& f, Rgb ink, Rgb dark, Rgb light) {
    const float cx = 18, cy = 22, radius = 10.5f;
    auto onRing = [&](float deg, float r) {
        const float a = deg * kPi / 180;
        return Pt{cx + r * std::cos(a), cy + r * std::sin(a)};
    };
    for (float deg = -36; deg <= 204; deg += 24) {
        const float half = (7.2f - 4.8f * (deg + 62) / 294) / 2;
        f.Fill(dark, Polygon({onRing(deg - 8, radius + 1), onRing(deg + 5, radius + half + 2.8f),
                              onRing(deg + 8, radius + 1)}));
    }
    Path body;
    for (float deg = -62; deg <= 232; deg += 3) body.push_back(onRing(deg, radius));
    f.Fill(dark, TaperStroke(body, 7.2f, 2.4f));
    f.Fill(ink, TaperStroke(body, 5.4f, 1.0f));
    f.Fill(light, TaperStroke(body, 1.6f, 0.2f));
    // The head: snout to the left, eye, horn and a whisker trailing down.
    f.Fill(dark, Stroke({{22.5f, 7}, {27, 2.6f}}, 1.5f));
    f.Fill(dark, Ellipse(20.0f, 9.6f, 6.2f, 4.4f, -8));
    f.Fill(ink, Ellipse(20.0f, 9.6f, 5.2f, 3.4f, -8));
    f.Fill(dark, Stroke({{14.6f, 11.2f}, {19.0f, 10.8f}}, 0.9f));
    f.Fill(kSymbolWhite, Disc(20.6f, 8.3f, 1.4f));
    f.Fill(kInk, Disc(20.3f, 8.4f, 0.7f));
    Path whisker;
    Curve(whisker, {14.8f, 9.6f}, {10.5f, 9.0f}, {9.5f, 5.0f});
    f.Fill(dark, Stroke(whisker, 0.8f));
    // The pearl.
    f.Fill(kOrange, Disc(cx, cy, 4.6f));
    f.Fill(kGold, Disc(cx, cy, 3.5f));
    f.Fill(kSymbolWhite, Disc(cx - 1.2f, cy - 1.2f, 1.1f));
}

// The green dragon rises instead of coiling: its body climbs the face in a double bend from a
// tail at the bottom to a horned head at the top, with a pearl under the chin, so that it parts
// from the red one by its outline alone.
inline void RisingDragon(FaceCanvas& f, Rgb ink, Rgb dark, Rgb light) {
    Path body;
    for (int i = 0; i <= 60; ++i) {
        const float t = i / 60.0f;
        body.push_back({18 + 8.5f * std::sin(t * 2 * kPi), 13.0f + 23.5f * t});
    }
    // Fins on the outer side of each bend.
    for (float t : {0.18f, 0.28f, 0.68f, 0.78f}) {
        const float y = 13.0f + 23.5f * t, x = 18 + 8.5f * std::sin(t * 2 * kPi);
        const float side = t < 0.5f ? 1.0f : -1.0f;
        f.Fill(dark, Polygon({{x, y - 2.2f}, {x + side * 6.0f, y - 0.6f}, {x, y + 2.2f}}));
    }
    f.Fill(dark, TaperStroke(body, 7.0f, 2.2f));
    f.Fill(ink, TaperStroke(body, 5.2f, 1.0f));
    f.Fill(light, TaperStroke(body, 1.6f, 0.2f));
    // The head looks to the left, two horns swept back to the right.
    f.Fill(dark, Stroke({{20.5f, 6.5f}, {27.5f, 2.6f}}, 1.5f));
    f.Fill(dark, Stroke({{21.5f, 8.5f}, {29.0f, 7.0f}}, 1.3f));
    f.Fill(dark, Ellipse(17.0f, 9.6f, 6.4f, 4.2f, 4));
    f.Fill(ink, Ellipse(17.0f, 9.6f, 5.4f, 3.2f, 4));
    f.Fill(kSymbolWhite, Disc(16.2f, 8.4f, 1.4f));
    f.Fill(kInk, Disc(15.9f, 8.5f, 0.7f));
    f.Fill(kSymbolWhite, Polygon({{11.0f, 11.0f}, {14.5f, 11.6f}, {11.6f, 12.6f}}));
    // The pearl it chases, at the lower right.
    f.Fill(kOrange, Disc(27.4f, 31.6f, 3.6f));
    f.Fill(kGold, Disc(27.4f, 31.6f, 2.6f));
    f.Fill(kSymbolWhite, Disc(26.5f, 30.7f, 0.9f));
}

// The white dragon: a broad frame of alternate dark and light blue links with round corner
// bosses, unlike the thin double frame of the seasons, round an empty ground.
inline void WhiteDragon(FaceCanvas& f) {
    constexpr float x0 = 5, y0 = 5, x1 = 31, y1 = 35, thick = 4;
    f.Fill(kDarkBlue, BoxFrame(x0, y0, x1, y1, 0, thick));
    // Light links along each side, leaving dark joints between them.
    for (float x = x0 + 6.5f; x + 3 < x1 - 4; x += 5.5f) {
        f.Fill(kBlue, RoundBox(x, y0 + 0.8f, x + 3, y0 + thick - 0.8f, 0.8f));
        f.Fill(kBlue, RoundBox(x, y1 - thick + 0.8f, x + 3, y1 - 0.8f, 0.8f));
    }
    for (float y = y0 + 6.5f; y + 3 < y1 - 4; y += 5.5f) {
        f.Fill(kBlue, RoundBox(x0 + 0.8f, y, x0 + thick - 0.8f, y + 3, 0.8f));
        f.Fill(kBlue, RoundBox(x1 - thick + 0.8f, y, x1 - 0.8f, y + 3, 0.8f));
    }
    for (Pt c : {Pt{x0 + 2, y0 + 2}, Pt{x1 - 2, y0 + 2}, Pt{x0 + 2, y1 - 2}, Pt{x1 - 2, y1 - 2}}) {
        f.Fill(kDarkBlue, Disc(c.x, c.y, 3.4f));
        f.Fill(kSymbolWhite, Disc(c.x, c.y, 1.3f));
    }
}

inline void PaintFace(FaceCanvas& f, int face) {
    if (face <= 9) Circles(f, face);
    else if (face <= 18) Bamboo(f, face - 9);
    else if (face <= 27) Character(f, face - 18);
    else if (face <= 31) Flower(f, face - 28);
    else if (face <= 35) Season(f, face - 32);
    else if (face <= 39) Wind(f, face - 36);
    else if (face == 40) Dragon(f, kRed, kDarkRed, {250, 150, 140});
    else if (face == 41) RisingDragon(f, kGreen, kDarkGreen, kLightGreen);
    else WhiteDragon(f);
}

}  // namespace art
