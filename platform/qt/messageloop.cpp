// The message loop and the timer: RunMessageLoop runs Qt's event loop until the game posts its
// quit, which is queued like a quit message so that one posted before the loop starts still
// ends it; SetTimer starts a QTimer per identifier that delivers WM_TIMER.
#include <QApplication>
#include <QEventLoop>

#include "platform/qt/qtwindows.h"

namespace platform::qt {
namespace {

struct LoopState {
    bool quitPending = false;     // posted and not yet taken by a loop
    int exitCode = 0;
    QEventLoop* running = nullptr;
};

LoopState& Loop() {
    static LoopState state;
    return state;
}

}  // namespace
}  // namespace platform::qt

namespace platform {

using qt::Loop;

int RunMessageLoop() {
    if (!qApp) return 0;
    if (!Loop().quitPending) {
        // A loop of our own rather than QApplication::exec(): a closing window or a nested
        // dialog cannot end it, only the posted quit.
        QEventLoop loop;
        Loop().running = &loop;
        loop.exec();
        Loop().running = nullptr;
    }
    Loop().quitPending = false;   // the quit message has been taken
    return Loop().exitCode;
}

void PostQuitMessage(int exitCode) {
    if (!Loop().quitPending) Loop().exitCode = exitCode;
    Loop().quitPending = true;
    if (qt::MainWindow* main = qt::TheMainWindow()) main->quitPosted = true;
    if (!qApp) return;
    // Queued: whatever the current handler still does runs first, as with a posted message.
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (Loop().running && Loop().quitPending) Loop().running->exit(Loop().exitCode);
        },
        Qt::QueuedConnection);
}

void SetTimer(Window window, unsigned timerId, unsigned periodMs) {
    if (!window || window->kind != WindowObject::Main) return;
    auto* main = static_cast<qt::MainWindow*>(window->widget);
    QTimer*& timer = main->timers[timerId];
    if (!timer) {
        timer = new QTimer(main);
        QObject::connect(timer, &QTimer::timeout, main,
                         [main, timerId] { main->Deliver(WM_TIMER, timerId, 0); });
    }
    timer->start(static_cast<int>(std::max(periodMs, 1u)));
}

void KillTimer(Window window, unsigned timerId) {
    if (!window || window->kind != WindowObject::Main) return;
    auto* main = static_cast<qt::MainWindow*>(window->widget);
    auto it = main->timers.find(timerId);
    if (it == main->timers.end()) return;
    it->second->stop();
    it->second->deleteLater();
    main->timers.erase(it);
}

}  // namespace platform
