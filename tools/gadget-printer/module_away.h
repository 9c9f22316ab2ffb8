// A kernel module kept out of the kernel while the gadget plays, as on a machine that lacks it
// (--no-driver-in comm: no cdc_acm, so the host's kernel makes no tty for the printer). It is
// loaded again at the end if it was loaded at the start.
#pragma once

#include <string>

class ModuleAway {
  public:
    // Throws when the module is loaded and cannot be unloaded.
    explicit ModuleAway(std::string module);
    ~ModuleAway();
    ModuleAway(const ModuleAway&) = delete;
    ModuleAway& operator=(const ModuleAway&) = delete;

  private:
    std::string module_;
    bool was_loaded_ = false;
};
