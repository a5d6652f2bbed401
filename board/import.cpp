// Other games' layout files: reading either form, fitting a map onto our grid, writing it in our
// text form, and the chooser's import step.
#include "board/import.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "board/home.h"
#include "persist/fileio.h"

namespace {

bool EndsWithNoCase(const char* text, const char* suffix) {
    const size_t n = std::strlen(text), m = std::strlen(suffix);
    if (n < m) return false;
    for (size_t i = 0; i < m; ++i) {
        char c = text[n - m + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

// Reads at most kMaxForeignFileSize bytes; false when the file cannot be read or is larger.
bool ReadWholeFile(const char* path, std::string& text, char* fault, size_t faultSize) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) {
        std::snprintf(fault, faultSize, "the file cannot be read");
        return false;
    }
    text.clear();
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (text.size() > static_cast<size_t>(kMaxForeignFileSize)) break;
    }
    std::fclose(file);
    if (text.size() > static_cast<size_t>(kMaxForeignFileSize)) {
        std::snprintf(fault, faultSize, "the file is larger than %ld bytes", kMaxForeignFileSize);
        return false;
    }
    return true;
}

// A name fit for a line of our text form: control characters become spaces, and the text is cut
// to `limit` bytes between characters, never inside one.
std::string PrintableText(const std::string& text, size_t limit) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        if (out.size() + length > limit) break;
        if (lead < 0x20 || lead == 0x7F)
            out += ' ';
        else
            out += text.substr(i, length);
        i += length;
    }
    return out;
}

std::string FileNamePart(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (out.size() >= 40) break;
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (plain)
            out += c;
        else if (!out.empty() && out.back() != '_')
            out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out.empty() ? "layout" : out;
}

void ShowImportFault(platform::Window window, const char* path, const char* fault) {
    std::snprintf(messageBuffer, sizeof messageBuffer, "%s : %s", path, fault);
    platform::MessageBox(window, messageBuffer, kCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace

bool IsForeignLayoutPath(const char* path) {
    return EndsWithNoCase(path, ".layout") || EndsWithNoCase(path, ".map");
}

bool ReadForeignFile(const char* path, std::vector<ForeignMap>& maps, char* fault, size_t faultSize) {
    maps.clear();
    std::string text;
    if (!ReadWholeFile(path, text, fault, faultSize)) return false;
    // The form is told by the content, so that a renamed file still reads; the name decides
    // only for a file that starts like neither.
    const size_t start = text.find_first_not_of(" \t\r\n");
    const bool xml = start != std::string::npos && text[start] == '<';
    const bool lineArt = text.compare(0, 17, "kmahjongg-layout-") == 0;
    if (lineArt || (!xml && EndsWithNoCase(path, ".layout")))
        return ReadLineArtLayout(text, path, maps, fault, faultSize);
    return ReadXmlMaps(text, maps, fault, faultSize);
}

bool FitForeignMap(const ForeignMap& map, LevelGrid& grid, char* fault, size_t faultSize) {
    std::memset(grid, 0, sizeof grid);
    if (map.tiles.size() != static_cast<size_t>(kTileCount)) {
        std::snprintf(fault, faultSize, "the layout must place 144 tiles (it places %s%zu)",
                      map.tiles.size() >= kMaxForeignTiles ? "over " : "", map.tiles.size());
        return false;
    }
    // Layers in use, in order; a layer that holds no tile is closed up.
    std::vector<int> layers;
    for (const ForeignTile& t : map.tiles) layers.push_back(t.z);
    std::sort(layers.begin(), layers.end());
    layers.erase(std::unique(layers.begin(), layers.end()), layers.end());
    if (layers.size() > static_cast<size_t>(kLevels)) {
        std::snprintf(fault, faultSize, "the layout has %zu levels; the game has 5", layers.size());
        return false;
    }
    int minX = map.tiles[0].x2, maxX = minX, minY = map.tiles[0].y2, maxY = minY;
    for (const ForeignTile& t : map.tiles) {
        minX = std::min(minX, t.x2);
        maxX = std::max(maxX, t.x2);
        minY = std::min(minY, t.y2);
        maxY = std::max(maxY, t.y2);
    }
    // Readers bound every coordinate to a few hundred, so these differences cannot overflow.
    const int width = maxX - minX + 2, height = maxY - minY + 2;
    if (width > kCols || height > kRows) {
        std::snprintf(fault, faultSize,
                      "the layout is %d half-tiles wide and %d high; the grid holds %d x %d", width,
                      height, kCols, kRows);
        return false;
    }
    const int left = (kCols - width) / 2, top = (kRows - height) / 2;
    static uint8_t covered[kLevels][kRows][kCols];
    std::memset(covered, 0, sizeof covered);
    for (const ForeignTile& t : map.tiles) {
        const int level = static_cast<int>(std::lower_bound(layers.begin(), layers.end(), t.z) - layers.begin());
        const int row = t.y2 - minY + top, col = t.x2 - minX + left;
        for (int dr = 0; dr < 2; ++dr)
            for (int dc = 0; dc < 2; ++dc) {
                if (covered[level][row + dr][col + dc]) {
                    std::snprintf(fault, faultSize,
                                  "two tiles overlap on level %d after conversion (row %d, column %d)",
                                  level, row + dr, col + dc);
                    return false;
                }
                covered[level][row + dr][col + dc] = 1;
            }
        grid[level][row][col] = 1;
    }
    return true;
}

std::string FormatTextLayout(const std::string& name, const std::string& description, const LevelGrid& grid) {
    std::string text = "; Tolbex layout: " + PrintableText(name, 80) + "\n";
    text += "; " + PrintableText(description, 150) + "\n";
    text += "; Converted by Tolbex from another game's layout file. Each line below is one tile:\n";
    text += "; its row, column and level.\n";
    char line[32];
    for (int l = 0; l < kLevels; ++l)
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                if (grid[l][r][c]) {
                    std::snprintf(line, sizeof line, "%d %d %d\n", r, c, l);
                    text += line;
                }
    return text;
}

namespace {

bool WriteConvertedMap(const ForeignMap& map, const char* out, char* fault, size_t faultSize) {
    static LevelGrid grid;
    if (!FitForeignMap(map, grid, fault, faultSize)) return false;
    const std::string text = FormatTextLayout(map.name, map.description, grid);
    if (!WriteFileAtomically(out, text.data(), text.size())) {
        std::snprintf(fault, faultSize, "%s : write error", out);
        return false;
    }
    return true;
}

}  // namespace

bool ConvertForeignLayout(const char* in, int index, const char* out, char* fault, size_t faultSize) {
    std::vector<ForeignMap> maps;
    if (!ReadForeignFile(in, maps, fault, faultSize)) return false;
    if (index < 0 || static_cast<size_t>(index) >= maps.size()) {
        std::snprintf(fault, faultSize, "the file holds %zu maps; there is no map %d", maps.size(), index + 1);
        return false;
    }
    return WriteConvertedMap(maps[static_cast<size_t>(index)], out, fault, faultSize);
}

bool ImportForeignLayout(platform::Window window, const char* path, char out[kPathSize]) {
    out[0] = '\0';
    char fault[256];
    std::vector<ForeignMap> maps;
    if (!ReadForeignFile(path, maps, fault, sizeof fault)) {
        ShowImportFault(window, path, fault);
        return false;
    }
    int index = 0;
    if (maps.size() > 1) {
        std::vector<std::string> names;
        for (const ForeignMap& m : maps) names.push_back(PrintableText(m.name, 80));
        std::vector<const char*> items;
        for (const std::string& n : names) items.push_back(n.c_str());
        index = platform::ChooseFromList(window, "Tolbex - Choose a map",
                                         "This file holds several layouts. Which one do you want to play?",
                                         items.data(), static_cast<int>(items.size()));
        if (index < 0) return false;
    }
    char copy[kPathSize + 64];
    HomePath(copy, sizeof copy, kLayoutsDir);
    const std::string leaf = "/" + FileNamePart(maps[index].name) + "-imported.TXL";
    if (std::strlen(copy) + leaf.size() >= kPathSize) {
        ShowImportFault(window, path, "the converted copy's name would be too long");
        return false;
    }
    std::strcat(copy, leaf.c_str());
    if (!WriteConvertedMap(maps[static_cast<size_t>(index)], copy, fault, sizeof fault)) {
        if (maps.size() > 1) {
            // Which of the maps was refused, before the reason.
            char named[sizeof fault + 100];
            std::snprintf(named, sizeof named, "the map \"%s\": %s",
                          PrintableText(maps[static_cast<size_t>(index)].name, 60).c_str(), fault);
            ShowImportFault(window, path, named);
            return false;
        }
        ShowImportFault(window, path, fault);
        return false;
    }
    std::memcpy(out, copy, std::strlen(copy) + 1);
    return true;
}
