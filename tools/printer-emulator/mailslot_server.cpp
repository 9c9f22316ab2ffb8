#include "mailslot_server.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace {

constexpr DWORD join_bound_ms = 3000;
constexpr DWORD max_message_bytes = 65536;

bool stop_set(HANDLE stop_event) {
    return WaitForSingleObject(stop_event, 0) == WAIT_OBJECT_0;
}

} // namespace

MailslotServer::MailslotServer(std::string name, bool held, PipeListener& input, HANDLE stop_event,
                               Deadline deadline)
    : name_(std::move(name)), held_(held), input_(input), stop_event_(stop_event),
      deadline_(deadline) {}

bool MailslotServer::start(std::string& error) {
    mailslot_.reset(CreateMailslotA(name_.c_str(), 0, deadline_.remaining_ms(), nullptr));
    if (!mailslot_.valid()) {
        error =
            "cannot create mailslot " + name_ + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    if (held_) {
        holder_.reset(CreateFileA(name_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
        if (!holder_.valid()) {
            error =
                "cannot hold mailslot " + name_ + " (error " + std::to_string(GetLastError()) + ")";
            mailslot_.reset();
            return false;
        }
    }
    reader_thread_.reset(CreateThread(nullptr, 0, reader_main, this, 0, nullptr));
    if (!reader_thread_.valid()) {
        error = "cannot start the thread of " + name_;
        mailslot_.reset();
        return false;
    }
    return true;
}

DWORD WINAPI MailslotServer::reader_main(void* self) {
    static_cast<MailslotServer*>(self)->read_messages();
    return 0;
}

// Wine gives a mailslot's owner synchronous reads only, which no cancel ends: each read is
// bounded by the lifetime, and join() wakes it with a message of its own.
void MailslotServer::read_messages() {
    // A copy, since join() may close the member's handle to end a read that was not woken.
    const HANDLE mailslot = mailslot_.get();
    std::vector<std::uint8_t> buffer(max_message_bytes);
    while (!stop_set(stop_event_) && !deadline_.passed()) {
        SetMailslotInfo(mailslot, deadline_.remaining_ms());
        DWORD bytes = 0;
        const BOOL read = ReadFile(mailslot, buffer.data(), max_message_bytes, &bytes, nullptr);
        const DWORD error = read ? ERROR_SUCCESS : GetLastError();
        if (stop_set(stop_event_)) {
            return;
        }
        if (read && bytes > 0) {
            input_.heard(std::span(buffer.data(), bytes), Delivery::Taken);
        } else if (error != ERROR_SUCCESS && error != ERROR_SEM_TIMEOUT &&
                   error != ERROR_BROKEN_PIPE) { // Wine's way of reading an empty message
            input_.read_failed(error);
            return;
        }
    }
}

void MailslotServer::wake_reader() const {
    const UniqueHandle writer(CreateFileA(name_.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    const std::uint8_t wake = 0;
    DWORD written = 0;
    if (writer.valid()) {
        WriteFile(writer.get(), &wake, 1, &written, nullptr);
    }
}

void MailslotServer::join() {
    // Let go first, or the wake below would be refused too.
    holder_.reset();
    if (reader_thread_.valid()) {
        wake_reader();
        if (WaitForSingleObject(reader_thread_.get(), join_bound_ms) != WAIT_OBJECT_0) {
            // Closing the mailslot fails a read still waiting on it.
            mailslot_.reset();
            WaitForSingleObject(reader_thread_.get(), join_bound_ms);
        }
        reader_thread_.reset();
    }
    mailslot_.reset();
}
