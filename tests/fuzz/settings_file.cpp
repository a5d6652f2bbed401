// The settings file through LoadSettings: what was read is saved and read back unchanged, and the
// board is drawn once for each combination of the drawing options it holds.
#include <cstring>

#include "persist/settings.h"
#include "platform/bitmap.h"
#include "tests/fuzz/support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::Run run;
    const platform::Window window = fuzz::Started();
    fuzz::WriteInput("TOLBEX13.CFG", data, size);
    LoadSettings();
    if (Settings.layoutPath[0] == '\0') std::abort();
    for (const char* p : {Settings.layoutPath, Settings.tileSheetPath, Settings.backgroundPath,
                          Settings.soundClickPath, Settings.soundPairPath, Settings.soundBadClickPath,
                          Settings.midiPath})
        if (!std::memchr(p, 0, kPathSize)) std::abort();
    const SettingsRecord loaded = Settings;
    musicOn = 1;
    platform::DeleteBitmap(BackgroundPicture.bitmap);
    Settings.backgroundPath[0] = '\0';
    const SettingsRecord kept = Settings;
    SaveSettings(window);
    LoadSettings();
    if (std::memcmp(&kept, &Settings, sizeof Settings) != 0) std::abort();
    // Drawn in the colours, manner and tile size read. The pictures it names are not made here:
    // they are files of their own, fuzzed through the BMP target.
    Settings = loaded;
    Settings.backgroundPath[0] = '\0';
    const int64_t options = Settings.useColors | Settings.showExposed << 1 | Settings.tileSize << 2 |
                            Settings.winnableDeals << 4 | Settings.warnDeadEnds << 5;
    if (fuzz::FirstTimeOf(-1, options)) fuzz::PlayAndDraw(window, 1);
    return 0;
}
