// Text layouts through LoadLayout: an accepted layout is dealt, played a few hints and drawn.
#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A file of exactly 308 bytes is read as a binary layout: that is the other target's input.
    if (size == kBinaryLayoutSize) --size;
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    const std::string path = fuzz::WriteInput("LAYOUT.TXL", data, size);
    if (LoadLayout(window, path.c_str()) == 1) {
        DealTiles();
        fuzz::PlayAndDraw(window, 4);
    }
    return 0;
}
