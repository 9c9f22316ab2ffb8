#include "configfs_gadget.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const std::string gadget_root = "/sys/kernel/config/usb_gadget/";

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

void make_directory(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) {
        fail("mkdir", path);
    }
}

// Cleaning up goes on past what cannot be removed; the next run's mkdir then says why.
void remove_directory(const std::string& path) {
    if (rmdir(path.c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "gadget-printer: rmdir %s: %s\n", path.c_str(), std::strerror(errno));
    }
}

std::string hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", value);
    return text;
}
} // namespace

void write_attribute(const std::string& path, const std::string& value) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        fail("open", path);
    }
    const ssize_t written = write(fd, value.data(), value.size());
    const int error = errno;
    close(fd);
    if (written != static_cast<ssize_t>(value.size())) {
        errno = written < 0 ? error : EIO;
        fail("write", path);
    }
}

std::string read_attribute(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr) {
        fail("open", path);
    }
    std::string text;
    char chunk[256];
    std::size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        text.append(chunk, count);
    }
    std::fclose(file);
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

ConfigfsGadget::ConfigfsGadget(const std::string& name, std::uint16_t vendor_id,
                               const std::optional<std::string>& serial)
    : root_(gadget_root + name), instance_(name) {
    // Function instance names are "<kind>.<instance>": keep it to letters, digits and '_'.
    for (char& c : instance_) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    make_directory(root_);
    write_attribute(root_ + "/idVendor", hex4(vendor_id));
    write_attribute(root_ + "/bcdUSB", "0x0200");
    make_directory(root_ + "/strings/0x409");
    write_attribute(root_ + "/strings/0x409/manufacturer", "Orvane test printer");
    write_attribute(root_ + "/strings/0x409/product", "Gadget printer");
    if (serial) {
        // The kernel refuses what is not UTF-8; an empty write would keep the old one.
        write_attribute(root_ + "/strings/0x409/serialnumber", *serial);
    }
    make_directory(root_ + "/configs/c.1");
    make_directory(root_ + "/configs/c.1/strings/0x409");
    write_attribute(root_ + "/configs/c.1/strings/0x409/configuration", "Printer");
    write_attribute(root_ + "/configs/c.1/MaxPower", "2");
}

ConfigfsGadget::~ConfigfsGadget() {
    try {
        unbind();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gadget-printer: %s\n", error.what());
    }
    remove_function();
    remove_directory(root_ + "/configs/c.1/strings/0x409");
    remove_directory(root_ + "/configs/c.1");
    remove_directory(root_ + "/strings/0x409");
    remove_directory(root_);
}

void ConfigfsGadget::set_product_id(std::uint16_t product_id) {
    write_attribute(root_ + "/idProduct", hex4(product_id));
}

std::string ConfigfsGadget::add_function(const std::string& kind) {
    function_ = kind + "." + instance_;
    const std::string path = root_ + "/functions/" + function_;
    make_directory(path);
    const std::string link = root_ + "/configs/c.1/" + function_;
    if (symlink(path.c_str(), link.c_str()) != 0 && errno != EEXIST) {
        fail("symlink", link);
    }
    return path;
}

void ConfigfsGadget::remove_function() {
    if (function_.empty()) {
        return;
    }
    if (unlink((root_ + "/configs/c.1/" + function_).c_str()) != 0 && errno != ENOENT) {
        std::fprintf(stderr, "gadget-printer: unlink %s: %s\n", function_.c_str(),
                     std::strerror(errno));
    }
    remove_directory(root_ + "/functions/" + function_);
    function_.clear();
}

void ConfigfsGadget::bind(const std::string& udc) {
    write_attribute(root_ + "/UDC", udc);
    bound_ = true;
}

void ConfigfsGadget::unbind() {
    if (bound_) {
        bound_ = false;
        write_attribute(root_ + "/UDC", "\n");
    }
}
