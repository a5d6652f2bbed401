// The program's entry: takes the start directory, makes the Qt application (whole-number screen
// scaling, so that the board's pixels stay crisp) and runs the game's own entry routine. A request
// to end from outside (SIGTERM, SIGINT, SIGHUP) closes the main window like its close box, so the
// settings are written as at any other ending.
#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/qt/qtwindows.h"
#include "shell/cmdline.h"
#include "shell/winmain.h"

namespace {

int signalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    // Only write() is safe here; the event loop reads the byte and does the real work.
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

void CloseOnEndSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
        if (platform::qt::MainWindow* window = platform::qt::TheMainWindow()) window->close();
    });
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (const int code = HandleCommandLine(argc, argv); code >= 0) return code;   // --help, --version
    platform::qt::RememberStartDirectory();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);   // takes the toolkit options that HandleCommandLine let through
    QApplication::setApplicationName(QStringLiteral("Tolbex"));
    CloseOnEndSignals(app);
    const int code = WinMain();
    platform::qt::ReleaseWindows();
    return code;
}
