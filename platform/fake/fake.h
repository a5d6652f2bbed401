// The headless front end for tests: no window, a log of every message box, scripted answers for
// the file, colour and modal dialogs, a settable clock, directories and wave-device count, and a
// record of what the game asked of the menu, the status bar, the timer and the sound service.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/platform.h"

namespace fake {

struct MessageRecord {
    std::string text;
    std::string caption;
    unsigned style;
};

struct FileDialogRecord {
    bool save;
    std::string filterName, filterPattern, initialDir, title, defExt;
    bool allFilesFilter;
    int filterIndex;
    unsigned flags;
    std::string filter2Name, filter2Pattern;
    std::string previewText;            // what the preview gave for the chosen file
    int previewWidth = 0, previewHeight = 0;   // its picture, 0 x 0 when none
};

struct ListRecord {
    std::string title, prompt;
    std::vector<std::string> items;
};

// A modal dialog as the fake runs it: its template name and its controls' texts.
struct FakeDialog {
    std::string name;
    std::map<int, std::string> texts;
    std::map<int, uint32_t> fills;     // FillDlgItem colours
    platform::DialogProc proc = nullptr;
    bool ended = false;
    intptr_t result = 0;
};
using DialogScript = std::function<void(platform::Window dialog, FakeDialog& state)>;

// Clears every record and script and puts the defaults back (current directory "/tmp/tolbex-home",
// config directory "/tmp/tolbex-config", time 1000000, one wave device, a 1024 x 768 screen).
void Reset();
// Empties the records and the queued answers, freeing their memory, and keeps the rest (the
// window surface among it): for loops that run the game many times in one process.
void ClearRecords();

// ---- Settable environment
void SetCurrentDirectory(const std::string& dir);
void SetConfigDirectory(const std::string& dir);
void SetTime(int64_t seconds);
void SetWaveDevices(unsigned count);
void SetScreenArea(const platform::ScreenArea& area);   // default 1024 x 768, no frame, ratio 1

// ---- Scripts, consumed in order; with none queued a file dialog is cancelled, a colour
// chooser is cancelled and a modal dialog is closed by its default button.
void QueueFileAnswer(std::optional<std::string> path);   // nullopt = cancel
void QueueColorAnswer(std::optional<uint32_t> colorRef);
void QueueDialogScript(DialogScript script);
void QueueListAnswer(int index);                          // -1 = cancel; none queued = cancel
// Helpers for dialog scripts: type into a control, press a button (sends WM_COMMAND), repaint.
void TypeText(platform::Window dialog, int controlId, const std::string& text);
void PressButton(platform::Window dialog, int controlId);
void PaintDialog(platform::Window dialog);

// ---- Records
const std::vector<MessageRecord>& Messages();
const std::vector<FileDialogRecord>& FileDialogs();
const std::vector<FakeDialog>& DialogsRun();
const std::vector<ListRecord>& ListsShown();     // state of each dialog when it closed
const std::vector<std::string>& SoundsPlayed();
const std::vector<std::string>& MciCommands();
const std::vector<std::string>& HelpRequests();
int ColorChooserRuns();
bool IsChecked(int commandId);                   // the menu checkmark as last set
bool WasCheckSet(int commandId);                 // CheckMenuItem was ever called for it
std::string StatusText();                        // the status text as last posted
bool TimerRunning(unsigned timerId);
bool TimerHeld(unsigned timerId);               // HoldTimer(held) since SetTimer
int TicksOnce(unsigned timerId);                 // TickOnce calls
std::optional<int> QuitPosted();
int WindowWidth();                               // client size set by FitMainWindow
int WindowHeight();
int WindowScale();                               // the drawing scale FitMainWindow was given
int PresentCount();                              // ReleaseDC calls on the main window

// The main window the fake made, and its client-area bitmap.
platform::Window MainWindow();
platform::Bitmap& Surface();
// Delivers a message to the main window's procedure as the message loop would.
intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

}  // namespace fake
