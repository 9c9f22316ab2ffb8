// Serves one named pipe: several instances always listen, each client connection gets its
// own instance and thread. Every wait ends on the stop event or the deadline.
#pragma once

#include "deadline.h"
#include "listening_instance.h"
#include "pipe_session.h"
#include "unique_handle.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the server does with a client's write. Its instances have no inbound buffer, so a write
// completes only once the server takes the bytes.
enum class WriteHandling {
    Take,  // read the bytes
    Cut,   // look at them without taking them and disconnect, so the client's WriteFile fails
    Stall, // look at them and never take them, so the client's WriteFile never completes
};

// Whether the server lets clients in, or refuses them as a pipe another program holds.
enum class ClientAdmission { Admit, Refuse };

class PipeServer : public ServedPipe {
  public:
    PipeServer(std::string pipe_name, PipeClientHandler& handler, WriteHandling writes,
               ClientAdmission admission, HANDLE stop_event, Deadline deadline);
    PipeServer(const PipeServer&) = delete;
    PipeServer& operator=(const PipeServer&) = delete;
    ~PipeServer() override;

    // Returns once a client can connect.
    bool start(std::string& error) override;
    // Waits (bounded) for the listener and its sessions after the stop event was set.
    void join() override;

  private:
    static DWORD WINAPI listener_main(void* self);
    void listen();
    std::optional<std::size_t> wait_for_client() const;
    void start_session(UniqueHandle instance);
    void forget_finished_sessions();

    std::string pipe_name_;
    PipeClientHandler& handler_;
    WriteHandling writes_;
    ClientAdmission admission_;
    HANDLE stop_event_;
    Deadline deadline_;
    std::vector<std::unique_ptr<ListeningInstance>> listening_; // the listener thread's own
    UniqueHandle listener_thread_;
    std::vector<UniqueHandle> session_threads_; // touched by the listener thread only
};
