// A named event through which a second invocation of a tool (`--stop`) ends the running one.
#pragma once

#include "unique_handle.h"

#include <string>

class StopSignal {
  public:
    // Creates the event; fails when it cannot, or when another instance already owns it.
    bool create(const std::string& name, std::string& error);
    HANDLE handle() const { return event_.get(); }
    // Lets the tool stop itself (its lifetime ran out, or it failed) the same way.
    void raise() const { SetEvent(event_.get()); }

  private:
    UniqueHandle event_;
};

enum class StopRequestResult { Delivered, NotRunning, Failed };

// Sets the named event of a running instance.
StopRequestResult request_stop(const std::string& name);
