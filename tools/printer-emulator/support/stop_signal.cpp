#include "stop_signal.h"

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

StopRequestResult request_stop(const std::string& name) {
    UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str()));
    if (!event.valid()) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? StopRequestResult::NotRunning
                                                      : StopRequestResult::Failed;
    }
    return SetEvent(event.get()) ? StopRequestResult::Delivered : StopRequestResult::Failed;
}
