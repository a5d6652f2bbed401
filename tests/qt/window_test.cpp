// The main window: the board surface shows the Bitmap's pixels (crisp 2 x 2 blocks at a device
// pixel ratio of 2), a quit posted before the loop ends it, closing destroys only once, a held
// timer keeps its beat, and the first-frame tasks wait for a picture.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QThread>

#include "platform/qt/qtwindows.h"
#include "support.h"

TEST(QtMainWindow, SurfaceShowsTheBitmapPixelsCrispAtRatioTwo) {
    qttest::App();
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    platform::FitMainWindow(w, nullptr, 40, 30);
    auto colour = [](int x, int y) { return uint32_t((x * 6) << 16 | (y * 8) << 8 | ((x + y) & 1 ? 0xFF : 0)); };
    platform::DeviceContext dc = platform::GetDC(w);
    ASSERT_TRUE(dc.bitmap && dc.bitmap->width() == 40 && dc.bitmap->height() == 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) dc.bitmap->row(y)[x] = colour(x, y);
    platform::ReleaseDC(w, dc);
    QWidget* board = platform::qt::TheMainWindow()->surfaceWidget();
    ASSERT_EQ(board->size(), QSize(40, 30));
    QImage doubled(80, 60, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2.0);
    board->render(&doubled);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) ASSERT_EQ(doubled.pixel(x, y) & 0xFFFFFF, colour(x / 2, y / 2)) << x << "," << y;
    platform::qt::ReleaseWindows();
}

static int destroyed = 0;
static intptr_t ShutDownOnDestroy(platform::Window, uint32_t message, uintptr_t, intptr_t) {
    if (message == platform::WM_DESTROY) destroyed += 1, platform::PostQuitMessage(0);
    return 0;
}

// A quit posted before the loop ends it with its code. Closed twice by its close box: one
// WM_DESTROY; closed after Exit has posted the quit: none.
TEST(QtMainWindow, QuitEndsTheLoopAndClosingDestroysOnce) {
    qttest::App();
    platform::PostQuitMessage(3);
    QTimer guard;   // a lost quit fails the test instead of hanging it
    guard.callOnTimeout([] { platform::PostQuitMessage(9); });
    guard.start(1000);
    EXPECT_EQ(platform::RunMessageLoop(), 3);
    guard.stop();
    for (bool exitFirst : {false, true}) {
        destroyed = 0;
        platform::ShowWindow(platform::CreateMainWindow("Tolbex v1.3", ShutDownOnDestroy, 0));
        platform::qt::MainWindow* main = platform::qt::TheMainWindow();
        QTimer::singleShot(0, [main, exitFirst] {
            if (exitFirst) platform::PostQuitMessage(0);
            main->close();
            main->show();
            main->close();
        });
        EXPECT_EQ(platform::RunMessageLoop(), 0);
        EXPECT_EQ(destroyed, exitFirst ? 0 : 1);
        platform::qt::ReleaseWindows();
    }
}

static std::vector<qint64> tickTimes;
static QElapsedTimer sinceStart;
static intptr_t TickRecorder(platform::Window, uint32_t message, uintptr_t, intptr_t) {
    if (message == platform::WM_TIMER) tickTimes.push_back(sinceStart.elapsed());
    return 0;
}

// Beats every 200 ms from SetTimer. Held after the first and let run again halfway to the third,
// the timer ticks on the third beat (not 200 ms after it was let run); held again, TickOnce gives
// just the next beat.
TEST(QtMainWindow, HeldTimerKeepsItsBeatAndTicksOnceWhenAsked) {
    qttest::App();
    tickTimes.clear();
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", TickRecorder, 0);
    sinceStart.start();
    platform::SetTimer(w, 7, 200);
    auto waitUntil = [](auto done) {
        for (int i = 0; i < 3000 && !done(); ++i) {
            QApplication::processEvents();
            QThread::msleep(1);
        }
    };
    waitUntil([] { return tickTimes.size() >= 1; });
    platform::HoldTimer(w, 7, true);
    waitUntil([] { return sinceStart.elapsed() >= 500; });
    EXPECT_EQ(tickTimes.size(), 1u);
    const qint64 resumedAt = sinceStart.elapsed();
    platform::HoldTimer(w, 7, false);
    waitUntil([] { return tickTimes.size() >= 2; });
    platform::HoldTimer(w, 7, true);
    platform::TickOnce(w, 7);
    platform::TickOnce(w, 7);   // already asked: still one tick
    waitUntil([] { return sinceStart.elapsed() >= 1300; });
    ASSERT_EQ(tickTimes.size(), 3u);
    auto offBeat = [](qint64 t) { return std::min(t % 200, 200 - t % 200); };
    EXPECT_LE(offBeat(tickTimes[1]), 30) << tickTimes[1];
    EXPECT_LT(tickTimes[1] - resumedAt, 170) << tickTimes[1] << " resumed at " << resumedAt;
    EXPECT_LE(offBeat(tickTimes[2]), 30) << tickTimes[2];
    EXPECT_LT(tickTimes[2] - tickTimes[1], 230);
    platform::KillTimer(w, 7);
    platform::qt::ReleaseWindows();
}

static int tasksRun = 0;
static void CountTask(platform::Window) { ++tasksRun; }

// The tasks wait for the first paint that shows a picture; a later one runs at once (queued); a
// window that never paints runs its tasks a second after they were asked for.
TEST(QtMainWindow, AfterFirstFrameWaitsForTheFirstPicture) {
    qttest::App();
    tasksRun = 0;
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0);
    platform::AfterFirstFrame(w, CountTask);
    platform::ShowWindow(w);   // the procedure draws nothing: no picture yet
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 150) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(tasksRun, 0);
    platform::DeviceContext dc = platform::GetDC(w);
    platform::ReleaseDC(w, dc);
    while (clock.elapsed() < 900 && tasksRun == 0) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(tasksRun, 1);
    platform::AfterFirstFrame(w, CountTask);   // queued, not run inside the call
    EXPECT_EQ(tasksRun, 1);
    QApplication::processEvents();
    EXPECT_EQ(tasksRun, 2);
    platform::qt::ReleaseWindows();

    tasksRun = 0;
    w = platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0);   // never shown
    platform::AfterFirstFrame(w, CountTask);
    clock.restart();
    while (clock.elapsed() < 3000 && tasksRun == 0) QApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(tasksRun, 1);
    EXPECT_GE(clock.elapsed(), 900);
    platform::qt::ReleaseWindows();
}
