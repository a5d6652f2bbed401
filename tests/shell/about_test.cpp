// The About box and the help command: the version line, the one button that closes the box,
// and the help file found below the home directory whatever the current directory.
#include <gtest/gtest.h>

#include <cstring>

#include "board/state.h"
#include "platform/fake/fake.h"
#include "resources/ids.h"
#include "shell/about.h"

namespace {

TEST(AboutTest, VersionLineAndOnlyOkCloses) {
    fake::Reset();
    bool stillOpen = false;
    fake::QueueDialogScript([&](platform::Window dialog, fake::FakeDialog& state) {
        fake::PressButton(dialog, platform::IDCANCEL);   // Escape
        fake::PressButton(dialog, IDC_ABOUT_VERSION);
        fake::PressButton(dialog, IDC_ABOUT_OK + 0x10000);
        stillOpen = !state.ended;
    });
    EXPECT_EQ(platform::DialogBoxParam("ABOUTDLG", nullptr, AboutDialogProc, 0), 1);
    EXPECT_TRUE(stillOpen);
    const fake::FakeDialog& run = fake::DialogsRun().back();
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.texts.at(IDC_ABOUT_VERSION), kVersionLine);
    EXPECT_EQ(std::string(kVersionLine).rfind("Tolbex 1.3", 0), 0u);
    EXPECT_EQ(AboutDialogProc(nullptr, platform::WM_PAINT, 0, 0), 0);
}

TEST(AboutTest, HelpComesFromTheHomeDirectory) {
    fake::Reset();
    std::strcpy(startDir, "/opt/tolbex home");
    fake::SetCurrentDirectory("/somewhere/else");
    ShowHelpContents(nullptr);
    ASSERT_EQ(fake::HelpRequests().size(), 1u);
    EXPECT_EQ(fake::HelpRequests()[0], "/opt/tolbex home/Tolbex13.hlp");
}

}  // namespace
