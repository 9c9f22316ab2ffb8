// The gadget printer's command line: which UDC, which mode to start in, how it restarts, and
// the faults it can play.
#pragma once

#include "usb_mode.h"

#include <cstdint>
#include <optional>
#include <string>

struct GadgetOptions {
    std::string udc = "dummy_udc.0";
    std::string name;               // the configfs gadget's name; default from the UDC
    UsbMode mode = UsbMode::Native; // the mode it starts in
    std::uint16_t product_id = 0xC302;
    std::optional<std::string> serial; // any bytes; none: the device has no serial number
    unsigned restart_ms = 1500;        // off the bus between the reset and coming back
    unsigned linger_ms = 0;            // on the bus after the reset, before leaving
    bool never_return = false;
    std::optional<UsbMode> return_mode;      // come back in this mode, whatever was asked
    bool stall = false;                      // never read the command endpoint (native mode)
    std::optional<unsigned> unplug_after_ms; // leave for good this long after first coming up
    bool unplug_after_command = false;       // leave at the mode command, before the reset
    std::string log_path;                    // default: standard output
};

// Parses the arguments; on a bad one prints why and the help, and exits with 2.
GadgetOptions parse_gadget_options(int argc, char** argv);

// "AB\tC\x1b[31m\303\251": C escapes (\t \n \r \e \\ \xHH \NNN) become their bytes.
std::optional<std::string> decode_c_escapes(const std::string& text);
