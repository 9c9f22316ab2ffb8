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

usb_endpoint_descriptor_no_audio bulk_endpoint(std::uint8_t address, std::uint16_t max_packet) {
    return {USB_DT_ENDPOINT_SIZE,   USB_DT_ENDPOINT,     address,
            USB_ENDPOINT_XFER_BULK, htole16(max_packet), 0};
}

// A vendor-specific interface with its bulk OUT endpoint 1 and IN endpoint 2.
InterfaceDescriptors vendor_interface(std::uint16_t max_packet) {
    return {{USB_DT_INTERFACE_SIZE, USB_DT_INTERFACE, 0, 0, 2, USB_CLASS_VENDOR_SPEC, 0, 0, 1},
            bulk_endpoint(1 | USB_DIR_OUT, max_packet),
            bulk_endpoint(2 | USB_DIR_IN, max_packet)};
}

// What ep0 is told: the interface at full and at high speed, then its name.
struct __attribute__((packed)) Descriptors {
    usb_functionfs_descs_head_v2 header{htole32(FUNCTIONFS_DESCRIPTORS_MAGIC_V2),
                                        htole32(sizeof(Descriptors)),
                                        htole32(FUNCTIONFS_HAS_FS_DESC | FUNCTIONFS_HAS_HS_DESC)};
    __le32 fs_count = htole32(3);
    __le32 hs_count = htole32(3);
    InterfaceDescriptors fs = vendor_interface(64);
    InterfaceDescriptors hs = vendor_interface(512);
};

struct __attribute__((packed)) Strings {
    usb_functionfs_strings_head header{htole32(FUNCTIONFS_STRINGS_MAGIC), htole32(sizeof(Strings)),
                                       htole32(1), htole32(1)};
    __le16 language = htole16(0x0409);
    char text[sizeof "Orvane native"] = "Orvane native";
};

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
    const Descriptors descriptors;
    const Strings strings;
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
