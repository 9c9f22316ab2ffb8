// Serves one named pipe: a few instances always listen, each on a thread of its own that serves
// the client it connects, then listens again. Every wait ends on the stop event or the deadline.
#pragma once

#include "deadline.h"
#include "served_pipe.h"
#include "unique_handle.h"

#include <string>
#include <vector>

// What the server does with a client's write. Its instances have no inbound buffer, so a write
// completes only once the server takes the bytes.
enum class WriteHandling {
    Take,  // read the bytes
    Cut,   // look at them without taking them and disconnect, so the client's WriteFile fails
    Stall, // look at them and never take them, so the client's WriteFile never completes
};

class PipeServer final : public ServedPipe {
  public:
    // With `refuse` the server end only reads, so every client that asks to read and write is
    // refused with ERROR_ACCESS_DENIED, as by a device another program holds.
    PipeServer(std::string name, PipeListener& listener, WriteHandling writes, bool refuse,
               HANDLE stop_event, Deadline deadline);
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;
    ~PipeServer() override { join(); }

    bool start(std::string& error) override;
    void join() override;

  private:
    struct Instance;
    static DWORD WINAPI instance_main(void* instance);
    void serve_clients(Instance& instance) const;
    void serve_connection(Instance& instance) const;

    std::string name_;
    PipeListener& listener_;
    WriteHandling writes_;
    bool refuse_;
    HANDLE stop_event_;
    Deadline deadline_;
    std::vector<UniqueHandle> threads_;
};
