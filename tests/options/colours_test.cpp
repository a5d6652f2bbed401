// The colours dialog on the headless front end: what each button changes, what the swatches
// show, and the colours that count as nothing chosen.
#include <gtest/gtest.h>

#include "board/state.h"
#include "options/colours.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"

namespace {

class ColoursTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        Settings = SettingsRecord{};
        for (int k = 0; k < kLevels; ++k) Settings.levelColor[k] = 0x00010100u * (k + 1);
        Settings.exposedColor = 0x00C0C0C0;
        Settings.backgroundColor = 0x00008000;
        Settings.transparentColor = 0x00FFFFFF;
        before = Settings;
    }
    static intptr_t RunDialog() {
        return platform::DialogBoxParam("CHANGECOLORSDLG", nullptr, ColoursDialogProc, 0);
    }
    // The eight colour fields in the order of the dialog's rows.
    static uint32_t Field(const SettingsRecord& s, int k) {
        if (k < kLevels) return s.levelColor[k];
        return k == 5 ? s.exposedColor : k == 6 ? s.backgroundColor : s.transparentColor;
    }
    SettingsRecord before;
};

TEST_F(ColoursTest, OkAtOnceChangesNothing) {
    EXPECT_EQ(RunDialog(), 1);
    EXPECT_EQ(fake::ColorChooserRuns(), 0);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(Field(Settings, k), Field(before, k)) << k;
}

TEST_F(ColoursTest, EachButtonSetsItsOwnFieldAndSwatch) {
    for (int row = 0; row < 8; ++row) {
        Settings = before;
        const uint32_t chosen = 0x00102030u + static_cast<uint32_t>(row);
        fake::QueueColorAnswer(chosen);
        fake::QueueDialogScript([row](platform::Window dialog, fake::FakeDialog&) {
            fake::PressButton(dialog, IDC_COLORS_BUTTON0 + row);
        });
        RunDialog();
        const fake::FakeDialog& run = fake::DialogsRun().back();
        EXPECT_TRUE(run.ended);
        for (int k = 0; k < 8; ++k) EXPECT_EQ(Field(Settings, k), k == row ? chosen : Field(before, k)) << row;
        // The swatch showed the new colour before the dialog closed; no other was touched.
        ASSERT_EQ(run.fills.size(), 1u) << row;
        EXPECT_EQ(run.fills.at(IDC_COLORS_SWATCH0 + row), chosen);
    }
}

TEST_F(ColoursTest, CancelOrBlackKeepsTheColour) {
    fake::QueueColorAnswer(std::nullopt);
    fake::QueueColorAnswer(0x00000000);
    fake::QueueDialogScript([](platform::Window dialog, fake::FakeDialog&) {
        fake::PressButton(dialog, IDC_COLORS_BUTTON0 + 6);   // background, cancelled
        fake::PressButton(dialog, IDC_COLORS_BUTTON0 + 6);   // background, black chosen
    });
    RunDialog();
    EXPECT_EQ(fake::ColorChooserRuns(), 2);
    EXPECT_EQ(Settings.backgroundColor, before.backgroundColor);
    EXPECT_TRUE(fake::DialogsRun().back().fills.empty());
}

TEST_F(ColoursTest, PaintShowsEveryCurrentColour) {
    fake::QueueDialogScript([](platform::Window dialog, fake::FakeDialog&) { fake::PaintDialog(dialog); });
    RunDialog();
    const fake::FakeDialog& run = fake::DialogsRun().back();
    ASSERT_EQ(run.fills.size(), 8u);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(run.fills.at(IDC_COLORS_SWATCH0 + k), Field(before, k)) << k;
}

TEST_F(ColoursTest, ChooserStartsWithWhiteCustomColoursAndEscapeIsIgnored) {
    // The fake chooser refuses to answer unless all sixteen custom colours are white.
    fake::QueueColorAnswer(0x00ABCDEF);
    EXPECT_EQ(ChooseColour(nullptr), 0x00ABCDEFu);
    EXPECT_EQ(ChooseColour(nullptr), 0u);   // nothing queued: cancelled
    // Escape and stray commands do not close the dialog; only OK does.
    fake::QueueDialogScript([](platform::Window dialog, fake::FakeDialog& state) {
        fake::PressButton(dialog, platform::IDCANCEL);
        fake::PressButton(dialog, IDC_COLORS_SWATCH0);
        EXPECT_FALSE(state.ended);
    });
    EXPECT_EQ(RunDialog(), 1);
}

}  // namespace
