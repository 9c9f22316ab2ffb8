// What Windows does when a device arrives or leaves: every top-level window hears
// WM_DEVICECHANGE (DBT_DEVNODES_CHANGED). Under Wine nothing does so for the emulated printers,
// so the emulator plays that part. The broadcast runs on a thread of its own: a window that
// handles no messages (a dialog waiting for a restart) holds up no printer.
#pragma once

#include "deadline.h"
#include "unique_handle.h"

#include <optional>
#include <string>

class DeviceChangeBroadcaster {
  public:
    DeviceChangeBroadcaster() = default;
    DeviceChangeBroadcaster(const DeviceChangeBroadcaster&) = delete;
    DeviceChangeBroadcaster& operator=(const DeviceChangeBroadcaster&) = delete;
    // Ends its thread (bounded); `stop_event` must be set by then.
    ~DeviceChangeBroadcaster() { join(); }

    // Broadcasts until `stop_event` is set or the deadline passes.
    bool start(HANDLE stop_event, Deadline deadline, std::string& error);
    // A printer was listed or withdrawn. Changes that come while a broadcast is under way are
    // told by one more broadcast after it.
    void changed() const { SetEvent(changed_.get()); }
    void join();

  private:
    static DWORD WINAPI broadcast_main(void* context);
    HANDLE stop_event_ = nullptr;
    std::optional<Deadline> deadline_;
    UniqueHandle changed_;
    UniqueHandle thread_;
};
