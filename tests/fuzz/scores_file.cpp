// Scores files through LoadHallOfFame: the rows read take a new time (ranked, shown in the Top 10
// dialog), are saved and read back unchanged.
#include <cstring>

#include "persist/halloffame.h"
#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Run run;
    const platform::Window window = fuzz::World();
    const std::string path = fuzz::WriteInput("LAYOUT.txs", data, size);
    std::snprintf(GameState.scoresPath, sizeof GameState.scoresPath, "%s", path.c_str());
    LoadHallOfFame(window);
    // The new time: the last four bytes of the input, so that it meets the stored times.
    int32_t seconds = 0;
    if (size >= 4) std::memcpy(&seconds, data + size - 4, 4);
    HallOfFame[10] = {"Fuzz", "00:00:01", seconds};
    std::snprintf(playerName, sizeof playerName, "Fuzz");
    GameState.loadedGame = 0;
    EnterHallOfFame(window);
    hallOfFameDirty = 1;
    SaveHallOfFame(window);
    HallOfFameEntry saved[10];
    std::memcpy(saved, HallOfFame, sizeof saved);
    LoadHallOfFame(window);
    for (int i = 0; i < 10; ++i)
        if (std::memcmp(saved[i].name, HallOfFame[i].name, std::strlen(saved[i].name) + 1) != 0 ||
            std::memcmp(saved[i].timeText, HallOfFame[i].timeText, std::strlen(saved[i].timeText) + 1) != 0 ||
            saved[i].seconds != HallOfFame[i].seconds)
            std::abort();
    return 0;
}
