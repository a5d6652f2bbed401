// The desktop services: the help window (a browser over the shipped help file, HTML or plain
// text), the start and configuration directories with the Windows buffer rules, and the clock.
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTextBrowser>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/qt/qtwindows.h"

namespace platform::qt {
namespace {

QPointer<QTextBrowser> helpWindow;

struct StartDirectory {
    bool taken = false;
    bool ok = false;
    std::string path;
};

StartDirectory& Start() {
    static StartDirectory start;
    return start;
}

std::string CurrentDirectoryNow(bool& ok) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::current_path(error);
    ok = !error;
    return ok ? path.string() : std::string();
}

// Windows buffer rules: the length copied, or the size needed (with the NUL) when it does not fit.
unsigned CopyOut(const std::string& s, char* buffer, unsigned size) {
    if (!buffer || s.size() + 1 > size) return static_cast<unsigned>(s.size() + 1);
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return static_cast<unsigned>(s.size());
}

}  // namespace

void RememberStartDirectory() {
    StartDirectory& start = Start();
    start.path = CurrentDirectoryNow(start.ok);
    start.taken = true;
}

void ReleaseHelpWindow() { delete helpWindow.data(); }

}  // namespace platform::qt

namespace platform {

void WinHelp(Window owner, const char* helpFilePath) {
    if (!qApp) return;
    const QString path = qt::FromGame(helpFilePath);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Tolbex Help"),
                        QStringLiteral("Cannot open the help file\n%1").arg(path), QMessageBox::Ok,
                        qt::OwnerWidget(owner));
        qt::ActivateWhenShown(&box);
        qt::RunModal(box);
        return;
    }
    const QString content = QString::fromUtf8(file.readAll());
    if (!qt::helpWindow) {
        // Its own top-level window, open beside the game until the player closes it.
        qt::helpWindow = new QTextBrowser;
        qt::helpWindow->setAttribute(Qt::WA_DeleteOnClose);
        qt::helpWindow->setWindowTitle(QStringLiteral("Tolbex Help"));
        qt::helpWindow->setWindowIcon(qt::AppIcon());
        qt::helpWindow->setOpenExternalLinks(true);
        qt::helpWindow->resize(600, 520);
        if (QScreen* screen = QGuiApplication::primaryScreen())
            qt::helpWindow->move(screen->availableGeometry().center() - qt::helpWindow->rect().center());
    }
    qt::helpWindow->setSearchPaths({QFileInfo(path).absolutePath()});
    if (Qt::mightBeRichText(content))
        qt::helpWindow->setHtml(content);
    else
        qt::helpWindow->setPlainText(content);
    qt::helpWindow->show();
    qt::helpWindow->raise();
    qt::helpWindow->activateWindow();
}

unsigned GetCurrentDirectory(unsigned bufferSize, char* buffer) {
    const qt::StartDirectory& start = qt::Start();
    bool ok = start.ok;
    const std::string path = start.taken ? start.path : qt::CurrentDirectoryNow(ok);
    if (!ok) return 0;
    return qt::CopyOut(path, buffer, bufferSize);
}

// The XDG configuration directory ($XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config), made when it does not exist yet so that the settings file can be written there.
unsigned GetWindowsDirectory(char* buffer, unsigned bufferSize) {
    std::string dir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return 0;
        dir = std::string(home) + "/.config";
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return qt::CopyOut(dir, buffer, bufferSize);
}

int64_t Time() { return static_cast<int64_t>(std::time(nullptr)); }

}  // namespace platform
