// The menu of the main window. No item is checked or greyed here; the shell sets checkmarks.
// Items that open a dialog end in "...".
#include "resources/menu.h"

#include "resources/ids.h"

namespace {

const MenuItem kGame[] = {
    {IDM_NEW, "&New", "Ctrl+N"},
    {IDM_RESTART, "&Restart", "Ctrl+R"},
    {IDM_UNDO, "&Undo", "Ctrl+Z"},
    {0, nullptr},
    {IDM_PAUSE, "&Pause", "P|Pause"},
    {0, nullptr},
    {IDM_SAVE, "&Save", "Ctrl+S"},
    {IDM_LOAD, "&Load", "Ctrl+O"},
    {0, nullptr},
    {IDM_EXIT, "&Exit", "Ctrl+Q"},
};

const MenuItem kTileSize[] = {
    {IDM_TILE_SIZE_NORMAL, "&Normal", nullptr, nullptr, 0, true},
    {IDM_TILE_SIZE_LARGE, "&Large", nullptr, nullptr, 0, true},
    {IDM_TILE_SIZE_HUGE, "&Huge", nullptr, nullptr, 0, true},
    {IDM_TILE_SIZE_AUTO, "&Automatic", nullptr, nullptr, 0, true},
};

const MenuItem kOptions[] = {
    {IDM_CHANGE_COLORS, "Change colors..."},
    {IDM_CHANGE_GRAPHICS, "Change graphics..."},
    {IDM_CHANGE_BACKGROUND, "Change background..."},
    {IDM_CHANGE_SOUNDS, "Change sounds..."},
    {0, nullptr},
    {IDM_USE_COLORS, "&Use colors"},
    {IDM_SOUND_EFFECTS, "&Sound effects"},
    {IDM_SHOW_CHRONO, "Show &chrono"},
    {IDM_SHOW_EXPOSED, "Show &exposed tiles"},
    {IDM_WINNABLE_DEALS, "&Winnable deals only"},
    {IDM_WARN_DEAD_ENDS, "Warn of &dead ends"},
    {0, "Tile si&ze", nullptr, kTileSize, sizeof kTileSize / sizeof kTileSize[0]},
    {0, nullptr},
    {IDM_TOP10, "&Top 10"},
};

const MenuItem kMusic[] = {
    {IDM_OPEN_MIDI, "&Open MIDI file..."},
    {IDM_PAUSE_MUSIC, "&Pause music"},
    {IDM_NO_MUSIC, "&No music"},
    {IDM_REPLAY_MUSIC, "&Replay music"},
};

const MenuItem kHelp[] = {
    {IDM_CONTENTS, "&Contents", "F1"},
    {IDM_ABOUT, "&About"},
};

template <size_t N>
constexpr MenuEntry Popup(const char* text, const MenuItem (&items)[N]) {
    return {text, 0, items, N};
}

}  // namespace

const MenuEntry kMainMenu[] = {
    Popup("&Game", kGame),
    {"&Layout", IDM_LAYOUT, nullptr, 0},
    Popup("&Options", kOptions),
    Popup("&Music", kMusic),
    {"&Hint", IDM_HINT, nullptr, 0, "H"},
    Popup("&?", kHelp),
};
const size_t kMainMenuCount = sizeof kMainMenu / sizeof kMainMenu[0];
