// The layout chooser's preview: a scratch board drawn with our own tile drawing, and the lines
// of text about the layout, for our files and for other games' files alike.
#include "render/preview.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/deal.h"
#include "board/faces.h"
#include "board/import.h"
#include "board/layout.h"
#include "board/layoutinfo.h"
#include "render/drawtile.h"

namespace {

constexpr int kMarginPx = 16;

// Another game's file: the first of its maps that fits our grid (else the first map, with the
// reason), fitted and read back through our own reader and checks.
bool ReadForeignInfo(const char* path, LayoutInfo& info, BoardRecord& scratch, size_t& mapCount,
                     size_t& playable) {
    std::memset(&info, 0, sizeof info);
    NameFromFileName(path, info.name, sizeof info.name);
    std::vector<ForeignMap> maps;
    mapCount = playable = 0;
    if (!ReadForeignFile(path, maps, info.reason, sizeof info.reason)) return false;
    mapCount = maps.size();
    static LevelGrid grid, firstFit;
    size_t shown = maps.size();
    char fault[sizeof info.reason];
    for (size_t i = 0; i < maps.size(); ++i) {
        if (!FitForeignMap(maps[i], grid, i == 0 ? info.reason : fault, sizeof fault)) continue;
        ++playable;
        if (shown == maps.size()) {
            shown = i;
            std::memcpy(firstFit, grid, sizeof grid);
        }
    }
    const ForeignMap& map = maps[shown == maps.size() ? 0 : shown];
    std::snprintf(info.name, sizeof info.name, "%s", map.name.c_str());
    std::snprintf(info.description, sizeof info.description, "%s", map.description.c_str());
    if (shown == maps.size()) return false;
    const std::string text = FormatTextLayout(map.name, map.description, firstFit);
    // Read back from memory through the same reader as a file, so that every check applies.
    std::FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "rb");
    if (!file) return false;
    info.usable = ReadLayoutAside(file, scratch, info.reason, sizeof info.reason);
    if (!info.usable) return false;
    bool used[kLevels] = {};
    for (const TileRecord& tile : scratch.tiles)
        if (tile.level < kLevels) used[tile.level] = true;
    for (bool u : used) info.levels += u;
    return true;
}

}  // namespace

platform::Bitmap* DrawLayoutPreview(BoardRecord& scratch) {
    int left = 4096, top = 4096, right = -4096, bottom = -4096;
    for (int i = 0; i < kTileCount; ++i) {
        TileRecord& t = scratch.tiles[i];
        t.face = kDealTable[i];
        t.sheetX = FaceSheetX(t.face);
        t.sheetY = FaceSheetY(t.face);
        left = std::min<int>(left, t.x);
        top = std::min<int>(top, t.y);
        right = std::max<int>(right, t.x + kTileWidthPx);
        bottom = std::max<int>(bottom, t.y + kTileHeightPx);
    }
    // Tile positions come from a checked layout: at most a few thousand pixels either way.
    auto* picture = new platform::Bitmap(right - left + 2 * kMarginPx, bottom - top + 2 * kMarginPx);
    platform::DeviceContext dc;
    dc.bitmap = picture;
    platform::FillRect(dc, 0, 0, picture->width(), picture->height(), Settings.backgroundColor);
    platform::DeviceContext sheet;
    sheet.bitmap = TileSheet.bitmap;
    // The picture is drawn in board pixels from the 1x sheet whatever the window's scale; the
    // chooser fits it to its box anyway.
    const int windowScale = drawScale;
    drawScale = 1;
    for (int i = 0; i < kTileCount; ++i) {
        TileRecord t = scratch.tiles[i];
        t.x = static_cast<int16_t>(t.x - left + kMarginPx);
        t.y = static_cast<int16_t>(t.y - top + kMarginPx);
        DrawTileShape(dc, sheet, t);
    }
    drawScale = windowScale;
    return picture;
}

void LayoutPreview(const char* path, platform::FilePreview& preview) {
    static std::unique_ptr<platform::Bitmap> picture;
    static BoardRecord scratch;
    picture.reset();
    preview.picture = nullptr;
    LayoutInfo info;
    size_t mapCount = 1, playable = 0;
    const bool foreign = IsForeignLayoutPath(path);
    const bool usable =
        foreign ? ReadForeignInfo(path, info, scratch, mapCount, playable) : ReadLayoutInfo(path, info, scratch);
    std::string text = info.name;
    if (info.description[0]) text += std::string("\n") + info.description;
    if (usable) {
        picture.reset(DrawLayoutPreview(scratch));
        preview.picture = picture.get();
        text += "\nLevels: " + std::to_string(info.levels);
        if (info.bestTime[0]) text += std::string("\nBest time: ") + info.bestTime;
    } else {
        text += std::string("\nCannot be played: ") + info.reason;
    }
    if (foreign && mapCount > 1)
        text += "\nThis file holds " + std::to_string(mapCount) + " layouts, " + std::to_string(playable) +
                " of them playable here" + (usable ? "; the first of those is shown." : ".");
    if (foreign && usable) text += "\nChoosing it makes a copy in LAYOUTS.";
    std::snprintf(preview.text, sizeof preview.text, "%s", text.c_str());
}
