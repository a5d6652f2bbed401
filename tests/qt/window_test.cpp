// The main window of the Qt front end: the board surface shows the Bitmap's pixels (crisp at a
// device pixel ratio of 2), mouse presses and closing become messages, the quit ends the loop
// even when posted before it, the status text is read when the queued call runs, the timer
// ticks, and FitMainWindow sizes and centres the window.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "platform/qt/qtwindows.h"
#include "support.h"

namespace {

using platform::qt::MainWindow;
using qttest::CountHeard;
using qttest::Heard;

MainWindow* MakeWindow() {
    qttest::App();
    Heard().clear();
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    EXPECT_NE(w, nullptr);
    return platform::qt::TheMainWindow();
}

TEST(QtMainWindow, CreationSendsCreateThenShowPaintsOnce) {
    MainWindow* main = MakeWindow();
    ASSERT_EQ(Heard().size(), 1u);
    EXPECT_EQ(Heard()[0].message, platform::WM_CREATE);
    EXPECT_EQ(main->windowTitle(), "Tolbex v1.3");
    EXPECT_FALSE(main->windowIcon().isNull());
    platform::ShowWindow(&main->handle);
    qttest::Settle();
    EXPECT_EQ(CountHeard(platform::WM_PAINT), 1);
    // Showing the surface again (a repaint after ReleaseDC) never runs the game's paint again.
    platform::DeviceContext dc = platform::GetDC(&main->handle);
    platform::ReleaseDC(&main->handle, dc);
    main->surfaceWidget()->repaint();
    qttest::Settle();
    EXPECT_EQ(CountHeard(platform::WM_PAINT), 1);
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, SurfaceShowsTheBitmapPixelsCrispAtRatioTwo) {
    MainWindow* main = MakeWindow();
    platform::FitMainWindow(&main->handle, nullptr, 40, 30);
    platform::DeviceContext dc = platform::GetDC(&main->handle);
    ASSERT_NE(dc.bitmap, nullptr);
    ASSERT_EQ(dc.bitmap->width(), 40);
    ASSERT_EQ(dc.bitmap->height(), 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) dc.bitmap->row(y)[x] = ((x * 6) << 16) | ((y * 8) << 8) | ((x + y) & 1 ? 0xFF : 0);
    platform::ReleaseDC(&main->handle, dc);
    EXPECT_EQ(dc.bitmap, nullptr);
    EXPECT_EQ(main->surfaceWidget()->size(), QSize(40, 30));

    const QImage plain = main->surfaceWidget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(plain.size(), QSize(40, 30));
    const platform::Bitmap& surface = main->Surface();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(plain.pixel(x, y) & 0xFFFFFF, surface.row(y)[x]) << x << "," << y;

    // Rendered for a screen of ratio 2, each board pixel is a 2 x 2 block of its own colour.
    QImage doubled(80, 60, QImage::Format_RGB32);
    doubled.setDevicePixelRatio(2.0);
    doubled.fill(Qt::black);
    main->surfaceWidget()->render(&doubled);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            ASSERT_EQ(doubled.pixel(x, y) & 0xFFFFFF, surface.row(y / 2)[x / 2]) << x << "," << y;
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, MousePressesArriveAsButtonMessagesInBoardPixels) {
    MainWindow* main = MakeWindow();
    platform::FitMainWindow(&main->handle, nullptr, 637, 425);
    QWidget* surface = main->surfaceWidget();
    auto press = [surface](Qt::MouseButton button, QPointF at) {
        QMouseEvent event(QEvent::MouseButtonPress, at, surface->mapToGlobal(at), button, button,
                          Qt::NoModifier);
        QApplication::sendEvent(surface, &event);
    };
    Heard().clear();
    press(Qt::LeftButton, QPointF(300, 211));
    press(Qt::RightButton, QPointF(5, 420));
    press(Qt::MiddleButton, QPointF(5, 5));
    ASSERT_EQ(Heard().size(), 2u);
    EXPECT_EQ(Heard()[0].message, platform::WM_LBUTTONDOWN);
    EXPECT_EQ(Heard()[0].lParam, platform::MakePointParam(300, 211));
    EXPECT_EQ(Heard()[1].message, platform::WM_RBUTTONDOWN);
    EXPECT_EQ(Heard()[1].lParam, platform::MakePointParam(5, 420));
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, FitGivesTheBoardItsSizeAndCentresEvenOffTheScreen) {
    MainWindow* main = MakeWindow();
    platform::Window status = platform::CreateStatusWindow(&main->handle, 2);
    ASSERT_NE(status, nullptr);
    platform::ShowWindow(&main->handle);
    const QRect screen = main->screen()->geometry();
    platform::FitMainWindow(&main->handle, status, 637, 425);
    qttest::Settle();
    EXPECT_EQ(main->surfaceWidget()->size(), QSize(637, 425));
    EXPECT_EQ(main->surfaceWidget()->y(), main->menuBar()->height());
    EXPECT_EQ(main->statusBar()->y(), main->surfaceWidget()->geometry().bottom() + 1);
    const QRect frame = main->frameGeometry();
    EXPECT_NEAR(frame.center().x(), screen.center().x(), 1);
    EXPECT_NEAR(frame.center().y(), screen.center().y(), 1);

    platform::FitMainWindow(&main->handle, status, screen.width() + 101, screen.height() + 51);
    qttest::Settle();
    const QSize outer = main->frameGeometry().size();
    EXPECT_LT(main->frameGeometry().x(), 0);
    // Within the frame's own margin: the offscreen platform nudges a frame by its border width.
    EXPECT_NEAR(main->frameGeometry().x(), screen.x() + (screen.width() - outer.width()) / 2, 2);
    EXPECT_NEAR(main->frameGeometry().y(), screen.y() + (screen.height() - outer.height()) / 2, 2);
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, StatusTextIsReadWhenTheQueuedCallRuns) {
    MainWindow* main = MakeWindow();
    platform::Window status = platform::CreateStatusWindow(&main->handle, 2);
    static char text[101] = "144 Tiles";
    platform::PostStatusText(status, text);
    EXPECT_EQ(main->statusLabel->text(), "");   // not yet: the call is queued
    std::snprintf(text, sizeof text, "142 Tiles                    Chrono : 00:00:07");
    qttest::Settle();
    EXPECT_EQ(main->statusLabel->text(), "142 Tiles                    Chrono : 00:00:07");
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, TimerDeliversTimerMessagesUntilKilled) {
    MainWindow* main = MakeWindow();
    platform::SetTimer(&main->handle, 1050, 10);
    QElapsedTimer clock;
    clock.start();
    while (CountHeard(platform::WM_TIMER) < 2 && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_GE(CountHeard(platform::WM_TIMER), 2);
    for (const qttest::Message& m : Heard()) {
        if (m.message == platform::WM_TIMER) {
            EXPECT_EQ(m.wParam, 1050u);
        }
    }
    platform::KillTimer(&main->handle, 1050);
    const int ticks = CountHeard(platform::WM_TIMER);
    clock.restart();
    while (clock.elapsed() < 60) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_EQ(CountHeard(platform::WM_TIMER), ticks);
    platform::qt::ReleaseWindows();
}

TEST(QtMainWindow, QuitPostedBeforeTheLoopEndsItWithItsCode) {
    qttest::App();
    platform::PostQuitMessage(3);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(platform::RunMessageLoop(), 3);
    EXPECT_LT(clock.elapsed(), 1000);
    // Posted from inside the loop, it ends the loop after the current handler returns.
    QTimer::singleShot(0, [] { platform::PostQuitMessage(4); });
    EXPECT_EQ(platform::RunMessageLoop(), 4);
}

intptr_t ShutDownOnDestroy(platform::Window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    qttest::RecordingProc(nullptr, message, wParam, lParam);
    if (message == platform::WM_DESTROY) platform::PostQuitMessage(0);
    return 0;
}

TEST(QtMainWindow, ClosingDestroysOnceAndExitDoesNotDestroyAgain) {
    qttest::App();
    Heard().clear();
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", ShutDownOnDestroy, 0);
    platform::ShowWindow(w);
    MainWindow* main = platform::qt::TheMainWindow();
    QTimer::singleShot(0, [main] { main->close(); main->show(); main->close(); });
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_EQ(CountHeard(platform::WM_DESTROY), 1);

    // The Exit path: the game shuts down and posts the quit itself; a close that follows is no
    // second destruction.
    Heard().clear();
    w = platform::CreateMainWindow("Tolbex v1.3", ShutDownOnDestroy, 0);
    platform::ShowWindow(w);
    main = platform::qt::TheMainWindow();
    QTimer::singleShot(0, [main] {
        platform::PostQuitMessage(0);
        main->close();
    });
    EXPECT_EQ(platform::RunMessageLoop(), 0);
    EXPECT_EQ(CountHeard(platform::WM_DESTROY), 0);
    platform::qt::ReleaseWindows();
}

}  // namespace
