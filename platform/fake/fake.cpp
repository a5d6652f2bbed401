// The headless implementation of the platform layer (see fake.h).
#include "platform/fake/fake.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>

#include "resources/dialogs.h"

namespace platform {
struct WindowObject {
    enum Kind { Main, Status, Dialog } kind;
    fake::FakeDialog* dialog = nullptr;
};
}  // namespace platform

namespace fake {
namespace {

struct World {
    std::string currentDir = "/tmp/tolbex-home";
    std::string configDir = "/tmp/tolbex-config";
    int64_t time = 1000000;
    unsigned waveDevices = 1;
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<uint32_t>> colorAnswers;
    std::deque<DialogScript> dialogScripts;
    std::deque<int> listAnswers;
    std::vector<ListRecord> lists;
    std::vector<MessageRecord> messages;
    std::vector<FileDialogRecord> fileDialogs;
    std::vector<FakeDialog> dialogsRun;
    std::vector<std::string> sounds, mci, help;
    int colorRuns = 0;
    std::map<int, bool> checks;
    std::string status;
    std::map<unsigned, bool> timers;
    std::map<unsigned, bool> held;
    std::map<unsigned, int> ticksOnce;
    std::optional<int> quit;
    int width = 0, height = 0, scale = 1, presents = 0;
    // A 1024 x 768 screen without frame: the default board fits only at Normal.
    platform::ScreenArea screen{1024, 768, 0, 0, 1};
    platform::WindowProc proc = nullptr;
    platform::WindowObject main{platform::WindowObject::Main};
    platform::WindowObject statusBar{platform::WindowObject::Status};
    std::unique_ptr<platform::Bitmap> surface;
};

World& W() {
    static World world;
    return world;
}

unsigned CopyOut(const std::string& s, char* buffer, unsigned size) {
    if (s.size() + 1 > size) return static_cast<unsigned>(s.size() + 1);
    std::memcpy(buffer, s.c_str(), s.size() + 1);
    return static_cast<unsigned>(s.size());
}

bool RunFileDialog(platform::OpenFileName& ofn, bool save) {
    auto str = [](const char* s) { return std::string(s ? s : ""); };
    W().fileDialogs.push_back({save, str(ofn.filterName), str(ofn.filterPattern), str(ofn.initialDir),
                               str(ofn.title), str(ofn.defExt), ofn.allFilesFilter, ofn.filterIndex,
                               ofn.flags, str(ofn.filter2Name), str(ofn.filter2Pattern)});
    if (W().fileAnswers.empty()) return false;
    std::optional<std::string> answer = W().fileAnswers.front();
    W().fileAnswers.pop_front();
    // The player highlights the file before choosing it: the preview sees it first.
    if (answer && ofn.preview) {
        platform::FilePreview preview;
        ofn.preview(answer->c_str(), preview);
        FileDialogRecord& record = W().fileDialogs.back();
        record.previewText = preview.text;
        record.previewWidth = preview.picture ? preview.picture->width() : 0;
        record.previewHeight = preview.picture ? preview.picture->height() : 0;
    }
    if (!answer || !ofn.file || answer->size() + 1 > ofn.fileSize) return false;
    std::memcpy(ofn.file, answer->c_str(), answer->size() + 1);
    return true;
}

}  // namespace

void Reset() {
    W() = World{};
}
void ClearRecords() {
    const auto drop = [](auto& container) { std::remove_reference_t<decltype(container)>().swap(container); };
    World& w = W();
    drop(w.fileAnswers), drop(w.colorAnswers), drop(w.dialogScripts);
    drop(w.messages), drop(w.fileDialogs), drop(w.dialogsRun);
    drop(w.sounds), drop(w.mci), drop(w.help), drop(w.status);
}
void SetCurrentDirectory(const std::string& dir) { W().currentDir = dir; }
void SetScreenArea(const platform::ScreenArea& area) { W().screen = area; }
void SetConfigDirectory(const std::string& dir) { W().configDir = dir; }
void SetTime(int64_t seconds) { W().time = seconds; }
void SetWaveDevices(unsigned count) { W().waveDevices = count; }
void QueueFileAnswer(std::optional<std::string> path) { W().fileAnswers.push_back(std::move(path)); }
void QueueColorAnswer(std::optional<uint32_t> c) { W().colorAnswers.push_back(c); }
void QueueDialogScript(DialogScript script) { W().dialogScripts.push_back(std::move(script)); }
void QueueListAnswer(int index) { W().listAnswers.push_back(index); }
const std::vector<ListRecord>& ListsShown() { return W().lists; }

void TypeText(platform::Window dialog, int controlId, const std::string& text) {
    dialog->dialog->texts[controlId] = text;
}
void PressButton(platform::Window dialog, int controlId) {
    if (!dialog->dialog->ended)
        dialog->dialog->proc(dialog, platform::WM_COMMAND, static_cast<uintptr_t>(controlId), 0);
}
void PaintDialog(platform::Window dialog) {
    dialog->dialog->proc(dialog, platform::WM_PAINT, 0, 0);
}

const std::vector<MessageRecord>& Messages() { return W().messages; }
const std::vector<FileDialogRecord>& FileDialogs() { return W().fileDialogs; }
const std::vector<FakeDialog>& DialogsRun() { return W().dialogsRun; }
const std::vector<std::string>& SoundsPlayed() { return W().sounds; }
const std::vector<std::string>& MciCommands() { return W().mci; }
const std::vector<std::string>& HelpRequests() { return W().help; }
int ColorChooserRuns() { return W().colorRuns; }
bool IsChecked(int id) { return W().checks.count(id) && W().checks[id]; }
bool WasCheckSet(int id) { return W().checks.count(id) != 0; }
std::string StatusText() { return W().status; }
bool TimerRunning(unsigned id) { return W().timers.count(id) && W().timers[id]; }
bool TimerHeld(unsigned id) { return W().held.count(id) && W().held[id]; }
int TicksOnce(unsigned id) { return W().ticksOnce.count(id) ? W().ticksOnce[id] : 0; }
std::optional<int> QuitPosted() { return W().quit; }
int WindowWidth() { return W().width; }
int WindowHeight() { return W().height; }
int WindowScale() { return W().scale; }
int PresentCount() { return W().presents; }
platform::Window MainWindow() { return &W().main; }

platform::Bitmap& Surface() {
    if (!W().surface) W().surface = std::make_unique<platform::Bitmap>(637, 445);
    return *W().surface;
}

intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return W().proc ? W().proc(&W().main, message, wParam, lParam) : 0;
}

}  // namespace fake

namespace platform {

using fake::W;

Window CreateMainWindow(const char*, WindowProc proc, uint32_t) {
    W().proc = proc;
    proc(&W().main, WM_CREATE, 0, 0);
    return &W().main;
}
void ShowWindow(Window) { fake::Send(WM_PAINT); }
int RunMessageLoop() { return W().quit.value_or(0); }
void PostQuitMessage(int exitCode) {
    if (!W().quit) W().quit = exitCode;
}
void FitMainWindow(Window, Window, int width, int height, int scale) {
    W().width = width;
    W().height = height;
    W().scale = scale;
    const int w = width * scale, h = height * scale;
    if (!W().surface || W().surface->width() != w || W().surface->height() != h)
        W().surface = std::make_unique<Bitmap>(std::max(w, 1), std::max(h, 1));
}
ScreenArea GetScreenArea(Window) { return W().screen; }

DeviceContext GetDC(Window) {
    DeviceContext dc;
    dc.bitmap = &fake::Surface();
    return dc;
}
void ReleaseDC(Window window, DeviceContext& dc) {
    if (window == &W().main) ++W().presents;
    dc.bitmap = nullptr;
}

void CheckMenuItem(Window, int commandId, bool checked) { W().checks[commandId] = checked; }
Window CreateStatusWindow(Window, int) { return &W().statusBar; }
void PostStatusText(Window, const char* text) { W().status = text ? text : ""; }
void SetTimer(Window, unsigned id, unsigned) { W().timers[id] = true; W().held[id] = false; }
void KillTimer(Window, unsigned id) { W().timers[id] = false; W().held[id] = false; }
void HoldTimer(Window, unsigned id, bool held) { W().held[id] = held; }
void TickOnce(Window, unsigned id) { ++W().ticksOnce[id]; }
void AfterFirstFrame(Window window, void (*task)(Window)) { task(window); }   // no screen: at once

int MessageBox(Window, const char* text, const char* caption, unsigned style) {
    W().messages.push_back({text ? text : "", caption ? caption : "", style});
    return 1;
}

intptr_t DialogBoxParam(const char* templateName, Window, DialogProc proc, intptr_t param) {
    auto state = std::make_unique<fake::FakeDialog>();
    state->name = templateName ? templateName : "";
    state->proc = proc;
    const DialogTemplate* tmpl = FindDialogTemplate(templateName);
    if (tmpl)
        for (size_t i = 0; i < tmpl->controlCount; ++i)
            state->texts[tmpl->controls[i].id] = tmpl->controls[i].text;
    WindowObject dialog{WindowObject::Dialog, state.get()};
    proc(&dialog, WM_INITDIALOG, 0, param);
    if (!W().dialogScripts.empty()) {
        fake::DialogScript script = std::move(W().dialogScripts.front());
        W().dialogScripts.pop_front();
        script(&dialog, *state);
    }
    // What the player would do last: press the default button until the procedure ends it.
    if (!state->ended && tmpl) fake::PressButton(&dialog, DefaultButtonId(*tmpl));
    intptr_t result = state->result;
    W().dialogsRun.push_back(*state);
    return result;
}
bool EndDialog(Window dialog, intptr_t result) {
    if (!dialog || dialog->kind != WindowObject::Dialog) return false;
    dialog->dialog->ended = true;
    dialog->dialog->result = result;
    return true;
}
void SetDlgItemText(Window dialog, int controlId, const char* text) {
    if (dialog && dialog->dialog) dialog->dialog->texts[controlId] = text ? text : "";
}
unsigned GetDlgItemText(Window dialog, int controlId, char* buffer, int maxCount) {
    if (maxCount <= 0) return 0;
    std::string s = dialog && dialog->dialog ? dialog->dialog->texts[controlId] : "";
    size_t n = std::min(s.size(), static_cast<size_t>(maxCount - 1));
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
    return static_cast<unsigned>(n);
}
void FillDlgItem(Window dialog, int controlId, uint32_t colorRef) {
    if (dialog && dialog->dialog) dialog->dialog->fills[controlId] = colorRef;
}

bool GetOpenFileName(OpenFileName& ofn) { return fake::RunFileDialog(ofn, false); }

int ChooseFromList(Window, const char* title, const char* prompt, const char* const* items, int count) {
    fake::ListRecord record{title ? title : "", prompt ? prompt : "", {}};
    for (int i = 0; i < count; ++i) record.items.push_back(items[i] ? items[i] : "");
    W().lists.push_back(record);
    if (W().listAnswers.empty()) return -1;
    const int answer = W().listAnswers.front();
    W().listAnswers.pop_front();
    return answer >= 0 && answer < count ? answer : -1;
}
bool GetSaveFileName(OpenFileName& ofn) { return fake::RunFileDialog(ofn, true); }

bool ChooseColor(Window, uint32_t customColors[16], uint32_t* result) {
    ++W().colorRuns;
    for (int i = 0; i < 16; ++i)
        if (customColors[i] != 0x00FFFFFF) return false;  // the chooser always starts all white
    if (W().colorAnswers.empty()) return false;
    std::optional<uint32_t> answer = W().colorAnswers.front();
    W().colorAnswers.pop_front();
    if (!answer) return false;
    *result = *answer;
    return true;
}

void PlaySound(const char* path) { W().sounds.push_back(path ? path : ""); }
unsigned WaveOutGetNumDevs() { return W().waveDevices; }
unsigned MciSendString(const char* command) {
    W().mci.push_back(command ? command : "");
    return 0;
}
void WinHelp(Window, const char* helpFilePath) { W().help.push_back(helpFilePath ? helpFilePath : ""); }

unsigned GetCurrentDirectory(unsigned bufferSize, char* buffer) {
    return fake::CopyOut(W().currentDir, buffer, bufferSize);
}
unsigned GetWindowsDirectory(char* buffer, unsigned bufferSize) {
    return fake::CopyOut(W().configDir, buffer, bufferSize);
}
int64_t Time() { return W().time; }

// Synchronous, so that tests see the result as soon as the call returns.
void RunInBackground(BackgroundRoutine work, BackgroundRoutine done, void* context) {
    work(context);
    done(context);
}

}  // namespace platform
