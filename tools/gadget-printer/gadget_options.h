// The gadget printer's command line: which UDC and gadget name, its log, and the printer it
// plays in the shared description's text form.
#pragma once

#include "printer_description.h"

#include <string>

struct GadgetOptions {
    std::string udc = "dummy_udc.0";
    std::string name;     // the configfs gadget's name; default from the UDC
    std::string log_path; // default: standard output
    PrinterDescription printer;
};

// Parses the arguments; on a bad one prints why and exits with 2.
GadgetOptions parse_gadget_options(int argc, char** argv);
