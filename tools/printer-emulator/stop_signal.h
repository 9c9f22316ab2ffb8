// A named event through which a second invocation (`--stop`, `--plug N`, `--unplug N`) reaches
// the running emulator.
#pragma once

#include "unique_handle.h"

#include <string>

class StopSignal {
  public:
    // Creates the event; fails when it cannot, or when another emulator already owns it.
    bool create(const std::string& name, std::string& error);
    HANDLE handle() const { return event_.get(); }
    // Lets the emulator stop itself (its lifetime ran out, or it failed) the same way.
    void raise() const { SetEvent(event_.get()); }

  private:
    UniqueHandle event_;
};

// Sets the named event of the running emulator. Returns the exit code: 0, or 3 when none is
// running, or 1 when the event cannot be set; says why on stderr.
int signal_running_emulator(const std::string& name);
