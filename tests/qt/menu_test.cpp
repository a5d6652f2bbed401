// The menu bar: one command per id of the table in resources/menu.h, a pick sending its command,
// and checkmarks that follow CheckMenuItem only. (The bar built from the table, texts and
// mnemonics: the e2e scripts pick Save, Load, Undo, Exit, Use colors, the dead-end warning and
// Change colors by their Alt keys.)
#include <gtest/gtest.h>

#include <QMenuBar>

#include "platform/qt/qtwindows.h"
#include "resources/ids.h"
#include "resources/menu.h"
#include "support.h"

TEST(QtMenu, EachIdHasOneCommandAndChecksFollowCheckMenuItemOnly) {
    qttest::App();
    platform::CreateMainWindow("Tolbex v1.3", qttest::RecordingProc, 0x00C0C0C0);
    platform::qt::MainWindow* main = platform::qt::TheMainWindow();
    ASSERT_EQ(static_cast<size_t>(main->menuBar()->actions().size()), kMainMenuCount);
    size_t ids = 0;   // every id of the table, each with an action of its own
    for (size_t i = 0; i < kMainMenuCount; ++i) {
        ids += kMainMenu[i].id != 0;
        for (size_t k = 0; k < kMainMenu[i].itemCount; ++k) {
            const MenuItem& item = kMainMenu[i].items[k];
            ids += item.items ? item.itemCount : item.id != 0;
        }
    }
    EXPECT_EQ(main->commands.size(), ids);

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
