// The menu bar, built from the table in resources/menu.h: one QMenu per popup, the two commands
// that stand on the bar as actions of the bar itself, mnemonics from the '&' in each text.
// Checkmarks follow CheckMenuItem alone; a pick never flips one by itself.
#include <QMenuBar>

#include "platform/qt/qtwindows.h"
#include "resources/menu.h"

namespace platform::qt {

namespace {

void AddCommand(MainWindow& window, QAction* action, int id) {
    window.commands[id] = action;
    QObject::connect(action, &QAction::triggered, &window, [&window, id] { window.Command(id); });
}

}  // namespace

void BuildMenu(MainWindow& window) {
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);   // the menu belongs to the window on every desktop
    for (size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuEntry& entry = kMainMenu[i];
        if (!entry.items) {
            AddCommand(window, bar->addAction(FromGame(entry.text)), entry.id);
            continue;
        }
        QMenu* menu = bar->addMenu(FromGame(entry.text));
        for (size_t k = 0; k < entry.itemCount; ++k) {
            const MenuItem& item = entry.items[k];
            if (item.id == 0)
                menu->addSeparator();
            else
                AddCommand(window, menu->addAction(FromGame(item.text)), item.id);
        }
    }
}

}  // namespace platform::qt

namespace platform {

void CheckMenuItem(Window window, int commandId, bool checked) {
    qt::MainWindow* main = window && window->kind == WindowObject::Main
                               ? static_cast<qt::MainWindow*>(window->widget)
                               : qt::TheMainWindow();
    if (!main) return;
    auto it = main->commands.find(commandId);
    if (it == main->commands.end()) return;
    main->checks[commandId] = checked;
    it->second->setCheckable(true);
    it->second->setChecked(checked);
}

}  // namespace platform
