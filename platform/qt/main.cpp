// The program's entry: takes the start directory, makes the Qt application (whole-number screen
// scaling, so that the board's pixels stay crisp) and runs the game's own entry routine. A request
// to end from outside (SIGTERM, SIGINT, SIGHUP) cancels any open modal window and then closes the
// main window like its close box, so the settings are written as at any other ending.
#include <QApplication>

#include "platform/qt/qtwindows.h"
#include "shell/cmdline.h"
#include "shell/winmain.h"

int main(int argc, char** argv) {
    if (const int code = HandleCommandLine(argc, argv); code >= 0) return code;   // --help, --version
    platform::qt::RememberStartDirectory();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);   // takes the toolkit options that HandleCommandLine let through
    QApplication::setApplicationName(QStringLiteral("Tolbex"));
    platform::qt::CloseOnEndSignals(app);
    const int code = WinMain();
    platform::qt::ReleaseWindows();
    return code;
}
