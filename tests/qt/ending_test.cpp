// An ending requested from outside while modal windows are open: each is cancelled, innermost
// first, a modal window the game opens afterwards returns at once, and the main window is closed
// once, after the last modal window has returned to its caller. On the real game: SIGTERM with the
// colour chooser open over "Change colors" ends the run within a second, settings written.
#include <gtest/gtest.h>

#include <QColorDialog>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <csignal>
#include <filesystem>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "shell/winmain.h"
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

// Calls `action` once the active modal window is a T (given up after 5 s).
template <typename T>
void WhenModalIs(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action, polls = 0]() mutable {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if ((modal && modal->isVisible()) || ++polls > 1000) {
            timer->stop();
            timer->deleteLater();
            if (modal) action(modal);
        }
    });
    timer->start(5);
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

TEST(QtEnding, TermSignalWithTheColourChooserOverChangeColorsEndsTheGameWithinASecond) {
    qttest::App();
    platform::qt::ResetEndRequest();
    QTemporaryDir tmp;
    const std::string home = tmp.path().toStdString() + "/home", config = tmp.path().toStdString() + "/config";
    std::filesystem::copy(std::string(TOLBEX_SOURCE_DIR) + "/data", home, std::filesystem::copy_options::recursive);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
    const std::filesystem::path savedDir = std::filesystem::current_path();
    std::filesystem::current_path(home);
    platform::qt::RememberStartDirectory();
    QObject listener;
    platform::qt::CloseOnEndSignals(listener);

    QElapsedTimer sinceSignal;
    bool chooserSeen = false;
    QTimer watchdog;   // whatever happens, the run ends (and the checks below fail)
    watchdog.callOnTimeout([] { platform::PostQuitMessage(9); });
    watchdog.start(20000);
    QTimer::singleShot(0, [&] {
        qttest::WhenModal([&](QWidget* colours) {
            for (QPushButton* button : colours->findChildren<QPushButton*>())
                if (button->property("controlId").toInt() == IDC_COLORS_BUTTON0)
                    QTimer::singleShot(0, button, &QPushButton::click);
            WhenModalIs<QColorDialog>([&](QColorDialog*) {
                chooserSeen = true;
                sinceSignal.start();
                std::raise(SIGTERM);
            });
        });
        // A right click on the board opens "Change colors".
        QWidget* surface = platform::qt::TheMainWindow()->surfaceWidget();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), surface->mapToGlobal(QPointF(5, 5)),
                          Qt::RightButton, Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &press);
    });
    EXPECT_EQ(WinMain(), 0);
    const qint64 elapsed = sinceSignal.isValid() ? sinceSignal.elapsed() : -1;
    watchdog.stop();
    std::filesystem::current_path(savedDir);
    platform::qt::ReleaseWindows();
    platform::qt::ResetEndRequest();
    std::signal(SIGTERM, SIG_DFL);

    EXPECT_TRUE(chooserSeen);
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 1000);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(std::filesystem::exists(config + "/TOLBEX13.CFG"));
    EXPECT_EQ(std::filesystem::file_size(config + "/TOLBEX13.CFG"), 3640u);
}
