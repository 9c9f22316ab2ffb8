#include "gui/MainDlg.h"
#include "gui/resources/resource.h"

#include "DialogFixture.h"

namespace {
const std::vector<std::uint8_t> kRestart = {0x1D, 0xFF};
std::vector<std::uint8_t> ModeCommand(std::uint8_t mode) {
    return {0x1F, 0x0B, 0x4E, 0x1F, 0x43, mode};
}
const std::vector<UINT> kNativeChecked = {BST_CHECKED, BST_UNCHECKED, BST_UNCHECKED};
const std::vector<UINT> kPrinterChecked = {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED};
const std::vector<UINT> kCommChecked = {BST_UNCHECKED, BST_UNCHECKED, BST_CHECKED};
} // namespace

class MainDlgTest : public DialogTest {};

TEST_F(MainDlgTest, OpensShowingTheCurrentModeAndItsRadioButton) {
    struct Case {
        UsbType mode;
        bool portListed;
        std::string status;
        std::vector<UINT> checks;
    };
    for (const Case& c : {Case{IDNATIVETYPE, true, "Native USB", kNativeChecked},
                          Case{IDPRINTERCLASSTYPE, true, "Printer Class USB", kPrinterChecked},
                          Case{IDCOMMCLASSTYPE, true, "Comm Class USB = COM7", kCommChecked},
                          Case{IDCOMMCLASSTYPE, false, "Comm Class USB", kCommChecked},
                          Case{IDNATIVETYPE, true, "Error opening USB", kNativeChecked}}) {
        sim::reset();
        SetUp();
        if (c.status != "Error opening USB") {
            printer().attach(c.mode);
        }
        if (!c.portListed) {
            printer().port.reset();
        }
        EXPECT_EQ(RunMainDialog({Snapshot(), Click(IDC_CLOSE)}), IDOK);
        EXPECT_EQ(lastStatus, c.status);
        EXPECT_EQ(lastChecks, c.checks) << c.status;
        EXPECT_EQ(lastChangeText, "Change");
        EXPECT_TRUE(printer().writes().empty());
    }
}

TEST_F(MainDlgTest, CarriesItsIconBigAndSmall) {
    printer().attach(IDNATIVETYPE);
    HICON big = nullptr;
    HICON small = nullptr;
    LRESULT dragIcon = 0;
    RunMainDialog({[&](HWND dialog) {
                       big = machine().windows().find(dialog)->bigIcon;
                       small = machine().windows().find(dialog)->smallIcon;
                       dragIcon = SendMessageA(dialog, WM_QUERYDRAGICON, 0, 0);
                   },
                   Click(IDC_CLOSE)});
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(big, small);
    EXPECT_EQ(dragIcon, reinterpret_cast<LRESULT>(big));
}

TEST_F(MainDlgTest, ChangeSendsTheSelectedModeAndShowsTheNewOne) {
    printer().attach(IDNATIVETYPE);
    printer().restartMs = 3000;
    DuringWait during;
    WatchTheWait(&during);
    RunMainDialog({Click(IDC_COMM_CLASS), Click(IDC_CHANGE), Snapshot(), Click(IDC_CLOSE)});

    ASSERT_EQ(printer().writes().size(), 2u);
    EXPECT_EQ(printer().writes()[0].bytes, ModeCommand(2));
    EXPECT_EQ(printer().writes()[1].bytes, kRestart);
    EXPECT_EQ(lastStatus, "Comm Class USB = COM7");
    EXPECT_EQ(lastChecks, kCommChecked);
    EXPECT_TRUE(lastChangeEnabled);
    EXPECT_EQ(lastChangeText, "Change");

    EXPECT_TRUE(during.seen);
    EXPECT_EQ(during.changeText, "Changing");
    EXPECT_FALSE(during.changeEnabled);
    EXPECT_TRUE(during.waitWindowVisible);
    EXPECT_EQ(during.waitCaption, "Please allow time for Windows to change USB modes.");
    EXPECT_EQ(machine().windows().dialog(IDD_WAIT_DIALOG), nullptr);
}

TEST_F(MainDlgTest, ChangeTracesItsSteps) {
    printer().attach(IDNATIVETYPE);
    printer().restartMs = 2000;
    RunMainDialog({Click(IDC_PRINTER_CLASS), Click(IDC_CHANGE), Click(IDC_CLOSE)});
    const int create = TraceIndex("create?\n");
    const int rebooted = TraceIndex(") Rebooted\n");
    const int remove = TraceIndex("delete?\n");
    ASSERT_GE(create, 0);
    EXPECT_EQ(trace()[static_cast<std::size_t>(create)], "create?\n");
    EXPECT_EQ(trace()[static_cast<std::size_t>(remove)], "delete?\n");
    EXPECT_LT(TraceIndex(") USB write opened ok\n"), create);
    EXPECT_LT(create, TraceIndex("Not yet rebooted"));
    EXPECT_LT(TraceIndex("Not yet rebooted"), rebooted);
    EXPECT_LT(rebooted, remove);
    EXPECT_EQ(trace()[static_cast<std::size_t>(rebooted)].rfind("OnChange(", 0), 0u);
    EXPECT_EQ(TraceCount("SetUsbType("), 0);
}

TEST_F(MainDlgTest, EscapeStartsAChangeAndOnlyCloseEndsTheDialog) {
    printer().attach(IDNATIVETYPE);
    EXPECT_EQ(
        RunMainDialog({Click(IDC_PRINTER_CLASS), Command(IDCANCEL), Snapshot(), Click(IDC_CLOSE)}),
        IDOK);
    EXPECT_EQ(printer().writes().size(), 2u);
    EXPECT_EQ(lastStatus, "Printer Class USB");
    EXPECT_FALSE(machine().windows().starvedModalLoop());
}

TEST_F(MainDlgTest, MinimisedDialogPaintsItsIconCentred) {
    printer().attach(IDNATIVETYPE);
    RunMainDialog({[this](HWND dialog) {
                       sim::Window* window = machine().windows().find(dialog);
                       window->iconic = true;
                       window->client = {0, 0, 100, 60};
                       SendMessageA(dialog, WM_PAINT, 0, 0);
                       window->iconic = false;
                       SendMessageA(dialog, WM_PAINT, 0, 0);
                   },
                   Click(IDC_CLOSE)});
    ASSERT_EQ(machine().windows().drawnIcons().size(), 1u);
    EXPECT_EQ(machine().windows().drawnIcons()[0].x, (100 - 32 + 1) / 2);
    EXPECT_EQ(machine().windows().drawnIcons()[0].y, (60 - 32 + 1) / 2);
}
