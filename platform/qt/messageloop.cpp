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

// The timer's beats stay where SetTimer put them: a held timer let run again (or asked for one
// tick) first waits for its next beat on a single shot, then runs periodic from there.
qt::WindowTimer* FindTimer(Window window, unsigned timerId) {
    if (!window || window->kind != WindowObject::Main) return nullptr;
    auto* main = static_cast<qt::MainWindow*>(window->widget);
    auto it = main->timers.find(timerId);
    return it == main->timers.end() ? nullptr : &it->second;
}

void StartAtNextBeat(qt::WindowTimer& timer) {
    if (timer.once->isActive()) return;
    const qint64 elapsed = timer.origin.elapsed();
    const qint64 next = (elapsed / timer.periodMs + 1) * timer.periodMs;
    timer.once->start(static_cast<int>(next - elapsed));
}

void SetTimer(Window window, unsigned timerId, unsigned periodMs) {
    if (!window || window->kind != WindowObject::Main) return;
    auto* main = static_cast<qt::MainWindow*>(window->widget);
    qt::WindowTimer& timer = main->timers[timerId];
    if (!timer.periodic) {
        timer.periodic = new QTimer(main);
        timer.once = new QTimer(main);
        timer.once->setSingleShot(true);
        QObject::connect(timer.periodic, &QTimer::timeout, main,
                         [main, timerId] { main->Deliver(WM_TIMER, timerId, 0); });
        QObject::connect(timer.once, &QTimer::timeout, main, [main, timerId] {
            qt::WindowTimer& t = main->timers[timerId];
            if (!t.held) t.periodic->start(t.periodMs);
            main->Deliver(WM_TIMER, timerId, 0);
        });
    }
    timer.periodMs = static_cast<int>(std::max(periodMs, 1u));
    timer.held = false;
    timer.once->stop();
    timer.origin.start();
    timer.periodic->start(timer.periodMs);
}

void KillTimer(Window window, unsigned timerId) {
    if (!window || window->kind != WindowObject::Main) return;
    auto* main = static_cast<qt::MainWindow*>(window->widget);
    auto it = main->timers.find(timerId);
    if (it == main->timers.end()) return;
    for (QTimer* timer : {it->second.periodic, it->second.once}) {
        timer->stop();
        timer->deleteLater();
    }
    main->timers.erase(it);
}

void HoldTimer(Window window, unsigned timerId, bool held) {
    qt::WindowTimer* timer = FindTimer(window, timerId);
    if (!timer || timer->held == held) return;
    timer->held = held;
    if (held) {
        timer->periodic->stop();
        timer->once->stop();
    } else {
        StartAtNextBeat(*timer);
    }
}

void TickOnce(Window window, unsigned timerId) {
    qt::WindowTimer* timer = FindTimer(window, timerId);
    if (timer && timer->held) StartAtNextBeat(*timer);
}

}  // namespace platform
