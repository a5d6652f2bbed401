// The sound-effects dialog ("CHANGESOUNDSDLG"): for each of the three sounds a button that picks
// another wave file and a "Listen" button that plays the current one. A pick goes straight into
// Settings; the file is not opened until it is next played.
#include "options/sounds.h"

#include <cstring>

#include "board/home.h"
#include "board/state.h"
#include "resources/ids.h"

namespace {

constexpr int kSoundRows = 3;

// The Settings field of each row: click on a tile, a matching pair, a refused click.
char* const kRowPaths[kSoundRows] = {Settings.soundClickPath, Settings.soundPairPath,
                                     Settings.soundBadClickPath};

bool InRow(uintptr_t id, int first) {
    return id >= static_cast<uintptr_t>(first) && id < static_cast<uintptr_t>(first + kSoundRows);
}

}  // namespace

intptr_t SoundsDialogProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message != platform::WM_COMMAND) return 0;
    if (wParam == static_cast<uintptr_t>(IDC_SOUNDS_OK)) {
        platform::EndDialog(dialog, 1);
        return 1;
    }
    // "Listen" plays whatever the "&Sound effects" option says: the player asked to hear it.
    if (InRow(wParam, IDC_SOUNDS_LISTEN0)) {
        platform::PlaySound(kRowPaths[wParam - IDC_SOUNDS_LISTEN0]);
        return 1;
    }
    if (InRow(wParam, IDC_SOUNDS_CHOOSE0)) {
        ChooseSoundFile(dialog, kRowPaths[wParam - IDC_SOUNDS_CHOOSE0]);
        return 1;
    }
    return 0;
}

void ChooseSoundFile(platform::Window owner, char pathField[500]) {
    // The chooser starts empty in the home's SOUNDS folder, wherever the current sound lies.
    static constexpr HomeFileDialog kDialog = {kSoundsDir, "Sounds (*.WAV)", "*.WAV", "WAV",
                                               kCaption, false, false};
    char file[kPathSize];
    if (ChooseHomeFile(owner, kDialog, file)) std::memcpy(pathField, file, sizeof file);
}
