// The whole game on the real Qt window, offscreen: started from a fresh home directory, played
// through the rules down to its last pair, which is then clicked on the board surface; the win
// dialog takes a name, the Top 10 shows it, the layout's scores file gets the new row, and Exit
// ends the run with the settings written.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "board/click.h"
#include "board/deal.h"
#include "board/rules.h"
#include "board/state.h"
#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "shell/winmain.h"
#include "support.h"
#include "tools/play_down.h"

namespace {

// A point on tile t's face (less its top row and left column) that is not on tile other's face.
QPoint ClickPoint(int t, int other) {
    const TileRecord& a = Board.tiles[t];
    const TileRecord& b = Board.tiles[other];
    const int candidates[][2] = {{23, 20}, {10, 6}, {37, 36}, {10, 36}, {37, 6}};
    for (const auto& c : candidates) {
        const int x = a.x + c[0], y = a.y + c[1];
        if (!(b.x + 5 < x && x < b.x + 41 && b.y < y && y < b.y + 40)) return {x, y};
    }
    return {a.x + 23, a.y + 20};
}

void Press(QWidget* surface, QPoint at) {
    QMouseEvent event(QEvent::MouseButtonPress, QPointF(at), surface->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(surface, &event);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(QtGame, AFreshGameWonOnTheWindowWritesItsRowToTheLayoutScores) {
    qttest::App();
    if (qgetenv("SDL_AUDIODRIVER").isEmpty()) qputenv("SDL_AUDIODRIVER", "dummy");
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const std::string home = tmp.path().toStdString() + "/home";
    const std::string config = tmp.path().toStdString() + "/config";
    std::filesystem::copy(std::string(TOLBEX_SOURCE_DIR) + "/data", home,
                          std::filesystem::copy_options::recursive);
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config));
    const std::filesystem::path savedDir = std::filesystem::current_path();
    std::filesystem::current_path(home);
    platform::qt::RememberStartDirectory();

    QString winTitle, topTenFirstRow;
    bool reachedLastPair = false, exitSent = false;
    // Whatever happens, the run ends: a watchdog chooses Exit after 60 s.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "the game did not finish within 60 s";
        if (auto* main = platform::qt::TheMainWindow()) main->commands.at(IDM_EXIT)->trigger();
    });
    watchdog.start(60000);
    QTimer::singleShot(0, [&] {
        platform::qt::MainWindow* main = platform::qt::TheMainWindow();
        auto exit = [&] {
            exitSent = true;
            main->commands.at(IDM_EXIT)->trigger();
        };
        // A deal the search cannot bring down is dealt again in the next second.
        for (int deal = 0; deal < 15 && !reachedLastPair; ++deal) {
            if (deal > 0) {
                QThread::msleep(1100);
                RestartGame(&main->handle);
                DealTiles();
                UpdateFreeFlags();
            }
            reachedLastPair = playdown::PlayDownTo(2, &main->handle, 11 + deal);
        }
        if (!reachedLastPair) {
            ADD_FAILURE() << "no road down to the last pair";
            exit();
            return;
        }
        const MovePair last = Board.moves[0];
        qttest::WhenModal([&](QWidget* win) {
            winTitle = win->windowTitle();
            if (auto* edit = win->findChild<QLineEdit*>()) edit->setText("Qt Winner");
            qttest::WhenModal([&](QWidget* top) {
                for (QLabel* label : top->findChildren<QLabel*>())
                    if (label->property("controlId").toInt() == IDC_TOP_NAME0) topTenFirstRow = label->text();
                QKeyEvent enterTop(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(top, &enterTop);
            });
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(win, &enter);
        });
        Press(main->surfaceWidget(), ClickPoint(last.first, last.second));
        Press(main->surfaceWidget(), ClickPoint(last.second, last.first));   // the win flow runs here
        EXPECT_EQ(GameState.tilesLeft, 0);
        exit();
    });
    const int code = WinMain();
    watchdog.stop();
    std::filesystem::current_path(savedDir);
    if (savedConfig.isNull()) qunsetenv("XDG_CONFIG_HOME"); else qputenv("XDG_CONFIG_HOME", savedConfig);
    platform::qt::ReleaseWindows();

    EXPECT_EQ(code, 0);
    ASSERT_TRUE(exitSent);
    EXPECT_EQ(winTitle, "You win !!!");
    EXPECT_EQ(topTenFirstRow, "Qt Winner");
    const std::string scores = ReadFile(home + "/LAYOUTS/LAYOUT1.txs");
    ASSERT_EQ(scores.size(), 380u);
    EXPECT_STREQ(scores.c_str(), "Qt Winner");   // row 0 opens the file: a time of a few seconds
    EXPECT_EQ(scores.substr(38, 6), "Tolbex");
    EXPECT_EQ(ReadFile(config + "/TOLBEX13.CFG").size(), 3640u);
}

}  // namespace
