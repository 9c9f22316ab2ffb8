#include "dbwin_channel.h"

#include <cstring>

namespace {

bool created_anew(UniqueHandle& handle, HANDLE created, const char* name, std::string& error) {
    handle.reset(created);
    if (!handle.valid()) {
        error = std::string("cannot create ") + name + " (error " + std::to_string(GetLastError()) +
                ")";
        return false;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        error = std::string(name) + " exists: another listener or debugger owns the channel";
        return false;
    }
    return true;
}

} // namespace

DbwinChannel::~DbwinChannel() {
    if (view_ != nullptr) {
        UnmapViewOfFile(view_);
    }
}

bool DbwinChannel::open(std::string& error) {
    if (!created_anew(buffer_ready_, CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"),
                      "DBWIN_BUFFER_READY", error) ||
        !created_anew(data_ready_, CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY"),
                      "DBWIN_DATA_READY", error) ||
        !created_anew(section_,
                      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                         section_bytes, "DBWIN_BUFFER"),
                      "DBWIN_BUFFER", error)) {
        return false;
    }
    view_ = static_cast<const unsigned char*>(
        MapViewOfFile(section_.get(), FILE_MAP_READ, 0, 0, section_bytes));
    if (view_ == nullptr) {
        error = "cannot map DBWIN_BUFFER (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

ReceiveResult DbwinChannel::receive(HANDLE stop_event, const Deadline& deadline,
                                    DebugMessage& message) {
    SetEvent(buffer_ready_.get());
    const HANDLE waits[] = {data_ready_.get(), stop_event};
    const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, deadline.remaining_ms());
    if (woken == WAIT_OBJECT_0 + 1) {
        return ReceiveResult::Stopped;
    }
    if (woken != WAIT_OBJECT_0) {
        return ReceiveResult::Expired;
    }
    // The writer waits for buffer_ready before touching the section again, so it is stable
    // until the next receive(). Its text may lack the terminating zero; never read past it.
    std::uint32_t process_id = 0;
    std::memcpy(&process_id, view_, sizeof process_id);
    const char* text = reinterpret_cast<const char*>(view_ + sizeof process_id);
    const std::size_t room = section_bytes - sizeof process_id;
    const void* end = std::memchr(text, '\0', room);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : room;
    message.process_id = process_id;
    message.text.assign(text, length);
    return ReceiveResult::Message;
}
