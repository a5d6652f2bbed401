// The modal dialogs built from resources/dialogs.h: every control with its id, kind, text and
// place in proportion to its dialog units; the order WM_INITDIALOG, WM_PAINT; Escape reaching
// the procedure as IDCANCEL without closing; Enter pressing the default button; texts and
// swatches set and read through the platform calls.
#include <gtest/gtest.h>

#include <QDialog>
#include <algorithm>
#include <cstring>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/qtwindows.h"
#include "resources/dialogs.h"
#include "resources/ids.h"
#include "support.h"

namespace {

using qttest::Heard;

const char* const kTemplates[] = {"GAGNEDLG", "JOUEURSDLG", "CHANGECOLORSDLG", "CHANGESOUNDSDLG", "ABOUTDLG"};

// Checks the controls against the template while the dialog initialises, then ends it.
intptr_t InspectingProc(platform::Window dialog, uint32_t message, uintptr_t, intptr_t lParam) {
    if (message != platform::WM_INITDIALOG) return 0;
    const auto* tmpl = reinterpret_cast<const DialogTemplate*>(lParam);
    auto* widget = platform::qt::DialogControl(dialog, tmpl->controls[0].id)->window();
    EXPECT_EQ(widget->windowTitle(), QString::fromLatin1(tmpl->caption));
    EXPECT_FALSE(widget->windowFlags() & Qt::WindowCloseButtonHint);
    // Dialog units scale by one factor across and one down, the same for the dialog and its controls.
    const double sx = widget->width() / double(tmpl->cx), sy = widget->height() / double(tmpl->cy);
    EXPECT_GT(sx, 1.0);
    EXPECT_GT(sy, 1.0);
    for (size_t i = 0; i < tmpl->controlCount; ++i) {
        const ControlTemplate& c = tmpl->controls[i];
        if (c.id == -1) continue;
        QWidget* control = platform::qt::DialogControl(dialog, c.id);
        if (!control) {
            ADD_FAILURE() << tmpl->name << " lacks control " << c.id;
            continue;
        }
        const QRect g = control->geometry();
        EXPECT_NEAR(g.x(), c.x * sx, 1.5) << tmpl->name << " " << c.id;
        EXPECT_NEAR(g.y(), c.y * sy, 1.5) << tmpl->name << " " << c.id;
        EXPECT_NEAR(g.width(), c.cx * sx, 1.5) << tmpl->name << " " << c.id;
        EXPECT_NEAR(g.height(), c.cy * sy, 1.5) << tmpl->name << " " << c.id;
        switch (c.kind) {
            case ControlKind::Static:
                EXPECT_NE(qobject_cast<QLabel*>(control), nullptr);
                break;
            case ControlKind::Edit:
                EXPECT_NE(qobject_cast<QLineEdit*>(control), nullptr);
                break;
            case ControlKind::Button:
            case ControlKind::DefaultButton: {
                auto* button = qobject_cast<QPushButton*>(control);
                if (!button) {
                    ADD_FAILURE() << tmpl->name << " " << c.id << " is no push button";
                    break;
                }
                EXPECT_EQ(button->isDefault(), c.kind == ControlKind::DefaultButton);
                break;
            }
            case ControlKind::GroupBox:
                EXPECT_NE(qobject_cast<QGroupBox*>(control), nullptr);
                break;
            case ControlKind::Swatch:
                EXPECT_STREQ(control->metaObject()->className(), "QWidget");
                break;
        }
        char text[128];
        if (c.kind != ControlKind::Swatch) {
            platform::GetDlgItemText(dialog, c.id, text, sizeof text);
            EXPECT_STREQ(text, c.text) << tmpl->name << " " << c.id;
        }
    }
    platform::EndDialog(dialog, 17);
    return 1;
}

TEST(QtDialogs, EveryTemplateBuildsItsControls) {
    qttest::App();
    for (const char* name : kTemplates) {
        const DialogTemplate* tmpl = FindDialogTemplate(name);
        ASSERT_NE(tmpl, nullptr);
        EXPECT_EQ(platform::DialogBoxParam(name, nullptr, InspectingProc, reinterpret_cast<intptr_t>(tmpl)), 17)
            << name;
    }
    EXPECT_EQ(platform::DialogBoxParam("NOSUCHDLG", nullptr, InspectingProc, 0), -1);
}

void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

// The win dialog's procedure, as the game writes it: a name, Ok, no Cancel.
intptr_t WinProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    qttest::RecordingProc(dialog, message, wParam, lParam);
    if (message == platform::WM_INITDIALOG) {
        platform::SetDlgItemText(dialog, IDC_WIN_NAME, "Player");
        return 1;
    }
    if (message == platform::WM_COMMAND && wParam == IDC_WIN_OK) {
        char name[22];
        platform::GetDlgItemText(dialog, IDC_WIN_NAME, name, sizeof name);
        platform::EndDialog(dialog, static_cast<intptr_t>(std::strlen(name)));
        return 1;
    }
    return 0;
}

TEST(QtDialogs, EscapeReachesTheProcedureAndEnterPressesTheDefault) {
    qttest::App();
    Heard().clear();
    bool stillOpenAfterEscape = false;
    QString selected;
    qttest::WhenModal([&](QWidget* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>();
        selected = edit->selectedText();   // the first control has the focus, its text selected
        Key(dialog->focusWidget(), Qt::Key_Escape);
        stillOpenAfterEscape = dialog->isVisible();
        edit->setText("A name much longer than twenty-one characters");
        Key(dialog->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(platform::DialogBoxParam("GAGNEDLG", nullptr, WinProc, 99), 21);
    EXPECT_TRUE(stillOpenAfterEscape);
    EXPECT_EQ(selected, "Player");
    ASSERT_GE(Heard().size(), 4u);
    EXPECT_EQ(Heard()[0].message, platform::WM_INITDIALOG);
    EXPECT_EQ(Heard()[0].lParam, 99);
    EXPECT_EQ(Heard()[1].message, platform::WM_PAINT);
    EXPECT_EQ(Heard()[2].message, platform::WM_COMMAND);
    EXPECT_EQ(Heard()[2].wParam, static_cast<uintptr_t>(platform::IDCANCEL));
    EXPECT_EQ(Heard()[3].message, platform::WM_COMMAND);
    EXPECT_EQ(Heard()[3].wParam, static_cast<uintptr_t>(IDC_WIN_OK));
}


// A colours-like procedure: swatches filled on paint and after a button, OK ends.
intptr_t SwatchProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    qttest::RecordingProc(dialog, message, wParam, lParam);
    if (message == platform::WM_PAINT) {
        for (int k = 0; k < 8; ++k) platform::FillDlgItem(dialog, IDC_COLORS_SWATCH0 + k, 0x00FF8080);
    } else if (message == platform::WM_COMMAND && wParam == IDC_COLORS_BUTTON0 + 2) {
        platform::FillDlgItem(dialog, IDC_COLORS_SWATCH0 + 2, 0x0000FFFF);   // yellow
        return 1;
    } else if (message == platform::WM_COMMAND && wParam == IDC_COLORS_OK) {
        platform::EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}

TEST(QtDialogs, SwatchesShowTheirColourAtOnceAndAFocusedButtonTakesEnter) {
    qttest::App();
    Heard().clear();
    QRgb paintedSwatch = 0, changedSwatch = 0, otherSwatch = 0;
    bool closedByCloseRequest = true;
    qttest::WhenModal([&](QWidget* dialog) {
        auto centre = [](QWidget* w) { return w->grab().toImage().pixel(w->width() / 2, w->height() / 2) & 0xFFFFFF; };
        QList<QWidget*> swatches;
        for (QWidget* w : dialog->findChildren<QWidget*>())
            if (std::strcmp(w->metaObject()->className(), "QWidget") == 0) swatches << w;
        std::sort(swatches.begin(), swatches.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
        paintedSwatch = centre(swatches[0]);
        // Enter on a focused push button presses that button, not the default one.
        QPushButton* level2 = nullptr;
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == "Change level 2 color") level2 = b;
        level2->setFocus();
        Key(level2, Qt::Key_Return);
        changedSwatch = centre(swatches[2]);
        otherSwatch = centre(swatches[3]);
        dialog->close();   // a close request is a cancel for the procedure
        closedByCloseRequest = !dialog->isVisible();
        if (QWidget* focused = dialog->focusWidget()) focused->clearFocus();
        Key(dialog, Qt::Key_Enter);
    });
    EXPECT_EQ(platform::DialogBoxParam("CHANGECOLORSDLG", nullptr, SwatchProc, 0), 1);
    EXPECT_EQ(paintedSwatch, 0x8080FFu);
    EXPECT_EQ(changedSwatch, 0xFFFF00u);
    EXPECT_EQ(otherSwatch, 0x8080FFu);
    EXPECT_FALSE(closedByCloseRequest);
    std::vector<uintptr_t> commands;
    for (const qttest::Message& m : Heard())
        if (m.message == platform::WM_COMMAND) commands.push_back(m.wParam);
    EXPECT_EQ(commands, (std::vector<uintptr_t>{IDC_COLORS_BUTTON0 + 2, platform::IDCANCEL, IDC_COLORS_OK}));
}

TEST(QtDialogs, TextsAreCutAtTheBufferAndNeverInsideACharacter) {
    qttest::App();
    static QString read;
    static unsigned copied = 0;
    struct Local {
        static intptr_t Proc(platform::Window dialog, uint32_t message, uintptr_t, intptr_t) {
            if (message != platform::WM_INITDIALOG) return 0;
            platform::SetDlgItemText(dialog, IDC_TOP_NAME0 + 3, "Ren\xc3\xa9" "e");   // "Renée"
            char small[5];
            copied = platform::GetDlgItemText(dialog, IDC_TOP_NAME0 + 3, small, sizeof small);
            read = QString::fromUtf8(small);
            platform::SetDlgItemText(dialog, IDC_TOP_TIME0 + 3, "00:05:00");
            char none[1] = {'x'};
            EXPECT_EQ(platform::GetDlgItemText(dialog, IDC_TOP_TIME0 + 3, none, 1), 0u);
            EXPECT_EQ(none[0], '\0');
            EXPECT_EQ(platform::GetDlgItemText(dialog, 4242, none, 1), 0u);
            platform::EndDialog(dialog, 5);
            return 1;
        }
    };
    EXPECT_EQ(platform::DialogBoxParam("JOUEURSDLG", nullptr, Local::Proc, 0), 5);
    EXPECT_EQ(copied, 3u);   // "Ren": the two-byte character does not fit in the 4th byte
    EXPECT_EQ(read, "Ren");
}

}  // namespace
