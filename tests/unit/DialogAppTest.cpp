#include "app/windows/Program.h"
#include "device/UsbType.h"
#include "gui/MainApp.h"
#include "gui/resources/resource.h"

#include "DialogFixture.h"

class DialogAppTest : public DialogTest {};

TEST_F(DialogAppTest, NoSwitchReleasesTheConsoleAndRunsTheDialogUntilClose) {
    printer().attach(IDPRINTERCLASSTYPE);
    bool dialogSeen = false;
    machine().windows().onIdle = [&](HWND dialog) {
        dialogSeen = IsWindowVisible(dialog) != FALSE;
        return PostMessageA(GetDlgItem(dialog, IDC_CLOSE), BM_CLICK, 0, 0) != FALSE;
    };
    char program[] = "Orvane.exe";
    char* argv[] = {program, nullptr};
    EXPECT_EQ(RunOrvane(1, argv, theApp), 0);
    EXPECT_TRUE(machine().consoleFreed());
    EXPECT_TRUE(dialogSeen);
    EXPECT_FALSE(machine().windows().starvedModalLoop());
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
}

TEST_F(DialogAppTest, HelpCommandReachesTheApplication) {
    printer().attach(IDNATIVETYPE);
    RunMainDialog({[](HWND dialog) { SendMessageA(dialog, WM_HELP, 0, 0); }, Click(IDC_CLOSE)});
    EXPECT_EQ(TraceCount("OnHelp("), 1);
}
