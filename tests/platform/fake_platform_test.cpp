// The headless front end itself: scripted dialogs and recorded calls behave as the tests rely on.
#include <gtest/gtest.h>

#include "platform/fake/fake.h"
#include "resources/ids.h"

namespace {

intptr_t EchoProc(platform::Window dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == platform::WM_INITDIALOG) {
        platform::SetDlgItemText(dialog, IDC_WIN_NAME, "Player");
        return 1;
    }
    if (message == platform::WM_COMMAND && wParam == IDC_WIN_OK) {
        platform::EndDialog(dialog, 7);
        return 1;
    }
    return 0;
}

TEST(FakePlatform, DialogsAreClosedByTheirDefaultButtonUnlessScripted) {
    fake::Reset();
    EXPECT_EQ(platform::DialogBoxParam("GAGNEDLG", nullptr, EchoProc, 0), 7);
    fake::QueueDialogScript([](platform::Window d, fake::FakeDialog&) {
        fake::TypeText(d, IDC_WIN_NAME, "Ann");
        fake::PressButton(d, IDC_WIN_OK);
    });
    EXPECT_EQ(platform::DialogBoxParam("gagnedlg", nullptr, EchoProc, 0), 7);
    ASSERT_EQ(fake::DialogsRun().size(), 2u);
    EXPECT_EQ(fake::DialogsRun()[0].texts.at(IDC_WIN_NAME), "Player");
    EXPECT_EQ(fake::DialogsRun()[1].texts.at(IDC_WIN_NAME), "Ann");
}

TEST(FakePlatform, DirectoriesFollowWindowsBufferRules) {
    fake::Reset();
    fake::SetCurrentDirectory("/home/x");
    char buf[8];
    EXPECT_EQ(platform::GetCurrentDirectory(sizeof buf, buf), 7u);
    EXPECT_STREQ(buf, "/home/x");
    char small[4];
    EXPECT_EQ(platform::GetCurrentDirectory(sizeof small, small), 8u);
}

}  // namespace
