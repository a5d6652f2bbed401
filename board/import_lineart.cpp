// The line-art ".layout" form: a version line, optional "w", "h" and "d" lines giving the width
// and height in half-tile characters and the number of levels (32, 16 and 5 when absent), "#"
// comment lines, then every level as h rows of w characters. A tile is four characters, "12"
// over "43"; its "1" is the top-left corner and the only one read. The name and description
// come from the ".desktop" file beside it when there is one.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "board/import.h"

namespace {

constexpr const char* kVersions[] = {"kmahjongg-layout-v1.0", "kmahjongg-layout-v1.1"};
constexpr int kMaxSide = 128;     // characters a row, rows a level
constexpr int kMaxDepth = 64;

// The lines of `text`, each without its line end.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

// "w32": true with the number when the line is the letter and 1 to 3 digits within 1..limit.
bool SizeLine(const std::string& line, char letter, int limit, int& value) {
    if (line.size() < 2 || line.size() > 4 || line[0] != letter) return false;
    int v = 0;
    for (size_t i = 1; i < line.size(); ++i) {
        if (line[i] < '0' || line[i] > '9') return false;
        v = v * 10 + (line[i] - '0');
    }
    if (v < 1 || v > limit) return false;
    value = v;
    return true;
}

// "Name=" and "Description=" (the untranslated ones) of the ".desktop" file beside `path`.
void ReadSiblingNames(const char* path, ForeignMap& map) {
    std::string sibling = path;
    const size_t dot = sibling.rfind('.');
    const size_t slash = sibling.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return;
    sibling = sibling.substr(0, dot) + ".desktop";
    std::FILE* file = std::fopen(sibling.c_str(), "rb");
    if (!file) return;
    char line[512];
    for (int n = 0; n < 1000 && std::fgets(line, sizeof line, file); ++n) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (std::strncmp(line, "Name=", 5) == 0) map.name = line + 5;
        if (std::strncmp(line, "Description=", 12) == 0) map.description = line + 12;
    }
    std::fclose(file);
}

// "star_ship" -> "Star ship".
std::string NameFromPath(const char* path) {
    const char* base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    std::string name(base, std::strcspn(base, "."));
    for (char& c : name)
        if (c == '_') c = ' ';
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
    return name;
}

}  // namespace

bool ReadLineArtLayout(const std::string& text, const char* path, std::vector<ForeignMap>& maps,
                       char* fault, size_t faultSize) {
    const std::vector<std::string> lines = SplitLines(text);
    bool known = false;
    for (const char* version : kVersions) known = known || (!lines.empty() && lines[0] == version);
    if (!known) {
        std::snprintf(fault, faultSize, "bad header: the first line names no layout version this game reads");
        return false;
    }
    int width = 32, height = 16, depth = 5;
    ForeignMap map;
    int rowIndex = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == '#') continue;
        if (rowIndex == 0 && (SizeLine(line, 'w', kMaxSide, width) || SizeLine(line, 'h', kMaxSide, height) ||
                              SizeLine(line, 'd', kMaxDepth, depth)))
            continue;
        if (line[0] == 'w' || line[0] == 'h' || line[0] == 'd') {
            std::snprintf(fault, faultSize, "bad header: \"%.20s\" is not a size from 1 to %d", line.c_str(),
                          line[0] == 'd' ? kMaxDepth : kMaxSide);
            return false;
        }
        const int level = rowIndex / height, row = rowIndex % height;
        ++rowIndex;
        if (level >= depth) continue;   // rows past the stated depth are not part of the board
        const size_t columns = std::min(line.size(), static_cast<size_t>(width));
        for (size_t c = 0; c < columns; ++c)
            if (line[c] == '1' && map.tiles.size() < kMaxForeignTiles)
                map.tiles.push_back({static_cast<int>(c), row, level});
    }
    map.name = NameFromPath(path);
    ReadSiblingNames(path, map);
    if (map.description.empty()) map.description = "Converted from " + NameFromPath(path) + ".";
    maps.push_back(map);
    return true;
}
