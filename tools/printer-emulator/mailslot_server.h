// Serves one mailslot: a thread reads its messages, each one a client's write, and hands them to
// the printer. The mailslot lives from start() to join(). Who opens or closes it cannot be seen.
#pragma once

#include "deadline.h"
#include "served_pipe.h"
#include "unique_handle.h"

#include <string>

class MailslotServer final : public ServedPipe {
  public:
    // `name` like "\\.\mailslot\PIPE01". A `held` mailslot is kept open for writing without
    // write sharing, so every client that asks to write is refused with
    // ERROR_SHARING_VIOLATION, as by a device another program holds.
    MailslotServer(std::string name, bool held, PipeListener& input, HANDLE stop_event,
                   Deadline deadline);
    MailslotServer(const MailslotServer&) = delete;
    MailslotServer& operator=(const MailslotServer&) = delete;
    ~MailslotServer() override { join(); }

    bool start(std::string& error) override;
    // Ends the reader (bounded) and closes the mailslot; the stop event must be set.
    void join() override;

  private:
    static DWORD WINAPI reader_main(void* self);
    void read_messages();
    void wake_reader() const;

    std::string name_;
    bool held_;
    PipeListener& input_;
    HANDLE stop_event_;
    Deadline deadline_;
    UniqueHandle mailslot_;
    UniqueHandle holder_; // the writer that holds a held mailslot
    UniqueHandle reader_thread_;
};
