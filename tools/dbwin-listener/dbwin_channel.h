// The listening end of the DBWIN_BUFFER channel that OutputDebugString writes to when no
// debugger is attached: a 4096-byte section holding the writer's pid and text, and two events
// that pass the section back and forth.
#pragma once

#include "deadline.h"
#include "unique_handle.h"

#include <cstdint>
#include <string>

struct DebugMessage {
    std::uint32_t process_id = 0;
    std::string text;
};

enum class ReceiveResult { Message, Stopped, Expired };

class DbwinChannel {
  public:
    DbwinChannel() = default;
    DbwinChannel(const DbwinChannel&) = delete;
    DbwinChannel& operator=(const DbwinChannel&) = delete;
    ~DbwinChannel();

    // Fails when another listener already owns the channel.
    bool open(std::string& error);
    // Hands the section to the next writer and waits for its string.
    ReceiveResult receive(HANDLE stop_event, const Deadline& deadline, DebugMessage& message);

  private:
    static constexpr std::size_t section_bytes = 4096;

    UniqueHandle buffer_ready_;
    UniqueHandle data_ready_;
    UniqueHandle section_;
    const unsigned char* view_ = nullptr;
};
