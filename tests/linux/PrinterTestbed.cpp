#include "PrinterTestbed.h"

#include "UsbDescriptors.h"
#include "mode_command_parser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <sys/stat.h>

namespace {
constexpr const char* kRootHubPath = "/devices/usb1";

std::string Text(gchar* owned) {
    std::string text = owned != nullptr ? owned : "";
    g_free(owned);
    return text;
}

// The sysfs path of the hub a port path hangs from: the root hub, or a hub plugged earlier.
std::string ParentOf(const std::string& portPath) {
    const std::size_t dot = portPath.rfind('.');
    return dot == std::string::npos ? "" : portPath.substr(0, dot);
}

// Waits the time out; false when a stop came first.
bool Pause(std::chrono::milliseconds time, const std::stop_token& stop) {
    std::mutex mutex;
    std::unique_lock lock(mutex);
    std::condition_variable_any().wait_for(lock, stop, time, [] { return false; });
    return !stop.stop_requested();
}
} // namespace

PrinterDescription Described(std::string_view options) {
    const auto parsed = parse_printers(options);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        ADD_FAILURE() << *error;
        return {};
    }
    return std::get<std::vector<PrinterDescription>>(parsed).front();
}

PrinterTestbed::PrinterTestbed() : m_testbed(umockdev_testbed_new()) {
    m_root = Text(umockdev_testbed_get_root_dir(m_testbed));
    m_sysPaths[""] = kRootHubPath;
    const std::string rootHub = std::string("P: ") + kRootHubPath +
                                "\nN: bus/usb/001/001\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\n"
                                "E: BUSNUM=001\nE: DEVNUM=001\nE: DEVNAME=/dev/bus/usb/001/001\n"
                                "A: busnum=1\\n\nA: devnum=1\\n\nA: bConfigurationValue=1\\n\n"
                                "A: speed=480\\n\nH: descriptors=" +
                                Hex(HubDescriptors()) + "\n";
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_testbed, rootHub.c_str(), nullptr));
}

PrinterTestbed::~PrinterTestbed() {
    g_object_unref(m_testbed);
}

namespace {
// umockdev reads a description's values with C escapes: any byte but plain text goes as \ooo.
std::string DescriptionValue(const std::string& raw) {
    std::string value;
    for (const char c : raw) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && c != '\\') {
            value += c;
        } else {
            char octal[5] = {};
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            value += octal;
        }
    }
    return value;
}
} // namespace

std::string PrinterTestbed::AddDevice(const std::string& portPath,
                                      const std::vector<std::uint8_t>& descriptors,
                                      const std::optional<std::string>& serial,
                                      FakePrinterUsb::Answers answers) {
    const int number = m_nextDeviceNumber++;
    char address[4] = {};
    std::snprintf(address, sizeof address, "%03d", number);
    std::string node = std::string("/dev/bus/usb/001/") + address;
    const std::string sysPath = m_sysPaths.at(ParentOf(portPath)) + "/" + portPath;
    m_sysPaths[portPath] = sysPath;

    std::string description = "P: " + sysPath + "\nN: " + node.substr(5) +
                              "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=001\n" +
                              "E: DEVNUM=" + address + "\nE: DEVNAME=" + node +
                              "\nA: busnum=1\\n\nA: devnum=" + std::to_string(number) +
                              "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\n";
    if (serial) {
        description += "A: serial=" + DescriptionValue(*serial) + "\\n\n";
    }
    description += "H: descriptors=" + Hex(descriptors) + "\n";

    // The node is served before the device appears, so libusb never opens it unserved.
    m_usb.Serve(node, answers);
    EXPECT_TRUE(umockdev_testbed_attach_ioctl(m_testbed, node.c_str(), m_usb.handler(), nullptr));
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_testbed, description.c_str(), nullptr));
    umockdev_testbed_uevent(m_testbed, ("/sys" + sysPath).c_str(), "add");
    return node;
}

std::string PrinterTestbed::Plug(const std::string& portPath, const PrinterDescription& printer,
                                 bool makeTty) {
    EXPECT_TRUE(printer.linger_ms == 0 && !printer.settles_in && !printer.leaves_after_return &&
                !printer.unplug_after_ms && !printer.unplug_at_command && !printer.unplugged &&
                !printer.plug_after_ms && printer.held != HeldPart::CommandOnly &&
                (printer.held == HeldPart::None || printer.held_error == EBUSY))
        << "the printer on umockdev plays no such printer";
    const WriteAnswer writes = printer.fail_writes    ? WriteAnswer::Stall
                               : printer.stall_writes ? WriteAnswer::Hold
                                                      : WriteAnswer::Take;
    Plugged& plugged = m_printers[portPath];
    if (plugged.tty.empty()) {
        plugged.tty = "ttyACM" + std::to_string(m_printers.size() - 1);
    }
    plugged.printer = printer;
    std::string node = AddDevice(portPath,
                                 PrinterDescriptors(printer.mode, kPrinterVendor,
                                                    printer.product_id, printer.serial.has_value()),
                                 printer.serial, {writes, printer.held == HeldPart::Whole});
    plugged.nodes.push_back({node, printer.mode});
    // Without cdc_acm no driver binds the communications interface, and no tty is made.
    if (printer.mode == UsbMode::CommClass && makeTty &&
        printer.no_driver_in != UsbMode::CommClass) {
        AddTty(portPath, plugged.tty);
    }
    return node;
}

void PrinterTestbed::PlugDevice(const std::string& portPath,
                                const std::vector<std::uint8_t>& descriptors) {
    AddDevice(portPath, descriptors, std::nullopt);
}

std::string PrinterTestbed::TtyOf(const std::string& portPath) const {
    return "/dev/" + m_printers.at(portPath).tty;
}

const std::vector<PrinterNode>& PrinterTestbed::NodesAt(const std::string& portPath) const {
    return m_printers.at(portPath).nodes;
}

void PrinterTestbed::PlayRestart(const std::string& portPath, const std::stop_token& stop) {
    PrinterDescription printer = m_printers.at(portPath).printer;
    const std::string node = m_printers.at(portPath).nodes.back().node;
    // A printer that takes no byte hears no command.
    if (printer.fail_writes || printer.stall_writes ||
        !m_usb.WaitForWrites(node, 2, std::chrono::minutes(3), stop)) {
        return;
    }
    ModeCommandParser commands;
    for (const BulkWrite& write : m_usb.WritesTo(node)) {
        for (const PrinterCommand& command : commands.feed(write.bytes)) {
            printer.mode = command.mode.value_or(printer.mode);
        }
    }
    printer.mode = printer.back_in.value_or(printer.mode);
    // The release and attach that follow the reset reach the node before it goes.
    if (Pause(std::chrono::milliseconds(300), stop)) {
        Unplug(portPath);
        if (!printer.never_back && Pause(std::chrono::milliseconds(printer.restart_ms), stop)) {
            Plug(portPath, printer);
        }
    }
}

void PrinterTestbed::Unplug(const std::string& portPath) {
    const std::string sysPath = "/sys" + m_sysPaths.at(portPath);
    // The uevent reads the device's properties, so it goes out while the device is still there.
    umockdev_testbed_uevent(m_testbed, sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(m_testbed, sysPath.c_str());
}

void PrinterTestbed::AddTty(const std::string& portPath, const std::string& name) {
    const std::string interfacePath =
        m_sysPaths.at(portPath) + "/" + portPath + ":1." + std::to_string(kCommInterface);
    const std::string interfaceDevice = "P: " + interfacePath +
                                        "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_interface\n"
                                        "A: bInterfaceClass=02\\n\n";
    const std::string ttyDevice = "P: " + interfacePath + "/tty/" + name +
                                  "\nE: SUBSYSTEM=tty\nE: DEVNAME=/dev/" + name + "\n";
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_testbed, interfaceDevice.c_str(), nullptr));
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_testbed, ttyDevice.c_str(), nullptr));
}

void PrinterTestbed::LockNode(const std::string& node) {
    EXPECT_EQ(chmod((m_root + node).c_str(), 0), 0);
}
