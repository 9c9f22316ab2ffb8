// What a served pipe reports about one client connection.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// What became of the bytes of one client write.
enum class Delivery {
    Taken,   // read by the emulator; the client's write succeeded
    Cut,     // seen, then the connection was cut, so the client's write failed
    Stalled, // seen but never taken: the client's write stays pending
};

class PipeSession {
  public:
    virtual ~PipeSession() = default;
    virtual void received(std::span<const std::uint8_t> bytes, Delivery delivery) = 0;
    virtual void closed() = 0;
};

class PipeClientHandler {
  public:
    virtual ~PipeClientHandler() = default;
    // A client opened the pipe; the session hears the rest of the connection.
    virtual std::unique_ptr<PipeSession> opened() = 0;
};

// What serves one of a printer's pipes, as a named pipe or a mailslot.
class ServedPipe {
  public:
    virtual ~ServedPipe() = default;
    // Returns once a client can open it.
    virtual bool start(std::string& error) = 0;
    // Waits (bounded) for what serves it after the stop event was set.
    virtual void join() = 0;
};
