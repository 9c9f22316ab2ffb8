#include "PrinterTestbed.h"

#include "UsbDescriptors.h"

#include <gtest/gtest.h>

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
} // namespace

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
                                      const std::string& descriptorsHex,
                                      const std::string& serial) {
    const int number = m_nextDeviceNumber++;
    char address[4] = {};
    std::snprintf(address, sizeof address, "%03d", number);
    const std::string node = std::string("/dev/bus/usb/001/") + address;
    const std::string sysPath = m_sysPaths.at(ParentOf(portPath)) + "/" + portPath;
    m_sysPaths[portPath] = sysPath;

    std::string description = "P: " + sysPath + "\nN: " + node.substr(5) +
                              "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=001\n" +
                              "E: DEVNUM=" + address + "\nE: DEVNAME=" + node +
                              "\nA: busnum=1\\n\nA: devnum=" + std::to_string(number) +
                              "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\n";
    if (!serial.empty()) {
        description += "A: serial=" + DescriptionValue(serial) + "\\n\n";
    }
    description += "H: descriptors=" + descriptorsHex + "\n";

    // The node is served before the device appears, so libusb never opens it unserved.
    EXPECT_TRUE(umockdev_testbed_attach_ioctl(m_testbed, node.c_str(), m_usb.handler(), nullptr));
    EXPECT_TRUE(umockdev_testbed_add_from_string(m_testbed, description.c_str(), nullptr));
    umockdev_testbed_uevent(m_testbed, ("/sys" + sysPath).c_str(), "add");
    return node;
}

std::string PrinterTestbed::Plug(const UsbPlug& plug) {
    const std::vector<std::uint8_t> descriptors =
        plug.foreign
            ? ForeignDescriptors(plug.vendorId, plug.productId)
            : PrinterDescriptors(plug.mode, plug.vendorId, plug.productId, !plug.serial.empty());
    return AddDevice(plug.portPath, Hex(descriptors), plug.serial);
}

void PrinterTestbed::PlugHub(const std::string& portPath) {
    AddDevice(portPath, Hex(HubDescriptors()), "");
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
