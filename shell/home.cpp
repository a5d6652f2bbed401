// The home directory: taken once from the current directory at start-up, then the root of every
// data path (layouts, pictures, sounds, help).
#include "shell/home.h"

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
