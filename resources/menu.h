// The menu bar of the main window as a table: popups with their items (an item may open a
// submenu of its own), the two commands that stand on the bar itself ("&Layout" and "&Hint"),
// and the keyboard shortcuts shown beside the items.
#pragma once

#include <cstddef>

struct MenuItem {
    int id;                             // 0 = separator, unless the item opens a submenu
    const char* text;                   // with its '&' mnemonic
    const char* shortcut = nullptr;     // key names as "Ctrl+N"; "P|Pause" gives two keys
    const MenuItem* items = nullptr;    // a submenu's items
    size_t itemCount = 0;
    bool radio = false;                 // one choice of a group, checked with a round mark
};

struct MenuEntry {
    const char* text;                   // popup title, or the bar item's text
    int id;                             // a command on the bar itself; 0 for a popup
    const MenuItem* items;              // the popup's items
    size_t itemCount;
    const char* shortcut = nullptr;     // of a command on the bar itself
};

extern const MenuEntry kMainMenu[];
extern const size_t kMainMenuCount;
