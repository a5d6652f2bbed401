// Shared by the tests of the Qt front end: one offscreen QApplication for the whole program, a
// window procedure that records what it hears, and a way to act on a modal window once it is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/platform.h"

namespace qttest {

struct Message {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// Creates the application on first use (offscreen unless the caller chose a platform).
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "tolbex_qt_tests";
    static char* argv[] = {name, nullptr};
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline std::vector<Message>& Heard() {
    static std::vector<Message> heard;
    return heard;
}

inline intptr_t RecordingProc(platform::Window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    Heard().push_back({message, wParam, lParam});
    return 0;
}

inline int CountHeard(uint32_t message) {
    int n = 0;
    for (const Message& m : Heard()) n += m.message == message;
    return n;
}

// Runs `action` on the active modal window as soon as one is showing (polled every 5 ms, given
// up after 5 s so that a broken dialog fails the test instead of hanging it).
inline void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    auto started = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, action, started] {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal && modal->isVisible()) || ++*started > 1000) {
            timer->stop();
            timer->deleteLater();
            if (modal) action(modal);
        }
    });
    timer->start(5);
}

// Lets queued calls and posted events run.
inline void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace qttest
