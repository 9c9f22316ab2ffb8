#include "stop_signal.h"

#include <cstdio>

bool StopSignal::create(const std::string& name, std::string& error) {
    event_.reset(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
    if (!event_.valid()) {
        error = "cannot create event " + name + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        event_.reset();
        error = "another instance is running (event " + name + " exists)";
        return false;
    }
    return true;
}

int signal_running_emulator(const std::string& name) {
    const UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    if (!event.valid() && GetLastError() == ERROR_FILE_NOT_FOUND) {
        std::fprintf(stderr, "PrinterEmulator: none is running\n");
        return 3;
    }
    if (!event.valid() || !SetEvent(event.get())) {
        std::fprintf(stderr, "PrinterEmulator: cannot set %s (error %lu)\n", name.c_str(),
                     GetLastError());
        return 1;
    }
    return 0;
}
