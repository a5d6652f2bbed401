// A request to end from outside (SIGTERM, SIGINT, SIGHUP) and the modal windows it has to get
// past. Every modal window of the front end runs through RunModal, which keeps them in a stack.
// On a request each open one is cancelled, the innermost first (a colour chooser before the
// colours dialog that opened it), any that the game still opens afterwards is cancelled before
// it shows, and once the last one has returned to the code that opened it the main window is
// closed like its close box: the game shuts down once, settings written, and the loop ends.
#include <QDialog>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "platform/qt/qtwindows.h"

namespace platform::qt {
namespace {

struct Ending {
    bool requested = false;
    bool closePosted = false;
    std::vector<QPointer<QDialog>> modals;   // the open ones, innermost last
};

Ending& E() {
    static Ending ending;
    return ending;
}

int signalPipe[2] = {-1, -1};

void OnEndSignal(int) {
    const char byte = 1;
    // Only write() is safe here; the event loop reads the byte and does the real work.
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &byte, 1);
}

// Queued, so that the handler that opened the last modal window finishes first and the game is
// back in its own loop when it hears of the ending.
void PostMainWindowClose() {
    Ending& e = E();
    if (e.closePosted || !qApp) return;
    e.closePosted = true;
    QMetaObject::invokeMethod(
        qApp,
        [] {
            if (MainWindow* window = TheMainWindow()) window->close();
        },
        Qt::QueuedConnection);
}

void CancelOpenModals() {
    Ending& e = E();
    // Ours first, innermost first; rejecting one hides it and ends its loop at its next turn.
    for (auto it = e.modals.rbegin(); it != e.modals.rend(); ++it)
        if (QDialog* dialog = it->data(); dialog && dialog->isVisible()) dialog->reject();
    // Then any box that Qt itself opened over them (the file chooser asks its own questions).
    for (int guard = 0; guard < 64; ++guard) {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) break;
        dialog->reject();
    }
}

}  // namespace

int RunModal(QDialog& dialog) {
    Ending& e = E();
    if (e.requested) {
        dialog.reject();   // an ending is under way: cancelled before it shows
        return QDialog::Rejected;
    }
    e.modals.emplace_back(&dialog);
    const int result = dialog.exec();
    e.modals.pop_back();
    if (e.requested && e.modals.empty()) PostMainWindowClose();
    return result;
}

void RequestEnd() {
    Ending& e = E();
    e.requested = true;
    CancelOpenModals();
    if (e.modals.empty()) PostMainWindowClose();
}

bool EndRequested() { return E().requested; }

void ResetEndRequest() { E() = Ending{}; }

void CloseOnEndSignals(QObject& owner) {
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &owner);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &byte, 1);
        RequestEnd();
    });
    struct sigaction action = {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace platform::qt
