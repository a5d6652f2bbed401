// What the Qt front end's files share: the window handle behind platform::Window, the main
// window with its board surface, menu, status bar and timers, and the few helpers that turn
// the game's texts and owners into Qt's. Included only inside platform/qt/ and tests/qt/.
#pragma once

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/platform.h"

namespace platform {

// A platform::Window points at one of these; the widget it names lives as long as the window.
struct WindowObject {
    enum Kind { Main, Status, Dialog } kind;
    QWidget* widget = nullptr;
};

}  // namespace platform

namespace platform::qt {

class MainWindow;

// A window timer: a periodic QTimer that can be held without losing its beat.
struct WindowTimer {
    QTimer* periodic = nullptr;
    QTimer* once = nullptr;        // the next beat, for a timer let run again or asked to tick once
    QElapsedTimer origin;          // the beats fall at origin + k * periodMs
    int periodMs = 1;
    bool held = false;
};

// The client area: shows the window's Bitmap as it is and turns mouse presses into messages.
class SurfaceWidget : public QWidget {
public:
    explicit SurfaceWidget(MainWindow& owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MainWindow& owner_;
};

class MainWindow : public QMainWindow {
public:
    MainWindow(const char* title, WindowProc proc, uint32_t backgroundColor);

    // Calls the game's window procedure; 0 when there is none.
    intptr_t Deliver(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
    // A menu pick: puts back the checkmark Qt flipped by itself, then sends WM_COMMAND.
    void Command(int id);
    // Makes the surface (width x scale) x (height x scale) device pixels (keeping what fits of
    // the old picture), the board area width x height times scale / pixel ratio logical pixels,
    // and centres.
    void Fit(int width, int height, int scale = 1);
    int DrawScale() const { return scale_; }
    // After a move to a screen of another pixel ratio: WM_DISPLAYCHANGE, so that the game draws
    // at the new scale. A screen of the same ratio changes nothing.
    void ScreenChanged();
    // The window's size beyond the board area, in logical pixels (an allowance for the frame
    // before the window is first shown).
    QSize FrameExtra() const;
    void Centre();

    Bitmap& Surface() { return *surface_; }
    SurfaceWidget* surfaceWidget() { return surfaceWidget_; }

    WindowObject handle{WindowObject::Main, nullptr};
    WindowObject statusHandle{WindowObject::Status, nullptr};
    QPointer<QLabel> statusLabel;
    std::map<int, QAction*> commands;        // menu command id -> its action
    std::map<int, bool> checks;              // the checkmarks as CheckMenuItem last set them
    std::map<unsigned, WindowTimer> timers;
    std::vector<void (*)(Window)> firstFrameTasks;   // AfterFirstFrame's, until the first frame
    bool framed = false;                     // the first picture has been painted
    bool destroyed = false;                  // WM_DESTROY has been delivered
    bool quitPosted = false;                 // the loop is ending: no WM_DESTROY any more
    int presents = 0;                        // ReleaseDC calls: the surface holds a picture
    bool reportFirstPaint = false;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    WindowProc proc_;
    uint32_t backgroundPixel_;
    std::unique_ptr<Bitmap> surface_;
    SurfaceWidget* surfaceWidget_;
    int scale_ = 1;                          // surface pixels per board pixel
    int fitRatio_ = 1;                       // the whole pixel ratio at the last Fit
};

// COLORREF (0x00BBGGRR) to and from a Qt colour.
QColor FromColorRef(uint32_t colorRef);
uint32_t ToColorRef(const QColor& colour);

// Runs the tasks AfterFirstFrame queued, once.
void RunFirstFrameTasks(MainWindow& window);

// The main window made by CreateMainWindow, or null.
MainWindow* TheMainWindow();
// Deletes the main window and the help window (end of the run, and between tests). No message
// reaches the window procedure.
void ReleaseWindows();
void ReleaseHelpWindow();
// Builds the menu bar of resources/menu.h on the window.
void BuildMenu(MainWindow& window);
// The program's icon, drawn in code: a small tile with a red dot.
QIcon AppIcon();
// Remembers the current directory as the start directory (main() calls it first thing).
void RememberStartDirectory();

// Gives `window` the keyboard focus each time it is shown: a modal window takes the keys at
// once, also on a desktop without a window manager to hand them over.
void ActivateWhenShown(QWidget* window);

// The widget a handle names, to parent a modal window on; the main window when the handle is
// null. Null when there is no visible owner, so that the window centres on the screen.
QWidget* OwnerWidget(Window owner);
// The game's texts are 8-bit strings in the local (UTF-8) encoding, paths included.
QString FromGame(const char* text);
QByteArray ToGame(const QString& text);
// Copies `text` into a buffer of `size` bytes, cut at a whole character; returns bytes copied.
unsigned CopyToBuffer(const QByteArray& text, char* buffer, int size);

// Runs a modal window to its end and returns its result; every modal window goes through it, so
// that an ending requested from outside can cancel them all (platform/qt/ending.cpp).
int RunModal(QDialog& dialog);
// Cancels every open modal window, then closes the main window once they have all returned.
void RequestEnd();
bool EndRequested();
void ResetEndRequest();   // between tests
// SIGTERM, SIGINT and SIGHUP become RequestEnd, run by the event loop; `owner` keeps the listener.
void CloseOnEndSignals(QObject& owner);

// The control of a modal dialog with that identifier (tests look at them), or null.
QWidget* DialogControl(Window dialog, int controlId);

}  // namespace platform::qt
