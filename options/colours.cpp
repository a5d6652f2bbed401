// The colours dialog ("CHANGECOLORSDLG"): eight rows of a button that opens the colour chooser
// and a swatch that shows the colour. A chosen colour goes straight into Settings; there is no
// Cancel, and the settings file takes the colours at shutdown.
#include "options/colours.h"

#include "board/state.h"
#include "resources/ids.h"

namespace {

constexpr int kColourRows = 8;
constexpr uint32_t kWhite = 0x00FFFFFF;

// The Settings field of each row, in the order of the dialog's buttons 1501..1508.
uint32_t* const kRowFields[kColourRows] = {
    &Settings.levelColor[0], &Settings.levelColor[1], &Settings.levelColor[2],
    &Settings.levelColor[3], &Settings.levelColor[4], &Settings.exposedColor,
    &Settings.backgroundColor, &Settings.transparentColor,
};

}  // namespace

intptr_t ColoursDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_PAINT) {
        for (int k = 0; k < kColourRows; ++k) PaintSwatch(dialog, IDC_COLORS_SWATCH0 + k, *kRowFields[k]);
        return 0;   // the default painting of the dialog still runs
    }
    if (message != platform::WM_COMMAND) return 0;
    if (wParam == static_cast<uintptr_t>(IDC_COLORS_OK)) {
        platform::EndDialog(dialog, 1);
        return 1;
    }
    if (wParam >= static_cast<uintptr_t>(IDC_COLORS_BUTTON0) &&
        wParam < static_cast<uintptr_t>(IDC_COLORS_BUTTON0 + kColourRows)) {
        const int k = static_cast<int>(wParam) - IDC_COLORS_BUTTON0;
        uint32_t& field = *kRowFields[k];
        const uint32_t kept = field;
        field = ChooseColour(dialog);
        if (field == 0) {
            // Nothing chosen, or black, which cannot be told from nothing: the colour stays.
            field = kept;
        } else {
            PaintSwatch(dialog, IDC_COLORS_SWATCH0 + k, field);
        }
        return 1;
    }
    return 0;
}

// The chooser opens with sixteen white custom colours every time and cannot be expanded.
uint32_t ChooseColour(platform::Window owner) {
    uint32_t customColours[16];
    for (uint32_t& c : customColours) c = kWhite;
    uint32_t result = 0;
    if (!platform::ChooseColor(owner, customColours, &result)) return 0;
    return result & kWhite;
}

void PaintSwatch(platform::Window dialog, int swatchId, uint32_t colour) {
    platform::FillDlgItem(dialog, swatchId, colour);
}
