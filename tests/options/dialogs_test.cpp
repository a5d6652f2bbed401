// The colours and sound-effects dialogs on the headless front end: what each button changes,
// what the swatches show, the colours that count as nothing chosen, and the sound choosers.
#include <gtest/gtest.h>

#include <cstring>

#include "board/state.h"
#include "options/colours.h"
#include "options/sounds.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"

namespace {

intptr_t RunDialog(const char* name, platform::DialogProc proc, std::vector<int> buttons) {
    fake::QueueDialogScript([buttons](platform::Window dialog, fake::FakeDialog&) {
        for (int id : buttons) fake::PressButton(dialog, id);
    });
    return platform::DialogBoxParam(name, nullptr, proc, 0);
}

// The colour of each of the dialog's eight rows.
uint32_t& Row(int k) {
    return k < kLevels ? Settings.levelColor[k] : k == 5 ? Settings.exposedColor : k == 6 ? Settings.backgroundColor
                                                                                         : Settings.transparentColor;
}

TEST(ColoursTest, EachButtonSetsItsOwnColourAndSwatch) {
    for (int row = 0; row < 8; ++row) {
        fake::Reset();
        for (int k = 0; k < 8; ++k) Row(k) = 0x00010101u * (k + 1);
        // Chosen, then cancelled, then black: the last two keep the chosen colour. The fake
        // chooser answers only when it is given sixteen white custom colours.
        for (std::optional<uint32_t> answer : {std::optional<uint32_t>(0x00102030), {}, {0}}) fake::QueueColorAnswer(answer);
        const int button = IDC_COLORS_BUTTON0 + row;
        EXPECT_EQ(RunDialog("CHANGECOLORSDLG", ColoursDialogProc, {button, button, button, platform::IDCANCEL}), 1);
        for (int k = 0; k < 8; ++k) EXPECT_EQ(Row(k), k == row ? 0x00102030u : 0x00010101u * (k + 1)) << row;
        EXPECT_EQ(fake::DialogsRun().back().fills, (std::map<int, uint32_t>{{IDC_COLORS_SWATCH0 + row, 0x00102030}}));
    }
}

TEST(SoundsTest, ListenPlaysWithTheOptionOffAndAChooserReplacesOrKeepsItsPath) {
    fake::Reset();
    Settings = SettingsRecord{};
    std::strcpy(startDir, "/h");
    std::strcpy(Settings.soundClickPath, "/h/SOUNDS/1.WAV");
    std::strcpy(Settings.soundPairPath, "/h/SOUNDS/2.WAV");
    std::strcpy(Settings.soundBadClickPath, "/elsewhere/a longer folder/3.WAV");
    fake::QueueFileAnswer(std::nullopt);
    fake::QueueFileAnswer("/x/B.WAV");
    const int listen = IDC_SOUNDS_LISTEN0, choose = IDC_SOUNDS_CHOOSE0;   // ids 1599 and 1607 are not the dialog's
    RunDialog("CHANGESOUNDSDLG", SoundsDialogProc, {1599, 1607, listen + 2, listen, choose, choose + 2, listen + 2, listen + 1});
    EXPECT_EQ(fake::SoundsPlayed(),
              (std::vector<std::string>{"/elsewhere/a longer folder/3.WAV", "/h/SOUNDS/1.WAV", "/x/B.WAV", "/h/SOUNDS/2.WAV"}));
    EXPECT_STREQ(Settings.soundClickPath, "/h/SOUNDS/1.WAV");
    ASSERT_EQ(fake::FileDialogs().size(), 2u);
    EXPECT_EQ(fake::FileDialogs()[1].initialDir, "/h/SOUNDS");   // wherever the sound lies
    EXPECT_TRUE(fake::DialogsRun().back().ended);
}

}  // namespace
