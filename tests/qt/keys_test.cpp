// The keyboard on the real Qt window, offscreen: each menu shortcut sends exactly the command of
// its menu item and is shown beside it, other keys send nothing; the Tile size items are one
// radio group; a click on a board drawn at 1x, 2x or 3x reaches the game in board pixels.
#include <gtest/gtest.h>

#include <QActionGroup>
#include <QMouseEvent>
#include <QTest>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "support.h"

namespace {

platform::qt::MainWindow* OpenWindow() {
    qttest::App();
    platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    platform::qt::MainWindow* main = platform::qt::TheMainWindow();
    main->show();
    main->activateWindow();
    QApplication::setActiveWindow(main);
    EXPECT_TRUE(QTest::qWaitForWindowActive(main));
    return main;
}

std::vector<qttest::Message> Commands() {
    std::vector<qttest::Message> commands;
    for (const qttest::Message& m : qttest::heard)
        if (m[0] == platform::WM_COMMAND) commands.push_back(m);
    return commands;
}

}  // namespace

TEST(QtKeys, EachShortcutSendsItsMenuItemsCommand) {
    platform::qt::MainWindow* main = OpenWindow();
    struct Key { Qt::Key key; Qt::KeyboardModifiers modifiers; int id; const char* shown; };
    const Key keys[] = {   // the Pause key is a second shortcut of the P item
        {Qt::Key_N, Qt::ControlModifier, IDM_NEW, "Ctrl+N"}, {Qt::Key_Z, Qt::ControlModifier, IDM_UNDO, "Ctrl+Z"},
        {Qt::Key_P, Qt::NoModifier, IDM_PAUSE, "P"},         {Qt::Key_Pause, Qt::NoModifier, IDM_PAUSE, "P"},
        {Qt::Key_H, Qt::NoModifier, IDM_HINT, "H"},          {Qt::Key_F1, Qt::NoModifier, IDM_CONTENTS, "F1"},
        {Qt::Key_Q, Qt::ControlModifier, IDM_EXIT, "Ctrl+Q"},
    };
    for (const Key& k : keys) {
        SCOPED_TRACE(k.shown);
        qttest::heard.clear();
        QTest::keyClick(main, k.key, k.modifiers);
        EXPECT_EQ(Commands(), (std::vector<qttest::Message>{{platform::WM_COMMAND, k.id, 0}}));
        EXPECT_EQ(main->commands.at(k.id)->shortcut().toString(QKeySequence::PortableText), QString::fromLatin1(k.shown));
    }
    // Keys without a shortcut send no command.
    qttest::heard.clear();
    for (Qt::Key key : {Qt::Key_X, Qt::Key_U, Qt::Key_F2}) QTest::keyClick(main, key);
    EXPECT_TRUE(Commands().empty());

    // The Tile size items are one exclusive group of four.
    QActionGroup* group = main->commands.at(IDM_TILE_SIZE_AUTO)->actionGroup();
    ASSERT_TRUE(group && group->actions().size() == 4 && group->isExclusive());
    EXPECT_EQ(main->commands.at(IDM_TILE_SIZE_HUGE)->actionGroup(), group);
    platform::qt::ReleaseWindows();
}

TEST(QtKeys, AClickOnABoardDrawnAtTwoOrThreeReachesTheGameInBoardPixels) {
    platform::qt::MainWindow* main = OpenWindow();
    for (int s : {1, 2, 3}) {
        SCOPED_TRACE(s);
        platform::FitMainWindow(&main->handle, nullptr, 637, 425, s);
        QWidget* surface = main->surfaceWidget();
        EXPECT_EQ(surface->width(), 637 * s);   // the offscreen screen has a pixel ratio of 1
        // Every pixel of a board pixel's block, and the block's neighbours, land where they should.
        for (const QPoint at : {QPoint(100 * s + s - 1, 50 * s + s - 1), QPoint(100 * s + s, 50 * s),
                                QPoint(636 * s + s - 1, 424 * s + s - 1)}) {
            qttest::heard.clear();
            QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), surface->mapToGlobal(QPointF(at)), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(surface, &press);
            EXPECT_EQ(qttest::heard, (std::vector<qttest::Message>{{platform::WM_LBUTTONDOWN, 0,
                                      platform::MakePointParam(at.x() / s, at.y() / s)}})) << at.x() << "," << at.y();
        }
    }
    platform::qt::ReleaseWindows();
}
