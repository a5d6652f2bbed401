// The menu of the main window. No item is checked or greyed here; the shell sets checkmarks.
#include "resources/menu.h"

#include "resources/ids.h"

namespace {

const MenuItem kGame[] = {
    {IDM_NEW, "&New"},   {IDM_RESTART, "&Restart"}, {IDM_UNDO, "&Undo"}, {0, nullptr},
    {IDM_PAUSE, "&Pause"}, {0, nullptr},
    {IDM_SAVE, "&Save"}, {IDM_LOAD, "&Load"},       {0, nullptr},        {IDM_EXIT, "&Exit"},
};

const MenuItem kOptions[] = {
    {IDM_CHANGE_COLORS, "Change colors"},
    {IDM_CHANGE_GRAPHICS, "Change graphics"},
    {IDM_CHANGE_BACKGROUND, "Change background"},
    {IDM_CHANGE_SOUNDS, "Change sounds"},
    {0, nullptr},
    {IDM_USE_COLORS, "&Use colors"},
    {IDM_SOUND_EFFECTS, "&Sound effects"},
    {IDM_SHOW_CHRONO, "Show &chrono"},
    {IDM_SHOW_EXPOSED, "Show &exposed tiles"},
    {IDM_WINNABLE_DEALS, "&Winnable deals only"},
    {IDM_WARN_DEAD_ENDS, "Warn of &dead ends"},
    {0, nullptr},
    {IDM_TOP10, "&Top 10"},
};

const MenuItem kMusic[] = {
    {IDM_OPEN_MIDI, "&Open MIDI file"},
    {IDM_PAUSE_MUSIC, "&Pause music"},
    {IDM_NO_MUSIC, "&No music"},
    {IDM_REPLAY_MUSIC, "&Replay music"},
};

const MenuItem kHelp[] = {
    {IDM_CONTENTS, "&Contents"},
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
    {"&Hint", IDM_HINT, nullptr, 0},
    Popup("&?", kHelp),
};
const size_t kMainMenuCount = sizeof kMainMenu / sizeof kMainMenu[0];
