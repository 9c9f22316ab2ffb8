#include "module_away.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

// The module is one of ours, never text from outside: a shell line is safe here.
ModuleAway::ModuleAway(std::string module)
    : module_(std::move(module)),
      was_loaded_(access(("/sys/module/" + module_).c_str(), F_OK) == 0) {
    if (was_loaded_ && std::system(("modprobe -r " + module_).c_str()) != 0) {
        throw std::runtime_error("cannot unload the module " + module_);
    }
}

ModuleAway::~ModuleAway() {
    if (was_loaded_ && std::system(("modprobe " + module_).c_str()) != 0) {
        std::fprintf(stderr, "gadget-printer: cannot load the module %s again\n", module_.c_str());
    }
}
