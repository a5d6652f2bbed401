// Saved games through LoadGame: a loaded game is saved, loaded and saved again (the two saves
// must be equal), then played a few hints, undone and drawn.
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>

#include "persist/savegame.h"
#include "tests/fuzz/support.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string SaveTo(const std::string& path) {
    fake::QueueFileAnswer(path);
    SaveGame(fake::MainWindow());
    return ReadAll(path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    const std::string path = fuzz::WriteInput("GAME.TXM", data, size);
    fake::QueueFileAnswer(path);
    if (LoadGame(window) != 1) return 0;
    const std::string once = SaveTo(fuzz::Scratch() + "/ONCE.TXM");
    fake::QueueFileAnswer(fuzz::Scratch() + "/ONCE.TXM");
    if (LoadGame(window) != 1) std::abort();   // our own save refused
    if (SaveTo(fuzz::Scratch() + "/TWICE.TXM") != once) std::abort();
    fuzz::PlayAndDraw(window, 3);
    // Undone back to the deal on one input in sixteen, picked by its bytes so that a finding
    // reproduces: a whole undo costs more than all the rest of a run.
    if (std::hash<std::string_view>{}({reinterpret_cast<const char*>(data), size}) % 16 == 0) {
        RestartGame(window);
        fuzz::PlayAndDraw(window, 1);
    }
    return 0;
}
