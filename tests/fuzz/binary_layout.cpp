// Binary layouts through LoadLayout: the input made 308 bytes long (cut or padded with zeros);
// an accepted layout is dealt, played a few hints and drawn.
#include <vector>

#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + std::min<size_t>(size, kBinaryLayoutSize));
    bytes.resize(kBinaryLayoutSize, 0);
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    const std::string path = fuzz::WriteInput("LAYOUT.TXL", bytes.data(), bytes.size());
    if (LoadLayout(window, path.c_str()) == 1) {
        DealTiles();
        fuzz::PlayAndDraw(window, 4);
    }
    return 0;
}
