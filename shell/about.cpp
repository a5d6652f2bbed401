// The About box ("ABOUTDLG": the version line and an OK button) and the help command, which
// hands the help file below the home directory to the platform's help window.
#include "shell/about.h"

#include "board/home.h"
#include "board/state.h"
#include "resources/ids.h"

// Only the OK button closes the box: it has no close box, and Escape (IDCANCEL) is not handled.
intptr_t AboutDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_INITDIALOG) {
        platform::SetDlgItemText(dialog, IDC_ABOUT_VERSION, kVersionLine);
        return 1;   // the default button takes the focus
    }
    if (message == platform::WM_COMMAND && wParam == static_cast<uintptr_t>(IDC_ABOUT_OK)) {
        platform::EndDialog(dialog, 1);
        return 1;
    }
    return 0;
}

// The path is built from startDir, never from the current directory of the moment, which the
// file dialogs may have changed. A missing file is reported by the help window itself.
void ShowHelpContents(platform::Window window) {
    char path[kPathSize];
    HomePath(path, sizeof path, kHelpFile);
    platform::WinHelp(window, path);
}
