// The home directory: taken once from the current directory at start-up, then the root of every
// data path (layouts, pictures, sounds, help). Paths are cut rather than written past a buffer.
#include "shell/home.h"

#include <cstdio>

#include "board/state.h"

bool TakeStartDir() {
    // Windows rules: the length without the NUL when it fits, the size needed when it does not
    // (nothing copied then), 0 when the directory cannot be read.
    unsigned length = platform::GetCurrentDirectory(kPathSize, startDir);
    if (length == 0 || length >= static_cast<unsigned>(kPathSize)) {
        startDir[0] = '\0';
        return false;
    }
    return true;
}

void HomePath(char* out, unsigned size, const char* subPath) {
    if (size == 0) return;
    // startDir is followed by the sub-path as it stands: no separator test, as on every data path.
    std::snprintf(out, size, "%s%s", startDir, subPath);
}
