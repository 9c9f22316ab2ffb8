// The installed package under real udevd: a user in plugdev (not root) changes the printer's
// mode through the packaged rule, and without the rule is told so and sends nothing. The rule
// also tells ModemManager to leave the printer alone, on its USB device and on its tty.
#include "../linux/OrvaneProcess.h"
#include "CaseTable.h"
#include "GadgetPrinterProcess.h"
#include "GuestCase.h"
#include "GuestUsb.h"
#include "udc_host_port.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {
constexpr const char* kRule = "/usr/lib/udev/rules.d/60-orvane.rules";
constexpr const char* kUser = "orvane-user"; // made by the test's guest command

OrvaneLaunch AsPlugdevUser() {
    const passwd* user = getpwnam(kUser);
    const group* plugdev = getgrnam("plugdev");
    if (user == nullptr || plugdev == nullptr) {
        ADD_FAILURE() << "no user " << kUser << " or no group plugdev in the guest";
        return {};
    }
    return {"/usr/bin/orvane",
            OrvaneLaunch::User{user->pw_uid, user->pw_gid, {plugdev->gr_gid}},
            {},
            false};
}

// ModemManager reads this property on the port and on the devices above it.
bool ModemManagerIgnores(const std::string& node) {
    const std::string query =
        "udevadm info --query=property --name=" + node + " | grep -qx ID_MM_DEVICE_IGNORE=1";
    return std::system(query.c_str()) == 0;
}

// The name udev's own rules made for the tty in /dev/serial/by-id, as udev's database has it.
std::string StableNameOf(const std::string& tty) {
    FILE* links = popen(("udevadm info --query=symlink --name=" + tty).c_str(), "r");
    std::string words;
    for (int c = 0; links != nullptr && (c = std::fgetc(links)) != EOF;) {
        words += static_cast<char>(c);
    }
    if (links != nullptr) {
        pclose(links);
    }
    const std::size_t at = words.find("serial/by-id/");
    return at == std::string::npos
               ? ""
               : "/dev/" + words.substr(at, words.find_first_of(" \n", at) - at);
}

bool NodeIsPlugdevs(const std::string& node) {
    struct stat status {};
    const group* plugdev = getgrnam("plugdev");
    return stat(node.c_str(), &status) == 0 && plugdev != nullptr &&
           status.st_gid == plugdev->gr_gid && (status.st_mode & 0777) == 0660;
}
} // namespace

TEST(VmAccess, PackagedRuleOpensThePrinterToPlugdevAndClosesItToModemManager) {
    const OrvaneLaunch user = AsPlugdevUser();
    ASSERT_TRUE(user.user);
    ASSERT_EQ(access(kRule, R_OK), 0) << "the package did not install " << kRule;
    {
        GadgetPrinterProcess printer(
            "access", {"--mode", "native", "--serial", "ORV-ACC", "--restart-ms", "800"});
        const std::string port = PortPathOfUdc(0);
        EXPECT_TRUE(WaitUntil([&] { return NodeIsPlugdevs(usb_device_node(port)); }, 5s))
            << usb_device_node(port) << " is not the group plugdev's";
        EXPECT_TRUE(ModemManagerIgnores(usb_device_node(port)));
        const OrvaneResult reported = RunOrvane({"MODE"}, 30s, user);
        EXPECT_EQ(reported.out, "Native USB\n");
        EXPECT_EQ(reported.exitCode, 0) << reported.err;
        const OrvaneResult changed = RunOrvane({"COMMCLASS"}, 20s, user);
        EXPECT_EQ(changed.out, ChangedLines(kCommClass, InterfaceTty(port, 0)));
        EXPECT_EQ(changed.exitCode, 0) << changed.err;
        ExpectChangeBytes(printer.Reads(), kNative, kCommClass);
        const std::string tty = InterfaceTty(port, 0);
        EXPECT_TRUE(WaitUntil([&] { return ModemManagerIgnores(tty); }, 5s)) << tty;
        // udev's stable name of the port stands beside the kernel's tty in the JSON document.
        const std::string stable = StableNameOf(tty);
        EXPECT_FALSE(stable.empty()) << "udev made no /dev/serial/by-id link to " << tty;
        CaseRow row;
        row.json = {{std::nullopt, ".printers[0].port \"" + tty + "\""},
                    {std::nullopt, ".printers[0].stablePort \"" + stable + "\""}};
        const OrvaneResult json = RunOrvane({"MODE", "JSON"}, 30s, user);
        EXPECT_EQ(CheckJsonDocument(row, CaseSystem::Linux, json.out, {}), "");
    }

    ASSERT_EQ(unlink(kRule), 0);
    ASSERT_EQ(std::system("udevadm control --reload"), 0);
    GadgetPrinterProcess printer("access-no-rule", {"--mode", "native", "--serial", "ORV-ACC"});
    ASSERT_EQ(std::system("udevadm settle --timeout=10"), 0);
    // The port may still be settling from the first printer's departure: wait for the device.
    const std::string port = PortPathOfUdc(0);
    std::string node;
    ASSERT_TRUE(WaitUntil([&] { return !(node = usb_device_node(port)).empty(); }, 5s))
        << "no device at " << port;
    EXPECT_FALSE(NodeIsPlugdevs(node));
    EXPECT_FALSE(ModemManagerIgnores(node));
    const std::string refusal = "No permission to open the printer's device " + node +
                                ": install the udev rule " + kRule +
                                " and plug the printer in again\n";
    for (const char* action : {"MODE", "COMMCLASS"}) {
        const OrvaneResult result = RunOrvane({action}, 30s, user);
        EXPECT_EQ(result.out, refusal) << action;
        EXPECT_EQ(result.exitCode, 5) << action;
    }
    EXPECT_TRUE(printer.Reads().empty());
}
