// The modal dialogs built from resources/dialogs.h: each control with its id, kind, text and
// place in dialog units; WM_INITDIALOG then WM_PAINT; Escape reaching the procedure as IDCANCEL
// without closing; Enter pressing the default button; FillDlgItem painting a swatch.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QPushButton>

#include "platform/qt/qtwindows.h"
#include "resources/dialogs.h"
#include "resources/ids.h"
#include "support.h"

static intptr_t InspectingProc(platform::Window dialog, uint32_t message, uintptr_t, intptr_t lParam) {
    if (message != platform::WM_INITDIALOG) return 0;
    const auto* tmpl = reinterpret_cast<const DialogTemplate*>(lParam);
    QWidget* window = platform::qt::DialogControl(dialog, tmpl->controls[0].id)->window();
    EXPECT_EQ(window->windowTitle(), QString::fromLatin1(tmpl->caption));
    const double sx = window->width() / double(tmpl->cx), sy = window->height() / double(tmpl->cy);
    for (size_t i = 0; i < tmpl->controlCount; ++i) {
        const ControlTemplate& c = tmpl->controls[i];
        if (c.id == -1) continue;
        SCOPED_TRACE(std::string(tmpl->name) + " control " + std::to_string(c.id));
        QWidget* control = platform::qt::DialogControl(dialog, c.id);
        if (!control) { ADD_FAILURE() << "missing"; continue; }
        const char* const kClass[] = {"QLabel", "QLineEdit", "QPushButton", "QPushButton", "QGroupBox", "QWidget"};
        EXPECT_STREQ(control->metaObject()->className(), kClass[int(c.kind)]);
        auto* button = qobject_cast<QPushButton*>(control);
        EXPECT_EQ(button && button->isDefault(), c.kind == ControlKind::DefaultButton);
        const QRect g = control->geometry();
        EXPECT_LE(std::max({std::abs(g.x() - c.x * sx), std::abs(g.y() - c.y * sy), std::abs(g.width() - c.cx * sx),
                            std::abs(g.height() - c.cy * sy)}), 1.5) << g.x() << "," << g.y() << " " << g.width();
        char text[128] = "";
        if (c.kind != ControlKind::Swatch) platform::GetDlgItemText(dialog, c.id, text, sizeof text);
        EXPECT_STREQ(text, c.kind == ControlKind::Swatch ? "" : c.text);
    }
    platform::EndDialog(dialog, 17);
    return 1;
}

TEST(QtDialogs, EveryTemplateBuildsItsControls) {
    qttest::App();
    for (const char* name : {"GAGNEDLG", "JOUEURSDLG", "CHANGECOLORSDLG", "CHANGESOUNDSDLG", "ABOUTDLG"}) {
        const DialogTemplate* tmpl = FindDialogTemplate(name);
        ASSERT_NE(tmpl, nullptr);
        EXPECT_EQ(platform::DialogBoxParam(name, nullptr, InspectingProc, intptr_t(tmpl)), 17) << name;
    }
    EXPECT_EQ(platform::DialogBoxParam("NOSUCHDLG", nullptr, InspectingProc, 0), -1);
}

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
}
