// The game's whole contract with the desktop: windows, menus, dialogs, message boxes, the timer,
// file and colour choosers, sound, help, directories and the clock. Each call is shaped like the
// Windows call the game was designed around; platform/qt/ implements it on Qt and SDL, and
// platform/fake/ implements it headlessly for the tests. Nothing here includes a toolkit header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

class Bitmap;                  // platform/bitmap.h
struct DeviceContext;          // platform/bitmap.h

// An opaque handle on a window: the main window, the status bar, a dialog or a dialog's control.
struct WindowObject;
using Window = WindowObject*;

// Window messages, with their Windows numbers.
constexpr uint32_t WM_CREATE = 1;
constexpr uint32_t WM_DESTROY = 2;
constexpr uint32_t WM_PAINT = 15;
constexpr uint32_t WM_CLOSE = 16;
constexpr uint32_t WM_DISPLAYCHANGE = 126;   // the window's screen now has another pixel ratio
constexpr uint32_t WM_INITDIALOG = 272;
constexpr uint32_t WM_COMMAND = 273;
constexpr uint32_t WM_TIMER = 275;
constexpr uint32_t WM_LBUTTONDOWN = 513;
constexpr uint32_t WM_RBUTTONDOWN = 516;

constexpr int IDCANCEL = 2;    // Escape in a dialog reaches its procedure as this command

// Message-box styles.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// Open-file dialog flags (only the ones the game sets).
constexpr unsigned OFN_OVERWRITEPROMPT = 0x0002;
constexpr unsigned OFN_SHOWHELP = 0x0010;
constexpr unsigned OFN_PATHMUSTEXIST = 0x0800;
constexpr unsigned OFN_FILEMUSTEXIST = 0x1000;

using WindowProc = intptr_t (*)(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
using DialogProc = intptr_t (*)(Window dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Packs a client point the way a mouse message carries it in lParam (x low, y high, signed 16 bits).
inline intptr_t MakePointParam(int x, int y) {
    return static_cast<intptr_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                                 static_cast<uint16_t>(x));
}

// ---- Main window and message loop (shell/winmain.cpp) --------------------------------------
// Creates the fixed-size main window with the menu of resources/menu.h and a background colour
// (COLORREF); `proc` receives WM_CREATE before this returns. Null when no window can be made.
Window CreateMainWindow(const char* title, WindowProc proc, uint32_t backgroundColor);
void ShowWindow(Window window);                    // shows the window and paints it once
int RunMessageLoop();                              // until the quit message; returns its code
void PostQuitMessage(int exitCode);                // honoured even when posted before the loop
// Sizes the window so that its client area shows exactly width x height board pixels above the
// status bar, each drawn as scale x scale pixels, and centres it on the screen (SizeMainWindow).
// The bitmap GetDC gives is then (width x scale) x (height x scale); mouse messages still carry
// board pixels (the position on that bitmap divided by scale). The window is not resizable.
void FitMainWindow(Window window, Window statusBar, int width, int height, int scale = 1);

// The room a main window has: the screen's available area and the window's size beyond its
// client area (frame, menu bar, status bar), in the desktop's logical pixels, and the whole
// number of device pixels a logical pixel covers.
struct ScreenArea {
    int availableWidth;
    int availableHeight;
    int frameWidth;
    int frameHeight;
    int pixelRatio;
};
ScreenArea GetScreenArea(Window window);

// Drawing into a window: the client area is a bitmap; ReleaseDC puts what was drawn on screen.
DeviceContext GetDC(Window window);
void ReleaseDC(Window window, DeviceContext& dc);

// ---- Menu (shell) ----------------------------------------------------------------------------
void CheckMenuItem(Window window, int commandId, bool checked);

// ---- Status bar (shell/statusbar.cpp) ---------------------------------------------------------
Window CreateStatusWindow(Window parent, int controlId);
// SB_SETTEXT posted: the text is copied when the queued call runs, so the latest text wins.
void PostStatusText(Window statusBar, const char* text);

// ---- Timer (shell) ---------------------------------------------------------------------------
void SetTimer(Window window, unsigned timerId, unsigned periodMs);   // delivers WM_TIMER
void KillTimer(Window window, unsigned timerId);
// Holds a timer's WM_TIMER (held) or lets it run again. A held timer keeps its beat: let run
// again, it ticks when it would have ticked had it never been held. TickOnce makes a held timer
// deliver its next beat and no more.
void HoldTimer(Window window, unsigned timerId, bool held);
void TickOnce(Window window, unsigned timerId);

// ---- Start-up (shell/winmain.cpp) -------------------------------------------------------------
// Runs task(window) once, when the main window has put its first picture on the screen (at once
// on a front end without a screen): what the first picture does not need waits for it.
void AfterFirstFrame(Window window, void (*task)(Window window));

// ---- Message boxes (every subsystem) --------------------------------------------------------
int MessageBox(Window owner, const char* text, const char* caption, unsigned style);

// ---- Modal dialogs built from resources/dialogs.h --------------------------------------------
// Sends WM_INITDIALOG (lParam = param), then WM_COMMAND for its buttons (Enter = the default
// button, Escape = IDCANCEL) and WM_PAINT, until the procedure calls EndDialog.
intptr_t DialogBoxParam(const char* templateName, Window owner, DialogProc proc, intptr_t param);
bool EndDialog(Window dialog, intptr_t result);
void SetDlgItemText(Window dialog, int controlId, const char* text);
// Copies at most maxCount - 1 characters and a NUL; returns the number copied.
unsigned GetDlgItemText(Window dialog, int controlId, char* buffer, int maxCount);
// Fills a static control with a solid colour at once (the colour swatches).
void FillDlgItem(Window dialog, int controlId, uint32_t colorRef);

// ---- File and colour choosers ------------------------------------------------------------------
// What a file chooser shows beside its list for the highlighted file, filled by the core.
struct FilePreview {
    const Bitmap* picture = nullptr;      // owned by the core, valid until the next call; null: none
    char text[640] = {};                  // lines separated by '\n'
};
using FilePreviewProc = void (*)(const char* path, FilePreview& preview);

struct OpenFileName {
    Window owner = nullptr;
    const char* filterName = nullptr;     // "Layouts (*.TXL)"
    const char* filterPattern = nullptr;  // "*.TXL"; matched without regard to case
    bool allFilesFilter = false;          // adds "All files (*.*)" after the first filter
    int filterIndex = 1;
    char* file = nullptr;                 // in: initial name (usually empty); out: full path
    size_t fileSize = 0;                  // the buffer's size (500)
    const char* initialDir = nullptr;
    const char* title = nullptr;          // null: the system's default title
    unsigned flags = 0;
    const char* defExt = nullptr;         // appended when the typed name has no extension
    const char* filter2Name = nullptr;    // a second filter after the first one, or null
    const char* filter2Pattern = nullptr; // "*.layout;*.map"
    FilePreviewProc preview = nullptr;    // open chooser: called for each highlighted file
};
bool GetOpenFileName(OpenFileName& ofn);  // true when a file was chosen
bool GetSaveFileName(OpenFileName& ofn);  // asks before overwriting when OFN_OVERWRITEPROMPT

// A short list to pick one item from; the index chosen, or -1 when the player cancelled.
int ChooseFromList(Window owner, const char* title, const char* prompt, const char* const* items, int count);

// Runs the colour chooser; true and *result set when a colour was chosen.
bool ChooseColor(Window owner, uint32_t customColors[16], uint32_t* result);

// ---- Sound and music (shell/music.cpp, options/sounds.cpp, board/click.cpp) --------------------
void PlaySound(const char* path);                  // sndPlaySound(path, SND_ASYNC)
unsigned WaveOutGetNumDevs();
unsigned MciSendString(const char* command);       // open / play / pause / close on the sequencer

// ---- Help (shell/about.cpp) ------------------------------------------------------------------
void WinHelp(Window owner, const char* helpFilePath);

// ---- Work away from the UI thread (shell/deadends.cpp) ----------------------------------------
// Runs work(context) on a worker thread, then done(context) on the UI thread from the message
// loop, so that the window keeps answering while the work runs. Jobs may run side by side; work
// must touch nothing but its context. The fake runs work and then done at once, in the call.
using BackgroundRoutine = void (*)(void* context);
void RunInBackground(BackgroundRoutine work, BackgroundRoutine done, void* context);

// ---- Directories and clock -----------------------------------------------------------------
// Windows semantics: on success the length copied (without the NUL); when the buffer is too
// small nothing is copied and the size needed (with the NUL) is returned; 0 on failure.
unsigned GetCurrentDirectory(unsigned bufferSize, char* buffer);
unsigned GetWindowsDirectory(char* buffer, unsigned bufferSize);  // the config directory
int64_t Time();                                                   // calendar time in seconds

}  // namespace platform
