// The menu bar of the main window as a table: popups with their items, and the two commands
// that stand on the bar itself ("&Layout" and "&Hint").
#pragma once

#include <cstddef>

struct MenuItem {
    int id;             // 0 = separator
    const char* text;   // with its '&' mnemonic
};

struct MenuEntry {
    const char* text;       // popup title, or the bar item's text
    int id;                 // a command on the bar itself; 0 for a popup
    const MenuItem* items;  // the popup's items
    size_t itemCount;
};

extern const MenuEntry kMainMenu[];
extern const size_t kMainMenuCount;
