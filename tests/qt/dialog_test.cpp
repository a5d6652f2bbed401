// The modal dialogs built from resources/dialogs.h: WM_INITDIALOG then WM_PAINT; Escape reaching
// the procedure as IDCANCEL without closing; Enter pressing the default button; FillDlgItem
// painting a swatch; an unknown template refused.
#include <gtest/gtest.h>

#include <QKeyEvent>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "support.h"

// The colours dialog's procedure as the game writes it: swatches filled on paint, OK ends.
static platform::Window shown = nullptr;
static intptr_t SwatchProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    qttest::RecordingProc(dialog, message, wParam, lParam);
    shown = dialog;
    for (int k = 0; k < 8 && message == platform::WM_PAINT; ++k)
        platform::FillDlgItem(dialog, IDC_COLORS_SWATCH0 + k, 0x00FF8000 + k);
    if (message == platform::WM_COMMAND && wParam == IDC_COLORS_OK) platform::EndDialog(dialog, 5);
    return 0;
}

TEST(QtDialogs, EscapeReachesTheProcedureEnterPressesTheDefaultAndSwatchesShowTheirColour) {
    qttest::App();
    qttest::heard.clear();
    bool openAfterEscape = false;
    qttest::WhenModal([&](QWidget* dialog) {
        for (int k = 0; k < 8; ++k) {
            QWidget* w = platform::qt::DialogControl(shown, IDC_COLORS_SWATCH0 + k);
            EXPECT_EQ(w->grab().toImage().pixel(w->width() / 2, w->height() / 2) & 0xFFFFFF, 0x0080FFu | k << 16) << k;
        }
        for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(dialog->focusWidget() ? dialog->focusWidget() : dialog, &press);
            if (key == Qt::Key_Escape) openAfterEscape = dialog->isVisible();
        }
    });
    EXPECT_EQ(platform::DialogBoxParam("CHANGECOLORSDLG", nullptr, SwatchProc, 99), 5);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(qttest::heard, (std::vector<qttest::Message>{{platform::WM_INITDIALOG, 0, 99}, {platform::WM_PAINT, 0, 0},
                                                            {platform::WM_COMMAND, platform::IDCANCEL, 0},
                                                            {platform::WM_COMMAND, IDC_COLORS_OK, 0}}));
    EXPECT_EQ(platform::DialogBoxParam("NOSUCHDLG", nullptr, SwatchProc, 0), -1);
}
