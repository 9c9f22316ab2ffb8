// What a served pipe reports about one client connection.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

class PipeSession {
  public:
    virtual ~PipeSession() = default;
    // Bytes of one client write. `write_failed`: the emulator cut the connection, so the
    // client's write failed after the emulator saw the bytes.
    virtual void received(std::span<const std::uint8_t> bytes, bool write_failed) = 0;
    virtual void closed() = 0;
};

class PipeClientHandler {
  public:
    virtual ~PipeClientHandler() = default;
    // A client opened the pipe; the session hears the rest of the connection.
    virtual std::unique_ptr<PipeSession> opened() = 0;
};
