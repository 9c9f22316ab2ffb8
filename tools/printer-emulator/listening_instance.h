// One instance of a served pipe, waiting for a client with its connect operation in flight.
// It stays at one address while the operation runs, so it is neither copied nor moved.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <string>

class ListeningInstance {
  public:
    ListeningInstance() = default;
    ListeningInstance(const ListeningInstance&) = delete;
    ListeningInstance& operator=(const ListeningInstance&) = delete;
    ~ListeningInstance() { abandon(); }

    // Creates the instance and starts waiting for a client. With `refuse_clients` the server end
    // only reads, so every client that asks to read and write is refused with
    // ERROR_ACCESS_DENIED, as by a device another program holds.
    bool listen(const std::string& pipe_name, bool refuse_clients, std::string& error);
    // Set once a client has connected, or the wait has failed.
    HANDLE ready_event() const { return event_.get(); }
    // After ready_event(): the connected instance, or nothing if the wait failed.
    UniqueHandle take_client();

  private:
    // Stops a wait still in flight, bounded, before the memory it uses goes away.
    void abandon();

    UniqueHandle pipe_;
    UniqueHandle event_;
    OVERLAPPED overlapped_{};
    bool pending_ = false;
};
