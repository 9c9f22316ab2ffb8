// What serves one of the emulator's pipes, and what hears its clients.
#pragma once

#include <cstdint>
#include <span>
#include <string>

// What became of the bytes of one client write.
enum class Delivery {
    Taken,   // read by the emulator; the client's write succeeded
    Cut,     // seen, then the connection was cut, so the client's write failed
    Stalled, // seen but never taken: the client's write stays pending
};

// Hears every client of one pipe. Called from the threads that serve it; a mailslot's opens and
// closes cannot be seen, so it calls heard() and read_failed() alone.
class PipeListener {
  public:
    virtual ~PipeListener() = default;
    virtual void opened() = 0;
    virtual void heard(std::span<const std::uint8_t> bytes, Delivery delivery) = 0;
    virtual void closed() = 0;
    // The pipe can no longer be read.
    virtual void read_failed(unsigned long error) = 0;
};

// A named pipe or a mailslot.
class ServedPipe {
  public:
    virtual ~ServedPipe() = default;
    // Returns once a client can open it.
    virtual bool start(std::string& error) = 0;
    // Waits (bounded) for what serves it after the stop event was set.
    virtual void join() = 0;
};
