// An ending requested from outside while modal windows are open: each is cancelled, innermost
// first, a modal window the game opens afterwards returns at once, and the main window is closed
// once, after the last modal window has returned to its caller. (Signals on the real game, with
// the colour chooser and the file chooser open: tests/e2e/end_with_dialog_open.sh.)
#include <gtest/gtest.h>

#include <QPushButton>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "support.h"

namespace {

std::vector<std::string> events;

intptr_t EndingProc(platform::Window, uint32_t message, uintptr_t, intptr_t) {
    if (message == platform::WM_DESTROY) {
        events.push_back("destroy");
        platform::PostQuitMessage(0);
    }
    return 0;
}

intptr_t NestingProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_PAINT)
        QTimer::singleShot(0, [dialog] {
            qobject_cast<QPushButton*>(platform::qt::DialogControl(dialog, IDC_COLORS_BUTTON0))->click();
        });
    if (message != platform::WM_COMMAND) return 0;
    events.push_back("command " + std::to_string(wParam));
    // A message box over the dialog, as a button opens the colour chooser; the request comes
    // while both are open.
    QTimer::singleShot(50, [] { platform::qt::RequestEnd(); });
    platform::MessageBox(dialog, "inner", "Tolbex", platform::MB_OK);
    events.push_back("box returned");
    // Opened after the request: cancelled before it shows.
    platform::MessageBox(dialog, "later", "Tolbex", platform::MB_OK);
    events.push_back("later box returned");
    return 1;
}

}  // namespace

TEST(QtEnding, RequestCancelsNestedModalsInnermostFirstThenClosesTheWindowOnce) {
    qttest::App();
    platform::qt::ResetEndRequest();
    events.clear();
    platform::Window main = platform::CreateMainWindow("Tolbex v1.3", EndingProc, 0);
    platform::ShowWindow(main);
    intptr_t result = -1;
    QTimer::singleShot(0, [&] {
        result = platform::DialogBoxParam("CHANGECOLORSDLG", main, NestingProc, 0);
        events.push_back("dialog returned");
    });
    QTimer guard;   // a request that closes nothing fails the test instead of hanging it
    guard.callOnTimeout([] { platform::PostQuitMessage(9); });
    guard.start(5000);
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_EQ(result, platform::IDCANCEL);
    // The procedure never hears a cancel: the dialog just ends, as the message box before it.
    EXPECT_EQ(events, (std::vector<std::string>{"command 1501", "box returned", "later box returned", "dialog returned", "destroy"}));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    platform::qt::ReleaseWindows();
    platform::qt::ResetEndRequest();
}
