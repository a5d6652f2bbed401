// Small anti-aliased painter used by the tile-sheet generator: a 4x supersampled face canvas,
// shape predicates (discs, rings, ellipses, rounded boxes, polygons, round-capped strokes),
// path helpers for arcs and curves, and a 24-bit bottom-up BMP writer. Plain C++, no libraries.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

constexpr Rgb kWhite{255, 255, 255};      // the transparent key: face background only
constexpr Rgb kSymbolWhite{254, 254, 254};  // white inside a symbol that must not be tinted

struct Pt {
    float x, y;
};

constexpr float kPi = 3.14159265358979f;

// One tile face, 36 x 40 units drawn at `scale` pixels a unit, painted at 4 x 4 samples per
// pixel. Shapes are given in face units as floats: unit (i, j) covers [i, i + 1) x [j, j + 1),
// so the same drawing comes out at 1x, 2x or 3x with its lines drawn at that resolution.
class FaceCanvas {
public:
    static constexpr int kWidth = 36, kHeight = 40, kSub = 4;

    explicit FaceCanvas(int scale = 1)
        : scale_(scale),
          w_(kWidth * scale * kSub),
          h_(kHeight * scale * kSub),
          samples_(static_cast<size_t>(w_) * h_, kWhite),
          painted_(static_cast<size_t>(w_) * h_, false) {}

    int scale() const { return scale_; }

    // Paints every sample whose centre lies inside the shape.
    template <class Inside>
    void Fill(Rgb colour, Inside inside) {
        const float step = 1.0f / static_cast<float>(kSub * scale_);
        for (int sy = 0; sy < h_; ++sy) {
            const float y = (sy + 0.5f) * step;
            for (int sx = 0; sx < w_; ++sx) {
                const float x = (sx + 0.5f) * step;
                if (inside(x, y)) {
                    samples_[static_cast<size_t>(sy) * w_ + sx] = colour;
                    painted_[static_cast<size_t>(sy) * w_ + sx] = true;
                }
            }
        }
    }

    // The averaged pixel (x, y) of the 36s x 40s picture. A pixel that the symbols barely touch
    // stays pure white, so that the coloured manners tint it instead of leaving a pale fringe;
    // any other pixel that averages to pure white is nudged off the transparent key.
    Rgb Pixel(int x, int y) const {
        int r = 0, g = 0, b = 0, hits = 0;
        for (int j = 0; j < kSub; ++j) {
            for (int i = 0; i < kSub; ++i) {
                const size_t k = static_cast<size_t>(y * kSub + j) * w_ + (x * kSub + i);
                r += samples_[k].r;
                g += samples_[k].g;
                b += samples_[k].b;
                hits += painted_[k] ? 1 : 0;
            }
        }
        constexpr int n = kSub * kSub;
        if (hits * 10 < n * 3) return kWhite;
        Rgb c{static_cast<uint8_t>((r + n / 2) / n), static_cast<uint8_t>((g + n / 2) / n),
              static_cast<uint8_t>((b + n / 2) / n)};
        return c == kWhite ? kSymbolWhite : c;
    }

private:
    int scale_, w_, h_;
    std::vector<Rgb> samples_;
    std::vector<bool> painted_;
};

// ---- Shapes: each returns a predicate inside(x, y). ----

inline auto Disc(float cx, float cy, float r) {
    return [=](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

inline auto Ring(float cx, float cy, float rIn, float rOut) {
    return [=](float x, float y) {
        const float d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        return d <= rOut * rOut && d >= rIn * rIn;
    };
}

// An ellipse with radii rx, ry turned by angleDeg (clockwise on screen).
inline auto Ellipse(float cx, float cy, float rx, float ry, float angleDeg = 0) {
    const float c = std::cos(angleDeg * kPi / 180), s = std::sin(angleDeg * kPi / 180);
    return [=](float x, float y) {
        const float u = ((x - cx) * c + (y - cy) * s) / rx;
        const float v = (-(x - cx) * s + (y - cy) * c) / ry;
        return u * u + v * v <= 1;
    };
}

inline auto RoundBox(float x0, float y0, float x1, float y1, float radius) {
    return [=](float x, float y) {
        if (x < x0 || x > x1 || y < y0 || y > y1) return false;
        const float qx = std::fmax(std::fmax(x0 + radius - x, x - (x1 - radius)), 0.0f);
        const float qy = std::fmax(std::fmax(y0 + radius - y, y - (y1 - radius)), 0.0f);
        return qx * qx + qy * qy <= radius * radius;
    };
}

// A box outline of the given thickness, inside the box's edge.
inline auto BoxFrame(float x0, float y0, float x1, float y1, float radius, float thick) {
    auto outer = RoundBox(x0, y0, x1, y1, radius);
    auto inner = RoundBox(x0 + thick, y0 + thick, x1 - thick, y1 - thick,
                          std::fmax(radius - thick, 0.0f));
    return [=](float x, float y) { return outer(x, y) && !inner(x, y); };
}

// A closed polygon, non-zero winding rule.
inline auto Polygon(std::vector<Pt> pts) {
    return [pts = std::move(pts)](float x, float y) {
        int winding = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            const Pt a = pts[i], b = pts[(i + 1) % pts.size()];
            const float cross = (b.x - a.x) * (y - a.y) - (x - a.x) * (b.y - a.y);
            if (a.y <= y && b.y > y && cross > 0) ++winding;
            if (a.y > y && b.y <= y && cross < 0) --winding;
        }
        return winding != 0;
    };
}

inline float SegmentDistance(Pt a, Pt b, float x, float y) {
    const float dx = b.x - a.x, dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / len2 : 0;
    t = std::fmin(std::fmax(t, 0.0f), 1.0f);
    const float ex = a.x + t * dx - x, ey = a.y + t * dy - y;
    return std::sqrt(ex * ex + ey * ey);
}

// A polyline drawn with a round pen of the given width.
inline auto Stroke(std::vector<Pt> pts, float width) {
    return [pts = std::move(pts), half = width / 2](float x, float y) {
        if (pts.size() == 1) return SegmentDistance(pts[0], pts[0], x, y) <= half;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            if (SegmentDistance(pts[i], pts[i + 1], x, y) <= half) return true;
        }
        return false;
    };
}

// A polyline whose pen narrows evenly from width w0 at its first point to w1 at its last.
inline auto TaperStroke(std::vector<Pt> pts, float w0, float w1) {
    return [pts = std::move(pts), w0, w1](float x, float y) {
        const size_t n = pts.size();
        for (size_t i = 0; i + 1 < n; ++i) {
            const float t = (i + 0.5f) / static_cast<float>(n - 1);
            if (SegmentDistance(pts[i], pts[i + 1], x, y) <= (w0 + (w1 - w0) * t) / 2) return true;
        }
        return false;
    };
}

// ---- Paths ----

using Path = std::vector<Pt>;

// Appends an elliptic arc, angles in degrees, 0 to the right, 90 downwards.
inline void Arc(Path& p, float cx, float cy, float rx, float ry, float a0, float a1) {
    const int n = 4 + static_cast<int>(std::fabs(a1 - a0) / 6);
    for (int i = 0; i <= n; ++i) {
        const float a = (a0 + (a1 - a0) * i / n) * kPi / 180;
        p.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
}

// Appends a quadratic curve from the path's last point (or a) through control c to b.
inline void Curve(Path& p, Pt a, Pt c, Pt b) {
    if (p.empty()) p.push_back(a);
    for (int i = 1; i <= 16; ++i) {
        const float t = i / 16.0f, u = 1 - t;
        p.push_back({u * u * a.x + 2 * u * t * c.x + t * t * b.x,
                     u * u * a.y + 2 * u * t * c.y + t * t * b.y});
    }
}

// Maps a path drawn in a glyph box to face pixels: face = origin + scale * glyph.
inline Path Place(const Path& p, Pt origin, float sx, float sy) {
    Path out;
    for (const Pt& q : p) out.push_back({origin.x + q.x * sx, origin.y + q.y * sy});
    return out;
}

// ---- The sheet and its file ----

class Picture {
public:
    Picture(int w, int h, Rgb fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}
    int width() const { return w_; }
    int height() const { return h_; }
    Rgb Get(int x, int y) const { return px_[static_cast<size_t>(y) * w_ + x]; }
    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[static_cast<size_t>(y) * w_ + x] = c;
    }

    // Writes a 24-bit uncompressed BMP, rows bottom-up, with the 54-byte standard header.
    bool WriteBmp(const char* path) const {
        const uint32_t rowBytes = (static_cast<uint32_t>(w_) * 3 + 3) & ~3u;
        const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(h_);
        std::vector<uint8_t> out(54 + imageBytes, 0);
        auto put16 = [&](size_t at, uint32_t v) {
            out[at] = v & 0xFF;
            out[at + 1] = (v >> 8) & 0xFF;
        };
        auto put32 = [&](size_t at, uint32_t v) {
            put16(at, v & 0xFFFF);
            put16(at + 2, v >> 16);
        };
        out[0] = 'B';
        out[1] = 'M';
        put32(2, 54 + imageBytes);
        put32(10, 54);
        put32(14, 40);
        put32(18, static_cast<uint32_t>(w_));
        put32(22, static_cast<uint32_t>(h_));
        put16(26, 1);
        put16(28, 24);
        put32(30, 0);  // BI_RGB
        put32(34, imageBytes);
        put32(38, 2835);  // 72 dots per inch
        put32(42, 2835);
        for (int y = 0; y < h_; ++y) {
            uint8_t* row = out.data() + 54 + static_cast<size_t>(h_ - 1 - y) * rowBytes;
            for (int x = 0; x < w_; ++x) {
                const Rgb c = Get(x, y);
                row[3 * x] = c.b;
                row[3 * x + 1] = c.g;
                row[3 * x + 2] = c.r;
            }
        }
        FILE* f = std::fopen(path, "wb");
        if (!f) return false;
        const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    int w_, h_;
    std::vector<Rgb> px_;
};

}  // namespace art
