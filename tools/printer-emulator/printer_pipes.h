// How the printer answers on its pipes: every open, write and close is logged, and the
// bytes on PIPE01 are read as commands.
#pragma once

#include "line_file.h"
#include "pipe_session.h"
#include "printer.h"

#include <string>

class PrinterPipe : public PipeClientHandler {
  public:
    // `label`: "PIPE00" or "PIPE01"; `takes_commands`: whether its bytes are commands.
    PrinterPipe(Printer& printer, std::string label, bool takes_commands);
    std::unique_ptr<PipeSession> opened() override;

  private:
    Printer& printer_;
    std::string label_;
    bool takes_commands_;
};

// An interface without the printer's IDs: whoever opens it is logged, and nothing else.
class ForeignPipe : public PipeClientHandler {
  public:
    ForeignPipe(LineFile& log, std::string label);
    std::unique_ptr<PipeSession> opened() override;

  private:
    LineFile& log_;
    std::string label_;
};
