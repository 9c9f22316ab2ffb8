// One USB gadget in configfs (/sys/kernel/config/usb_gadget/<name>): its IDs and strings, one
// configuration, the function linked into it, and the device controller it is bound to.
// Everything it made is removed again when it goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Writes a configfs or sysfs attribute; throws with the path and errno when refused.
void write_attribute(const std::string& path, const std::string& value);
std::string read_attribute(const std::string& path);

class ConfigfsGadget {
  public:
    ConfigfsGadget(const std::string& name, std::uint16_t vendor_id,
                   const std::optional<std::string>& serial);
    ~ConfigfsGadget();
    ConfigfsGadget(const ConfigfsGadget&) = delete;
    ConfigfsGadget& operator=(const ConfigfsGadget&) = delete;

    void set_product_id(std::uint16_t product_id);
    // Makes functions/<kind>.<instance> and links it into the configuration; returns its path.
    std::string add_function(const std::string& kind);
    void remove_function();
    // On and off the bus: the host sees the device arrive and leave.
    void bind(const std::string& udc);
    void unbind();
    const std::string& instance() const { return instance_; }

  private:
    std::string root_;
    std::string instance_;
    std::string function_; // "acm.<instance>" while one is linked
    bool bound_ = false;
};
