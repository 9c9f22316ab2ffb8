// What the printer makes of one of its pipes: every open, write and close is logged, and on the
// command pipe the mode command followed by the reset restarts it. The bytes are one stream
// whoever writes them, as they are to the printer's firmware.
#pragma once

#include "mode_command_parser.h"
#include "printer.h"
#include "served_pipe.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

class PrinterInput : public PipeListener {
  public:
    // `label`: "PIPE00" or "PIPE01"; `takes_commands`: whether its bytes are commands.
    PrinterInput(Printer& printer, std::string label, bool takes_commands);

    void opened() override;
    void heard(std::span<const std::uint8_t> bytes, Delivery delivery) override;
    void closed() override;
    void read_failed(unsigned long error) override;

  private:
    void act_on(const PrinterCommand& command, Delivery delivery);

    Printer& printer_;
    std::string label_;
    bool takes_commands_;
    SRWLOCK lock_ = SRWLOCK_INIT; // clients may write at once
    ModeCommandParser parser_;
    std::optional<UsbMode> pending_mode_;
};
