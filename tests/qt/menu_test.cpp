// The menu bar of the Qt front end against the table in resources/menu.h: texts with their
// mnemonics, command ids, order and separators, the two commands on the bar itself, and
// checkmarks that follow CheckMenuItem and nothing else.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "resources/menu.h"
#include "support.h"

namespace {

using platform::qt::MainWindow;
using qttest::Heard;

MainWindow* MakeWindow() {
    qttest::App();
    Heard().clear();
    platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    return platform::qt::TheMainWindow();
}

TEST(QtMenu, BarFollowsTheTable) {
    MainWindow* main = MakeWindow();
    ASSERT_NE(main, nullptr);
    const QList<QAction*> bar = main->menuBar()->actions();
    ASSERT_EQ(static_cast<size_t>(bar.size()), kMainMenuCount);
    size_t commands = 0;
    for (size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuEntry& entry = kMainMenu[i];
        EXPECT_EQ(bar[i]->text(), QString::fromLatin1(entry.text));
        if (!entry.items) {
            EXPECT_EQ(bar[i]->menu(), nullptr) << entry.text;
            EXPECT_EQ(main->commands.at(entry.id), bar[i]);
            ++commands;
            continue;
        }
        ASSERT_NE(bar[i]->menu(), nullptr) << entry.text;
        const QList<QAction*> items = bar[i]->menu()->actions();
        ASSERT_EQ(static_cast<size_t>(items.size()), entry.itemCount) << entry.text;
        for (size_t k = 0; k < entry.itemCount; ++k) {
            if (entry.items[k].id == 0) {
                EXPECT_TRUE(items[k]->isSeparator()) << entry.text << " " << k;
                continue;
            }
            EXPECT_EQ(items[k]->text(), QString::fromLatin1(entry.items[k].text));
            EXPECT_EQ(main->commands.at(entry.items[k].id), items[k]);
            EXPECT_FALSE(items[k]->isChecked());
            EXPECT_TRUE(items[k]->isEnabled());
            ++commands;
        }
    }
    EXPECT_EQ(main->commands.size(), commands);   // no id is used twice
    EXPECT_EQ(bar[1]->text(), "&Layout");
    EXPECT_EQ(bar[4]->text(), "&Hint");
    EXPECT_EQ(bar.back()->text(), "&?");
    platform::qt::ReleaseWindows();
}

TEST(QtMenu, PicksSendTheirCommandAndChecksFollowCheckMenuItemOnly) {
    MainWindow* main = MakeWindow();
    Heard().clear();
    main->commands.at(IDM_HINT)->trigger();
    main->commands.at(IDM_EXIT)->trigger();
    ASSERT_EQ(Heard().size(), 2u);
    EXPECT_EQ(Heard()[0].message, platform::WM_COMMAND);
    EXPECT_EQ(Heard()[0].wParam, static_cast<uintptr_t>(IDM_HINT));
    EXPECT_EQ(Heard()[1].wParam, static_cast<uintptr_t>(IDM_EXIT));

    QAction* useColors = main->commands.at(IDM_USE_COLORS);
    platform::CheckMenuItem(&main->handle, IDM_USE_COLORS, true);
    EXPECT_TRUE(useColors->isCheckable());
    EXPECT_TRUE(useColors->isChecked());
    // A pick whose procedure does not answer with CheckMenuItem leaves the mark as it was.
    useColors->trigger();
    EXPECT_TRUE(useColors->isChecked());
    platform::CheckMenuItem(&main->handle, IDM_USE_COLORS, false);
    EXPECT_FALSE(useColors->isChecked());
    useColors->trigger();
    EXPECT_FALSE(useColors->isChecked());
    // A check on one item touches no other; an unknown id is ignored.
    platform::CheckMenuItem(&main->handle, IDM_NO_MUSIC, true);
    platform::CheckMenuItem(&main->handle, 9999, true);
    EXPECT_TRUE(main->commands.at(IDM_NO_MUSIC)->isChecked());
    EXPECT_FALSE(main->commands.at(IDM_PAUSE_MUSIC)->isChecked());
    EXPECT_FALSE(useColors->isChecked());
    platform::qt::ReleaseWindows();
}

// A procedure that toggles the way the game does: CheckMenuItem from its own flag.
bool flag = false;
intptr_t TogglingProc(platform::Window window, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_COMMAND && wParam == IDM_SHOW_CHRONO) {
        flag = !flag;
        platform::CheckMenuItem(window, IDM_SHOW_CHRONO, flag);
    }
    return 0;
}

TEST(QtMenu, ToggleThroughTheProcedureFlipsTheMarkOncePerPick) {
    qttest::App();
    flag = true;
    platform::Window w = platform::CreateMainWindow("Tolbex v1.3", TogglingProc, 0);
    platform::CheckMenuItem(w, IDM_SHOW_CHRONO, flag);
    QAction* chrono = platform::qt::TheMainWindow()->commands.at(IDM_SHOW_CHRONO);
    for (int i = 0; i < 3; ++i) {
        chrono->trigger();
        EXPECT_EQ(chrono->isChecked(), flag);
    }
    EXPECT_FALSE(flag);
    platform::qt::ReleaseWindows();
}

}  // namespace
