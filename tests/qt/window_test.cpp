// The main window: the board surface shows the Bitmap's pixels (crisp 2 x 2 blocks at a device
// pixel ratio of 2), a quit posted before the loop ends it, and closing destroys only once.
#include <gtest/gtest.h>

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

TEST(QtMainWindow, QuitPostedBeforeTheLoopEndsItWithItsCode) {
    qttest::App();
    platform::PostQuitMessage(3);
    QTimer guard;   // a lost quit fails the test instead of hanging it
    guard.callOnTimeout([] { platform::PostQuitMessage(9); });
    guard.start(1000);
    EXPECT_EQ(platform::RunMessageLoop(), 3);
}

static int destroyed = 0;
static intptr_t ShutDownOnDestroy(platform::Window, uint32_t message, uintptr_t, intptr_t) {
    if (message == platform::WM_DESTROY) destroyed += 1, platform::PostQuitMessage(0);
    return 0;
}

// Closed twice by its close box: one WM_DESTROY; closed after Exit has posted the quit: none.
TEST(QtMainWindow, ClosingDestroysOnceAndExitDoesNotDestroyAgain) {
    qttest::App();
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
