// The dialog templates the unit tests run are read out of Orvane.rc at build time; these
// tests fail when that reading loses a control, a caption or the radio group.
#include "RcTemplates.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {
const sim::DialogTemplate& Template(int id) {
    static const std::map<int, sim::DialogTemplate> dialogs(rc::kDialogs.begin(),
                                                            rc::kDialogs.end());
    return dialogs.at(id);
}
} // namespace

TEST(DialogTemplatesTest, MainDialogHasEveryControlOfTheScript) {
    const sim::DialogTemplate& dialog = Template(IDD_MAIN_DIALOG);
    EXPECT_EQ(dialog.caption, "Orvane v1.0.0.8");
    EXPECT_TRUE(dialog.visible);
    // The control IDs as the executable carries them (tests/package/expected_resources.rc).
    using Control = std::tuple<int, std::string, bool>;
    std::vector<Control> controls;
    for (const sim::ControlTemplate& control : dialog.controls) {
        controls.emplace_back(control.id, control.text, control.radio);
    }
    EXPECT_EQ(controls, (std::vector<Control>{{1, "Close", false},
                                              {1000, "", false},
                                              {2, "Change", false},
                                              {-1, "USB Mode", false},
                                              {1002, "Native Mode", true},
                                              {1003, "Printer Class", true},
                                              {1004, "Comm Class", true}}));
}

TEST(DialogTemplatesTest, TheThreeModeButtonsFormOneRadioGroupOfTheirOwn) {
    const std::vector<sim::ControlTemplate>& controls = Template(IDD_MAIN_DIALOG).controls;
    ASSERT_EQ(controls.size(), 7u);
    EXPECT_EQ(controls[5].group, controls[4].group);
    EXPECT_EQ(controls[6].group, controls[4].group);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NE(controls[i].group, controls[4].group) << controls[i].text;
    }
}

TEST(DialogTemplatesTest, WaitWindowIsHiddenUntilShownAndHasNoControls) {
    const sim::DialogTemplate& dialog = Template(IDD_WAIT_DIALOG);
    EXPECT_EQ(dialog.caption, "Please allow time for Windows to change USB modes.");
    EXPECT_FALSE(dialog.visible);
    EXPECT_TRUE(dialog.controls.empty());
    EXPECT_EQ(rc::kDialogs.size(), 2u);
    EXPECT_EQ(rc::kIcons, std::vector<int>{IDR_MAINFRAME});
}
