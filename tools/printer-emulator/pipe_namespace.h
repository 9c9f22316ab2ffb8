// Where a printer's device paths lead, and what serves "<path>\PIPE00" and "<path>\PIPE01"
// there, from the printer's start to its end.
//
// Named pipes ("\Device\NamedPipe") see every open, write and close, can fail or stall a write,
// and refuse a held pipe's clients with ERROR_ACCESS_DENIED; but Wine resolves no path below a
// pipe's name, so only one printer can play through them. Mailslots ("\Device\MailSlot") are a
// second, separate namespace: each message is one client write, opens and closes cannot be
// seen, no write can be made to fail or wait, and a held one refuses with
// ERROR_SHARING_VIOLATION. They live as long as the emulator: Wine keeps a mailslot, and its
// name, while any client holds a handle to it, so one closed at a restart could not be made
// again while the client that sent the command still held it. While the printer is away its
// link is gone, so its paths do not open.
#pragma once

#include "deadline.h"
#include "emulator_options.h"
#include "pipe_server.h"
#include "pipe_session.h"
#include "printer_input.h"
#include "printer_pipes.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

class PipeNamespace {
  public:
    // `command_writes`: what PIPE01 does with a client's write (named pipes only); `held`:
    // which pipes refuse every client.
    PipeNamespace(Printer& printer, PipeKind kind, WriteHandling command_writes, HeldPart held,
                  HANDLE stop_event, Deadline deadline);
    PipeNamespace(const PipeNamespace&) = delete;
    PipeNamespace& operator=(const PipeNamespace&) = delete;

    // The object the printer's links point at.
    std::wstring_view link_target() const;
    // Returns once both pipes can be opened through a link to link_target().
    bool start(std::string& error);
    // Waits (bounded) for whatever serves the pipes; the stop event must be set.
    void join();

  private:
    PipeKind kind_;
    PrinterPipe presence_pipe_; // named pipes: each client's session
    PrinterPipe command_pipe_;
    PrinterInput presence_input_; // mailslots: every message
    PrinterInput command_input_;
    std::array<std::unique_ptr<ServedPipe>, 2> servers_; // PIPE00, PIPE01; last, to end first
};
