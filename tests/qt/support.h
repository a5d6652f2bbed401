// Shared by the Qt front end tests: one offscreen QApplication, a window procedure that records
// what it hears, and a way to act on a modal window once it is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "platform/platform.h"

namespace qttest {

using Message = std::array<intptr_t, 3>;   // message, wParam, lParam

inline QApplication& App() {
    static int argc = 1;
    static char* argv[] = {const_cast<char*>("tolbex_qt_tests"), nullptr};
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

inline std::vector<Message> heard;
inline intptr_t RecordingProc(platform::Window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    heard.push_back({intptr_t(message), intptr_t(wParam), lParam});
    return 0;
}

// Runs `action` on the modal window once one shows (given up after 5 s, so that a broken dialog
// fails the test instead of hanging it).
inline void WhenModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, action, polls = 0]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if ((modal && modal->isVisible()) || ++polls > 1000) {
            timer->stop();
            timer->deleteLater();
            if (modal) action(modal);
        }
    });
    timer->start(5);
}

}  // namespace qttest
