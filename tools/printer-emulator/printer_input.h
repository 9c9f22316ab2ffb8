// What the printer makes of the bytes it hears on one of its pipes: every write is logged, and
// on the command pipe the mode command followed by the reset restarts it.
#pragma once

#include "mode_command_parser.h"
#include "pipe_session.h"
#include "printer.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

class PrinterInput {
  public:
    // `label`: "PIPE00" or "PIPE01"; `takes_commands`: whether its bytes are commands.
    PrinterInput(Printer& printer, std::string label, bool takes_commands);

    void heard(std::span<const std::uint8_t> bytes, Delivery delivery);
    // The pipe can no longer be read.
    void read_failed(unsigned long error);

  private:
    void act_on(const PrinterCommand& command, Delivery delivery);

    Printer& printer_;
    std::string label_;
    bool takes_commands_;
    ModeCommandParser parser_;
    std::optional<UsbMode> pending_mode_;
};
