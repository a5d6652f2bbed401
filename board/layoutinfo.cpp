// Describing a layout file for the chooser, from a scratch board read aside.
#include "board/layoutinfo.h"

#include <cstdio>
#include <cstring>

#include "board/layout.h"
#include "persist/halloffame.h"

namespace {

constexpr const char* kNamePrefix = "; Tolbex layout:";

// Copies `text` without its leading blanks and its line end, cut to `size`.
void CopyLine(char* out, size_t size, const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    size_t n = std::strcspn(text, "\r\n");
    if (n >= size) n = size - 1;
    std::memcpy(out, text, n);
    out[n] = '\0';
}

// The name and description lines of the text form; false when the first line is not a name line.
bool ReadNameLines(const char* path, LayoutInfo& info) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    char first[256] = {}, second[256] = {};
    const bool named = std::fgets(first, sizeof first, file) &&
                       std::strncmp(first, kNamePrefix, std::strlen(kNamePrefix)) == 0;
    if (named && std::fgets(second, sizeof second, file) && second[0] == ';')
        CopyLine(info.description, sizeof info.description, second + 1);
    std::fclose(file);
    if (!named) return false;
    CopyLine(info.name, sizeof info.name, first + std::strlen(kNamePrefix));
    return info.name[0] != '\0';
}

long FileSize(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return -1;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) size = std::ftell(file);
    std::fclose(file);
    return size;
}

}  // namespace

void NameFromFileName(const char* path, char* out, size_t size) {
    if (size == 0) return;
    const char* base = std::strrchr(path, '/');
    base = base ? base + 1 : path;
    const char* dot = std::strrchr(base, '.');
    const size_t length = dot && dot != base ? static_cast<size_t>(dot - base) : std::strlen(base);
    std::snprintf(out, size, "%.*s", static_cast<int>(length), base);
}

bool ReadLayoutInfo(const char* path, LayoutInfo& info, BoardRecord& scratch) {
    std::memset(&info, 0, sizeof info);
    info.usable = ReadLayoutAside(path, scratch, info.reason, sizeof info.reason);
    // The binary form has no room for a name; a text file without a name line takes the file's.
    if (FileSize(path) == kBinaryLayoutSize || !ReadNameLines(path, info)) {
        info.description[0] = '\0';
        NameFromFileName(path, info.name, sizeof info.name);
    }
    if (!info.usable) return false;
    bool used[kLevels] = {};
    for (const TileRecord& tile : scratch.tiles)
        if (tile.level < kLevels) used[tile.level] = true;
    for (bool u : used) info.levels += u;
    char scores[kPathSize];
    DeriveScoresPath(path, scores);
    ReadBestTime(scores, info.bestTime);
    return true;
}
