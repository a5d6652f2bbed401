// The sound-effects dialog on the headless front end: "Listen" plays each row's file whatever
// the option says, the choose buttons go through the wave chooser, and a cancelled chooser
// keeps the path while a pick replaces all of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "board/state.h"
#include "options/sounds.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"

namespace {

class SoundsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        Settings = SettingsRecord{};
        std::snprintf(startDir, sizeof startDir, "%s", "/home/player/tolbex");
        std::snprintf(Settings.soundClickPath, kPathSize, "%s", "/home/player/tolbex/SOUNDS/SOUND1.WAV");
        std::snprintf(Settings.soundPairPath, kPathSize, "%s", "/home/player/tolbex/SOUNDS/SOUND2.WAV");
        std::snprintf(Settings.soundBadClickPath, kPathSize, "%s", "/elsewhere/a much longer folder/BAD.WAV");
    }
    static intptr_t RunDialog(std::vector<int> buttons) {
        fake::QueueDialogScript([buttons](platform::Window dialog, fake::FakeDialog&) {
            for (int id : buttons) fake::PressButton(dialog, id);
        });
        return platform::DialogBoxParam("CHANGESOUNDSDLG", nullptr, SoundsDialogProc, 0);
    }
};

TEST_F(SoundsTest, ListenPlaysEachRowEvenWithTheOptionOff) {
    Settings.soundEffects = 0;
    EXPECT_EQ(RunDialog({IDC_SOUNDS_LISTEN0 + 2, IDC_SOUNDS_LISTEN0, IDC_SOUNDS_LISTEN0 + 1}), 1);
    EXPECT_EQ(fake::SoundsPlayed(), (std::vector<std::string>{Settings.soundBadClickPath,
                                                              Settings.soundClickPath, Settings.soundPairPath}));
    EXPECT_TRUE(fake::FileDialogs().empty());
    ASSERT_EQ(fake::DialogsRun().size(), 1u);
    EXPECT_TRUE(fake::DialogsRun()[0].ended);
}

TEST_F(SoundsTest, ChoosersReplaceOrKeepTheirOwnPath) {
    const std::string click = Settings.soundClickPath;
    const std::string pick = "/x/B.WAV";   // shorter than the path it replaces
    fake::QueueFileAnswer(std::nullopt);  // row 0 cancelled
    fake::QueueFileAnswer(pick);          // row 2 picked
    EXPECT_EQ(RunDialog({IDC_SOUNDS_CHOOSE0, IDC_SOUNDS_CHOOSE0 + 2, IDC_SOUNDS_LISTEN0 + 2}), 1);

    EXPECT_EQ(std::string(Settings.soundClickPath), click);
    EXPECT_EQ(std::string(Settings.soundBadClickPath), pick);
    EXPECT_EQ(std::string(Settings.soundPairPath), "/home/player/tolbex/SOUNDS/SOUND2.WAV");
    // The new path plays at once; nothing was played on choosing.
    EXPECT_EQ(fake::SoundsPlayed(), (std::vector<std::string>{pick}));

    ASSERT_EQ(fake::FileDialogs().size(), 2u);
    for (const fake::FileDialogRecord& d : fake::FileDialogs()) {
        EXPECT_FALSE(d.save);
        EXPECT_EQ(d.filterName, "Sounds (*.WAV)");
        EXPECT_EQ(d.filterPattern, "*.WAV");
        EXPECT_FALSE(d.allFilesFilter);
        EXPECT_EQ(d.filterIndex, 1);
        // Always the home's SOUNDS folder, even for the sound that lies elsewhere.
        EXPECT_EQ(d.initialDir, "/home/player/tolbex/SOUNDS");
        EXPECT_EQ(d.title, "Tolbex");
        EXPECT_EQ(d.flags, platform::OFN_PATHMUSTEXIST | platform::OFN_FILEMUSTEXIST | platform::OFN_SHOWHELP);
        EXPECT_EQ(d.defExt, "WAV");
    }
}

TEST_F(SoundsTest, OnlyItsOwnCommandsAreHandled) {
    fake::QueueDialogScript([](platform::Window dialog, fake::FakeDialog& state) {
        EXPECT_EQ(SoundsDialogProc(dialog, platform::WM_INITDIALOG, 0, 0), 0);
        EXPECT_EQ(SoundsDialogProc(dialog, platform::WM_PAINT, 0, 0), 0);
        // Escape, and the ids just outside the dialog's range, are not its commands.
        for (uintptr_t id : {uintptr_t(platform::IDCANCEL), uintptr_t(IDC_SOUNDS_OK - 1),
                             uintptr_t(IDC_SOUNDS_CHOOSE0 + 3)})
            EXPECT_EQ(SoundsDialogProc(dialog, platform::WM_COMMAND, id, 0), 0) << id;
        EXPECT_FALSE(state.ended);
        EXPECT_EQ(SoundsDialogProc(dialog, platform::WM_COMMAND, IDC_SOUNDS_LISTEN0, 0), 1);
        EXPECT_EQ(SoundsDialogProc(dialog, platform::WM_COMMAND, IDC_SOUNDS_OK, 0), 1);
        EXPECT_TRUE(state.ended);
    });
    EXPECT_EQ(platform::DialogBoxParam("CHANGESOUNDSDLG", nullptr, SoundsDialogProc, 0), 1);
    EXPECT_EQ(fake::SoundsPlayed().size(), 1u);
    EXPECT_TRUE(fake::FileDialogs().empty());
}

}  // namespace
