// Stroke glyphs for the tile faces: the numerals 1 to 9 and the letters N, E, S, W, each a few
// pen paths in a box 10 wide and 14 high, placed and stroked by the face painters.
#pragma once

#include "tile_painter.h"

namespace art {

using Glyph = std::vector<Path>;

inline Glyph Numeral(int n) {
    Glyph g;
    Path p;
    switch (n) {
        case 1:
            g.push_back({{2.6f, 3.6f}, {5.6f, 0.9f}, {5.6f, 13.1f}});
            g.push_back({{2.4f, 13.1f}, {8.8f, 13.1f}});
            break;
        case 2:
            Arc(p, 5, 4.4f, 3.7f, 3.5f, 200, 380);
            Curve(p, p.back(), {6.5f, 9.0f}, {1.0f, 13.1f});
            p.push_back({9.2f, 13.1f});
            g.push_back(p);
            break;
        case 3:
            Arc(p, 5, 3.9f, 3.4f, 3.1f, 205, 450);
            g.push_back(p);
            p.clear();
            p.push_back({3.6f, 7.0f});
            Arc(p, 5, 10.3f, 3.9f, 3.3f, 270, 520);
            g.push_back(p);
            break;
        case 4:
            g.push_back({{7.0f, 13.3f}, {7.0f, 0.8f}, {0.9f, 9.6f}, {9.4f, 9.6f}});
            break;
        case 5:
            p = {{8.8f, 0.9f}, {2.4f, 0.9f}, {1.9f, 6.3f}};
            Arc(p, 4.9f, 9.4f, 4.0f, 3.8f, 222, 500);
            g.push_back(p);
            break;
        case 6:
            Curve(p, {7.9f, 0.9f}, {1.3f, 2.6f}, {1.3f, 9.4f});
            g.push_back(p);
            p.clear();
            Arc(p, 5.1f, 9.6f, 3.8f, 3.6f, 0, 360);
            g.push_back(p);
            break;
        case 7:
            p = {{1.0f, 0.9f}, {9.0f, 0.9f}};
            Curve(p, p.back(), {5.0f, 6.0f}, {4.0f, 13.3f});
            g.push_back(p);
            break;
        case 8:
            Arc(p, 5, 3.8f, 3.0f, 2.9f, 0, 360);
            g.push_back(p);
            p.clear();
            Arc(p, 5, 10.1f, 3.7f, 3.3f, 0, 360);
            g.push_back(p);
            break;
        case 9:
            Arc(p, 4.9f, 4.4f, 3.8f, 3.6f, 0, 360);
            g.push_back(p);
            p.clear();
            Curve(p, {8.7f, 4.4f}, {8.7f, 11.4f}, {2.2f, 13.1f});
            g.push_back(p);
            break;
        default:
            break;
    }
    return g;
}

// The wind letters, by compass point: 0 north, 1 east, 2 south, 3 west.
inline Glyph Letter(int point) {
    Glyph g;
    Path p;
    switch (point) {
        case 0:
            g.push_back({{1.3f, 13.3f}, {1.3f, 0.7f}, {8.7f, 13.3f}, {8.7f, 0.7f}});
            break;
        case 1:
            g.push_back({{8.8f, 0.8f}, {1.5f, 0.8f}, {1.5f, 13.2f}, {8.8f, 13.2f}});
            g.push_back({{1.5f, 7.0f}, {7.4f, 7.0f}});
            break;
        case 2:
            Arc(p, 5, 3.9f, 3.7f, 3.1f, 330, 90);
            Arc(p, 5, 10.1f, 3.8f, 3.1f, 270, 510);
            g.push_back(p);
            break;
        default:
            g.push_back({{0.5f, 0.7f}, {2.7f, 13.3f}, {5.0f, 4.6f}, {7.3f, 13.3f}, {9.5f, 0.7f}});
            break;
    }
    return g;
}

// Strokes a glyph into the face: its box's top-left at origin, scale face pixels per unit.
inline void DrawGlyph(FaceCanvas& face, const Glyph& g, Pt origin, float scale, float pen,
                      Rgb colour) {
    for (const Path& p : g) face.Fill(colour, Stroke(Place(p, origin, scale, scale), pen));
}

}  // namespace art
