// The menu bar against the table in resources/menu.h (texts with mnemonics, ids, order,
// separators, two commands on the bar itself) and checkmarks that follow CheckMenuItem only.
#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "resources/menu.h"
#include "support.h"

TEST(QtMenu, BarFollowsTheTableAndChecksFollowCheckMenuItemOnly) {
    qttest::App();
    platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    platform::qt::MainWindow* main = platform::qt::TheMainWindow();
    const QList<QAction*> bar = main->menuBar()->actions();
    ASSERT_EQ(static_cast<size_t>(bar.size()), kMainMenuCount);
    size_t commands = 0;
    for (size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuEntry& entry = kMainMenu[i];
        const QList<QAction*> items = entry.items ? bar[i]->menu()->actions() : QList<QAction*>{bar[i]};
        ASSERT_EQ(static_cast<size_t>(items.size()), entry.items ? entry.itemCount : 1) << entry.text;
        for (qsizetype k = 0; k < items.size(); ++k) {
            const MenuItem* item = entry.items ? &entry.items[k] : nullptr;
            const int id = item ? item->id : entry.id;
            if (item && item->items) {   // a submenu: its own items, radio marks all off at first
                EXPECT_EQ(items[k]->text(), QString::fromLatin1(item->text));
                ASSERT_TRUE(items[k]->menu());
                const QList<QAction*> sub = items[k]->menu()->actions();
                ASSERT_EQ(static_cast<size_t>(sub.size()), item->itemCount);
                for (qsizetype j = 0; j < sub.size(); ++j) {
                    EXPECT_EQ(sub[j]->text(), QString::fromLatin1(item->items[j].text));
                    EXPECT_EQ(main->commands.at(item->items[j].id), sub[j]);
                    EXPECT_FALSE(sub[j]->isChecked());
                    ++commands;
                }
                continue;
            }
            EXPECT_EQ(items[k]->isSeparator(), id == 0) << entry.text << " " << k;
            if (id == 0) continue;
            EXPECT_EQ(items[k]->text(), QString::fromLatin1(item ? item->text : entry.text));
            EXPECT_EQ(main->commands.at(id), items[k]);
            EXPECT_FALSE(items[k]->isChecked());
            ++commands;
        }
    }
    EXPECT_EQ(main->commands.size(), commands);   // no id is used twice

    qttest::heard.clear();
    main->commands.at(IDM_HINT)->trigger();
    EXPECT_EQ(qttest::heard, (std::vector<qttest::Message>{{platform::WM_COMMAND, IDM_HINT, 0}}));
    // A pick whose procedure does not answer with CheckMenuItem leaves the mark as it was.
    QAction* useColors = main->commands.at(IDM_USE_COLORS);
    for (bool on : {true, false}) {
        platform::CheckMenuItem(&main->handle, IDM_USE_COLORS, on);
        EXPECT_EQ(useColors->isChecked(), on);
        useColors->trigger();
        EXPECT_EQ(useColors->isChecked(), on);
    }
    platform::CheckMenuItem(&main->handle, 9999, true);   // unknown: ignored
    platform::qt::ReleaseWindows();
}
