#include "device_change_broadcast.h"

#include <dbt.h>

namespace {
// Each window may take this long to answer; one that is hung is passed over at once.
constexpr UINT answer_bound_ms = 1000;
constexpr DWORD join_bound_ms = 10000;
} // namespace

bool DeviceChangeBroadcaster::start(HANDLE stop_event, Deadline deadline, std::string& error) {
    stop_event_ = stop_event;
    deadline_ = deadline;
    changed_.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    if (changed_.valid()) {
        thread_.reset(CreateThread(nullptr, 0, broadcast_main, this, 0, nullptr));
    }
    if (!thread_.valid()) {
        error = "cannot start the device-change broadcast (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

DWORD WINAPI DeviceChangeBroadcaster::broadcast_main(void* context) {
    auto* self = static_cast<DeviceChangeBroadcaster*>(context);
    const HANDLE waits[] = {self->stop_event_, self->changed_.get()};
    while (WaitForMultipleObjects(2, waits, FALSE, self->deadline_->remaining_ms()) ==
           WAIT_OBJECT_0 + 1) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0,
                            SMTO_ABORTIFHUNG, answer_bound_ms, &answer);
    }
    return 0;
}

void DeviceChangeBroadcaster::join() {
    if (thread_.valid()) {
        WaitForSingleObject(thread_.get(), join_bound_ms);
        thread_.reset();
    }
}
