// The five dialog templates: the win dialog, the Top 10, the colours, the sounds and the About box.
#include "resources/dialogs.h"

#include <strings.h>

#include "resources/ids.h"

namespace {

using K = ControlKind;

const ControlTemplate kWinControls[] = {
    {K::Static, IDC_WIN_PROMPT, "Enter your name :", 5, 7, 58, 8},
    {K::Edit, IDC_WIN_NAME, "", 65, 6, 88, 12},
    {K::DefaultButton, IDC_WIN_OK, "Ok", 56, 23, 50, 14},
};

const ControlTemplate kTopTenControls[] = {
    {K::Static, IDC_TOP_NAME_HEAD, "Name", 10, 5, 85, 8},
    {K::Static, IDC_TOP_TIME_HEAD, "Time", 105, 5, 29, 8},
    {K::GroupBox, IDC_TOP_GROUP, "", 6, 15, 135, 105},
    {K::Static, IDC_TOP_NAME0 + 0, "", 10, 20, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 0, "", 105, 20, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 1, "", 10, 30, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 1, "", 105, 30, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 2, "", 10, 40, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 2, "", 105, 40, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 3, "", 10, 50, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 3, "", 105, 50, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 4, "", 10, 60, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 4, "", 105, 60, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 5, "", 10, 70, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 5, "", 105, 70, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 6, "", 10, 80, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 6, "", 105, 80, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 7, "", 10, 90, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 7, "", 105, 90, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 8, "", 10, 100, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 8, "", 105, 100, 29, 8},
    {K::Static, IDC_TOP_NAME0 + 9, "", 10, 110, 85, 8},
    {K::Static, IDC_TOP_TIME0 + 9, "", 105, 110, 29, 8},
    {K::DefaultButton, IDC_TOP_OK, "Ok", 49, 125, 50, 14},
};

const ControlTemplate kColorsControls[] = {
    {K::Button, IDC_COLORS_BUTTON0 + 0, "Change level 0 color", 5, 5, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 0, "", 105, 5, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 1, "Change level 1 color", 5, 25, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 1, "", 105, 25, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 2, "Change level 2 color", 5, 45, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 2, "", 105, 45, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 3, "Change level 3 color", 5, 65, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 3, "", 105, 65, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 4, "Change level 4 color", 5, 85, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 4, "", 105, 85, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 5, "Change exposed tiles color", 5, 105, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 5, "", 105, 105, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 6, "Change background color", 5, 125, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 6, "", 105, 125, 14, 14},
    {K::Button, IDC_COLORS_BUTTON0 + 7, "Change transparent color", 5, 145, 95, 14},
    {K::Swatch, IDC_COLORS_SWATCH0 + 7, "", 105, 145, 14, 14},
    {K::DefaultButton, IDC_COLORS_OK, "OK", 28, 165, 50, 14},
};

const ControlTemplate kSoundsControls[] = {
    {K::Button, IDC_SOUNDS_CHOOSE0 + 0, "Click on a tile", 6, 6, 95, 14},
    {K::Button, IDC_SOUNDS_LISTEN0 + 0, "Listen", 103, 6, 40, 14},
    {K::Button, IDC_SOUNDS_CHOOSE0 + 1, "Click on two matching tiles", 6, 22, 95, 14},
    {K::Button, IDC_SOUNDS_LISTEN0 + 1, "Listen", 103, 22, 40, 14},
    {K::Button, IDC_SOUNDS_CHOOSE0 + 2, "Bad click", 6, 38, 95, 14},
    {K::Button, IDC_SOUNDS_LISTEN0 + 2, "Listen", 103, 38, 40, 14},
    {K::DefaultButton, IDC_SOUNDS_OK, "OK", 54, 56, 40, 14},
};

const ControlTemplate kAboutControls[] = {
    {K::Static, IDC_ABOUT_VERSION, "", 6, 6, 220, 12},
    {K::Static, -1, "Take matching free tiles off in pairs until the board is empty.", 6, 20, 220, 10},
    {K::Static, -1, "Our own layouts, tiles, sounds and music.", 6, 30, 220, 10},
    {K::DefaultButton, IDC_ABOUT_OK, "OK", 96, 44, 40, 14},
};

template <size_t N>
constexpr DialogTemplate Make(const char* name, const char* caption, int cx, int cy,
                              const ControlTemplate (&controls)[N]) {
    return {name, caption, cx, cy, controls, N};
}

const DialogTemplate kDialogs[] = {
    Make("GAGNEDLG", "You win !!!", 161, 40, kWinControls),
    Make("JOUEURSDLG", "Top 10", 147, 144, kTopTenControls),
    Make("CHANGECOLORSDLG", "Change colors", 125, 185, kColorsControls),
    Make("CHANGESOUNDSDLG", "Change sound files", 149, 74, kSoundsControls),
    Make("ABOUTDLG", "About", 232, 62, kAboutControls),
};

}  // namespace

const DialogTemplate* FindDialogTemplate(const char* name) {
    for (const DialogTemplate& d : kDialogs)
        if (name && strcasecmp(d.name, name) == 0) return &d;
    return nullptr;
}

int DefaultButtonId(const DialogTemplate& dialog) {
    for (size_t i = 0; i < dialog.controlCount; ++i)
        if (dialog.controls[i].kind == ControlKind::DefaultButton) return dialog.controls[i].id;
    return 0;
}
