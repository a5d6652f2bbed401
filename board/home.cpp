// Data paths below the home directory and the file chooser shared by every command that picks
// a file.
#include "board/home.h"

#include <cstdio>

void HomePath(char* out, unsigned size, const char* subPath) {
    if (size == 0) return;
    // startDir is followed by the sub-path as it stands: no separator test, as on every data path.
    std::snprintf(out, size, "%s%s", startDir, subPath);
}

bool ChooseHomeFile(platform::Window owner, const HomeFileDialog& dialog, char file[kPathSize]) {
    char initialDir[kPathSize + 32];   // room for the whole of startDir and the folder
    HomePath(initialDir, sizeof initialDir, dialog.subDir);
    file[0] = '\0';
    platform::OpenFileName ofn;
    ofn.owner = owner;
    ofn.filterName = dialog.filterName;
    ofn.filterPattern = dialog.filterPattern;
    ofn.allFilesFilter = dialog.allFilesFilter;
    ofn.filterIndex = dialog.save ? 0 : 1;
    ofn.file = file;
    ofn.fileSize = kPathSize;
    ofn.initialDir = initialDir;
    ofn.title = dialog.title;
    ofn.flags = dialog.save ? platform::OFN_OVERWRITEPROMPT | platform::OFN_SHOWHELP
                            : platform::OFN_FILEMUSTEXIST | platform::OFN_PATHMUSTEXIST | platform::OFN_SHOWHELP;
    ofn.defExt = dialog.defExt;
    ofn.filter2Name = dialog.filter2Name;
    ofn.filter2Pattern = dialog.filter2Pattern;
    ofn.preview = dialog.preview;
    const bool chosen = dialog.save ? platform::GetSaveFileName(ofn) : platform::GetOpenFileName(ofn);
    file[kPathSize - 1] = '\0';
    if (!chosen) file[0] = '\0';
    return chosen;
}
