// The menu bar, built from the table in resources/menu.h: one QMenu per popup and per submenu,
// the two commands that stand on the bar as actions of the bar itself, mnemonics from the '&' in
// each text, shortcuts from the table shown beside the items, and one exclusive group for each
// run of radio items. Checkmarks follow CheckMenuItem alone; a pick never flips one by itself.
#include <QActionGroup>
#include <QMenuBar>

#include "platform/qt/qtwindows.h"
#include "resources/menu.h"

namespace platform::qt {

namespace {

// "Ctrl+N" -> one key; "P|Pause" -> two keys for the same command, the first one shown.
QList<QKeySequence> Shortcuts(const char* text) {
    QList<QKeySequence> keys;
    if (!text) return keys;
    for (const QString& part : QString::fromLatin1(text).split(QLatin1Char('|'), Qt::SkipEmptyParts))
        keys.append(QKeySequence::fromString(part, QKeySequence::PortableText));
    return keys;
}

void AddCommand(MainWindow& window, QAction* action, int id, const char* shortcut) {
    window.commands[id] = action;
    action->setShortcuts(Shortcuts(shortcut));
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &window, [&window, id] { window.Command(id); });
}

void AddItems(MainWindow& window, QMenu* menu, const MenuItem* items, size_t count) {
    QActionGroup* group = nullptr;
    for (size_t k = 0; k < count; ++k) {
        const MenuItem& item = items[k];
        if (item.items) {
            AddItems(window, menu->addMenu(FromGame(item.text)), item.items, item.itemCount);
            group = nullptr;
        } else if (item.id == 0) {
            menu->addSeparator();
            group = nullptr;
        } else {
            QAction* action = menu->addAction(FromGame(item.text));
            AddCommand(window, action, item.id, item.shortcut);
            if (!item.radio) {
                group = nullptr;
                continue;
            }
            if (!group) {
                group = new QActionGroup(menu);
                group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            }
            action->setCheckable(true);
            group->addAction(action);
        }
    }
}

}  // namespace

void BuildMenu(MainWindow& window) {
    QMenuBar* bar = window.menuBar();
    bar->setNativeMenuBar(false);   // the menu belongs to the window on every desktop
    for (size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuEntry& entry = kMainMenu[i];
        if (!entry.items) {
            AddCommand(window, bar->addAction(FromGame(entry.text)), entry.id, entry.shortcut);
            continue;
        }
        AddItems(window, bar->addMenu(FromGame(entry.text)), entry.items, entry.itemCount);
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
