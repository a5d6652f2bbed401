// A whole game on the real Qt window, offscreen, from a fresh home directory: played down by the
// rules to its last pair, which is clicked on the board surface; the win dialog takes a name, the
// Top 10 shows it, the layout's scores file gets the row, and Exit writes the settings.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>
#include <filesystem>

#include "board/deal.h"
#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "shell/winmain.h"
#include "support.h"
#include "tests/files.h"
#include "tools/play_down.h"

// A point on tile t's face (less its top row and left column) that is not on tile other's face.
static QPoint ClickPoint(int t, int other) {
    const TileRecord &a = Board.tiles[t], &b = Board.tiles[other];
    for (const auto& c : {QPoint(23, 20), QPoint(10, 6), QPoint(37, 36), QPoint(10, 36), QPoint(37, 6)}) {
        const int x = a.x + c.x(), y = a.y + c.y();
        if (!(b.x + 5 < x && x < b.x + 41 && b.y < y && y < b.y + 40)) return {x, y};
    }
    return {a.x + 23, a.y + 20};
}

static void Press(QWidget* surface, QPoint at) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), surface->mapToGlobal(QPointF(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &event);
}

TEST(QtGame, AFreshGameWonOnTheWindowWritesItsRowToTheLayoutScores) {
    qttest::App();
    QTemporaryDir tmp;
    const std::string home = tmp.path().toStdString() + "/home", config = tmp.path().toStdString() + "/config";
    std::filesystem::copy(std::string(TOLBEX_SOURCE_DIR) + "/data", home, std::filesystem::copy_options::recursive);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
    const std::filesystem::path savedDir = std::filesystem::current_path();
    std::filesystem::current_path(home);
    platform::qt::RememberStartDirectory();

    QString winTitle, topTenFirstRow;
    QTimer watchdog;   // whatever happens, the run ends (and the checks below fail)
    watchdog.callOnTimeout([] { platform::qt::TheMainWindow()->commands.at(IDM_EXIT)->trigger(); });
    watchdog.start(60000);
    QTimer::singleShot(0, [&] {
        platform::qt::MainWindow* main = platform::qt::TheMainWindow();
        bool lastPair = false;
        // A deal the search cannot bring down is dealt again in the next second.
        for (int deal = 0; deal < 40 && !lastPair; ++deal) {
            if (deal > 0) {
                QThread::msleep(1100);
                RestartGame(&main->handle);
                DealTiles();
                UpdateFreeFlags();
            }
            lastPair = playdown::PlayDownTo(2, &main->handle, 11 + deal);
        }
        if (!lastPair) return main->commands.at(IDM_EXIT)->trigger();   // no road down: the checks below fail
        auto enter = [](QWidget* w) { QKeyEvent e(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier); QApplication::sendEvent(w, &e); };
        qttest::WhenModal([&](QWidget* win) {
            winTitle = win->windowTitle();
            if (auto* edit = win->findChild<QLineEdit*>()) edit->setText("Qt Winner");
            qttest::WhenModal([&, enter](QWidget* top) {
                for (QLabel* label : top->findChildren<QLabel*>())
                    if (label->property("controlId").toInt() == IDC_TOP_NAME0) topTenFirstRow = label->text();
                enter(top);
            });
            enter(win);
        });
        const MovePair last = Board.moves[0];
        Press(main->surfaceWidget(), ClickPoint(last.first, last.second));
        Press(main->surfaceWidget(), ClickPoint(last.second, last.first));   // the win flow runs here
        EXPECT_EQ(GameState.tilesLeft, 0);
        main->commands.at(IDM_EXIT)->trigger();
    });
    EXPECT_EQ(WinMain(), 0);
    watchdog.stop();
    std::filesystem::current_path(savedDir);
    platform::qt::ReleaseWindows();

    EXPECT_EQ(winTitle, "You win !!!");
    EXPECT_EQ(topTenFirstRow, "Qt Winner");
    EXPECT_EQ(std::filesystem::file_size(config + "/TOLBEX13.CFG"), 3640u);
    // Row 0 (a time of a few seconds) opens the file, row 1 follows 38 bytes on.
    const std::string scores = testfiles::ReadAll(home + "/LAYOUTS/LAYOUT1.txs");
    ASSERT_EQ(scores.size(), 380u);
    EXPECT_STREQ(scores.c_str(), "Qt Winner");
    EXPECT_STREQ(scores.c_str() + 38, "Tolbex");
}
