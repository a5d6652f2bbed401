// The dialog templates of the game, as tables: caption, size and controls in dialog units
// (8-point dialog font), the way a resource script lays them out. The platform builds its modal
// dialogs from these and nothing else.
#pragma once

#include <cstddef>

enum class ControlKind {
    Static,         // left-aligned text
    Edit,           // one-line text entry
    Button,         // push button
    DefaultButton,  // push button pressed by Enter
    GroupBox,
    Swatch,         // empty static control that shows a colour
};

struct ControlTemplate {
    ControlKind kind;
    int id;
    const char* text;
    int x, y, cx, cy;
};

struct DialogTemplate {
    const char* name;      // "GAGNEDLG", ...
    const char* caption;
    int cx, cy;
    const ControlTemplate* controls;
    size_t controlCount;
};

// The template of that name (matched without regard to case), or null.
const DialogTemplate* FindDialogTemplate(const char* name);
// The identifier of the template's default button, or 0.
int DefaultButtonId(const DialogTemplate& dialog);
