#include "function_fs.h"

#include <cerrno>
#include <cstring>
#include <endian.h>
#include <fcntl.h>
#include <linux/usb/ch9.h>
#include <linux/usb/functionfs.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct __attribute__((packed)) InterfaceDescriptors {
    usb_interface_descriptor interface;
    usb_endpoint_descriptor_no_audio out;
    usb_endpoint_descriptor_no_audio in;
};

struct __attribute__((packed)) Descriptors {
    usb_functionfs_descs_head_v2 header;
    __le32 fs_count;
    __le32 hs_count;
    InterfaceDescriptors fs;
    InterfaceDescriptors hs;
};

constexpr char interface_name[] = "Orvane native";

struct __attribute__((packed)) Strings {
    usb_functionfs_strings_head header;
    __le16 language;
    char text[sizeof interface_name];
};

InterfaceDescriptors vendor_interface(std::uint16_t max_packet) {
    InterfaceDescriptors d{};
    d.interface.bLength = sizeof d.interface;
    d.interface.bDescriptorType = USB_DT_INTERFACE;
    d.interface.bNumEndpoints = 2;
    d.interface.bInterfaceClass = USB_CLASS_VENDOR_SPEC;
    d.interface.iInterface = 1;
    for (usb_endpoint_descriptor_no_audio* endpoint : {&d.out, &d.in}) {
        endpoint->bLength = sizeof *endpoint;
        endpoint->bDescriptorType = USB_DT_ENDPOINT;
        endpoint->bmAttributes = USB_ENDPOINT_XFER_BULK;
        endpoint->wMaxPacketSize = htole16(max_packet);
    }
    d.out.bEndpointAddress = 1 | USB_DIR_OUT;
    d.in.bEndpointAddress = 2 | USB_DIR_IN;
    return d;
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void write_all(int fd, const void* data, std::size_t size, const std::string& what) {
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        fail(what);
    }
}
} // namespace

FunctionFsInterface::FunctionFsInterface(const std::string& instance,
                                         const std::string& mount_point)
    : mount_point_(mount_point) {
    if (mkdir(mount_point.c_str(), 0700) != 0 && errno != EEXIST) {
        fail("mkdir " + mount_point);
    }
    if (mount(instance.c_str(), mount_point.c_str(), "functionfs", 0, nullptr) != 0) {
        fail("mount functionfs " + instance + " on " + mount_point);
    }
    ep0_ = open((mount_point + "/ep0").c_str(), O_RDWR | O_CLOEXEC);
    if (ep0_ < 0) {
        umount(mount_point.c_str());
        fail("open ep0 of " + mount_point);
    }
    Descriptors descriptors{};
    descriptors.header.magic = htole32(FUNCTIONFS_DESCRIPTORS_MAGIC_V2);
    descriptors.header.length = htole32(sizeof descriptors);
    descriptors.header.flags = htole32(FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC);
    descriptors.fs_count = htole32(3);
    descriptors.hs_count = htole32(3);
    descriptors.fs = vendor_interface(64);
    descriptors.hs = vendor_interface(512);
    Strings strings{};
    strings.header.magic = htole32(FUNCTIONFS_STRINGS_MAGIC);
    strings.header.length = htole32(sizeof strings);
    strings.header.str_count = htole32(1);
    strings.header.lang_count = htole32(1);
    strings.language = htole16(0x0409);
    std::memcpy(strings.text, interface_name, sizeof interface_name);
    try {
        write_all(ep0_, &descriptors, sizeof descriptors, "FunctionFS descriptors");
        write_all(ep0_, &strings, sizeof strings, "FunctionFS strings");
        out_ = open((mount_point + "/ep1").c_str(), O_RDONLY | O_CLOEXEC);
        if (out_ < 0) {
            fail("open ep1 of " + mount_point);
        }
    } catch (...) {
        close(ep0_);
        umount(mount_point.c_str());
        throw;
    }
}

FunctionFsInterface::~FunctionFsInterface() {
    close(out_);
    close(ep0_);
    umount(mount_point_.c_str());
    rmdir(mount_point_.c_str());
}
