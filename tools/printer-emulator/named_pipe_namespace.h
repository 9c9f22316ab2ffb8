// The first printer's pipes: its device paths lead into the named pipe file system, where
// "<path>\PIPE00" and "<path>\PIPE01" are the pipes served under those names. Every open, write
// and close is seen.
#pragma once

#include "deadline.h"
#include "emulator_options.h"
#include "pipe_namespace.h"
#include "pipe_server.h"
#include "printer.h"
#include "printer_pipes.h"

class NamedPipeNamespace : public PipeNamespace {
  public:
    // `command_writes`: what PIPE01 does with a client's write; `held`: which pipes refuse
    // every client with ERROR_ACCESS_DENIED.
    NamedPipeNamespace(Printer& printer, WriteHandling command_writes, HeldPart held,
                       HANDLE stop_event, Deadline deadline);

    std::wstring_view link_target() const override { return L"\\Device\\NamedPipe"; }
    bool start(std::string& error) override;
    void join() override;

  private:
    PrinterPipe presence_;
    PrinterPipe commands_;
    PipeServer presence_server_;
    PipeServer command_server_;
};
