// The second printer's pipes: its device paths lead into the mailslot file system, where
// "<path>\PIPE00" and "<path>\PIPE01" open the mailslots of those names. Each message is one
// client write; opens and closes cannot be seen, and no write can be made to fail or wait.
//
// The mailslots live as long as the emulator. Wine keeps a mailslot, and its name, while any
// client holds a handle to it, so one closed at a restart could not be made again while the
// client that sent the command still held its handle. While the printer is away its link is
// gone, so its paths do not open.
#pragma once

#include "deadline.h"
#include "emulator_options.h"
#include "mailslot_server.h"
#include "pipe_namespace.h"
#include "printer.h"
#include "printer_input.h"

class MailslotNamespace : public PipeNamespace {
  public:
    // `held`: which mailslots refuse every client with ERROR_SHARING_VIOLATION.
    MailslotNamespace(Printer& printer, HeldPart held, HANDLE stop_event, Deadline deadline);

    std::wstring_view link_target() const override { return L"\\Device\\MailSlot"; }
    bool start(std::string& error) override;
    void join() override;

  private:
    PrinterInput presence_input_;
    PrinterInput command_input_;
    MailslotServer presence_;
    MailslotServer commands_;
};
