#include "printer_pipes.h"

#include "hex_bytes.h"
#include "mode_command_parser.h"

#include <optional>
#include <utility>

namespace {

class PrinterSession : public PipeSession {
  public:
    PrinterSession(Printer& printer, std::string label, bool takes_commands)
        : printer_(printer), label_(std::move(label)), takes_commands_(takes_commands) {}

    void received(std::span<const std::uint8_t> bytes, bool write_failed) override {
        printer_.log().write_line((write_failed ? "write-failed " : "write ") + label_ + " " +
                                  hex_bytes(bytes));
        if (!takes_commands_) {
            return;
        }
        for (const PrinterCommand& command : parser_.feed(bytes)) {
            act_on(command, write_failed);
        }
    }

    void closed() override { printer_.log().write_line("close " + label_); }

  private:
    void act_on(const PrinterCommand& command, bool write_failed) {
        switch (command.kind) {
        case PrinterCommand::Kind::BadMode:
            printer_.log().write_line("bad-mode " + hex_bytes(std::span(&command.mode_byte, 1)));
            break;
        case PrinterCommand::Kind::SetMode:
            printer_.log().write_line("command " + std::string(usb_mode_name(*command.mode)));
            // A printer whose writes fail never hears the reset; the command alone restarts it.
            if (write_failed) {
                printer_.request_restart(*command.mode);
            } else {
                pending_mode_ = command.mode;
            }
            break;
        case PrinterCommand::Kind::Reset:
            printer_.log().write_line("reset");
            if (pending_mode_) {
                printer_.request_restart(*std::exchange(pending_mode_, std::nullopt));
            }
            break;
        }
    }

    Printer& printer_;
    std::string label_;
    bool takes_commands_;
    ModeCommandParser parser_;
    std::optional<UsbMode> pending_mode_;
};

class ForeignSession : public PipeSession {
  public:
    ForeignSession(LineFile& log, std::string label) : log_(log), label_(std::move(label)) {}
    void received(std::span<const std::uint8_t> bytes, bool) override {
        log_.write_line("write foreign " + label_ + " " + hex_bytes(bytes));
    }
    void closed() override { log_.write_line("close foreign " + label_); }

  private:
    LineFile& log_;
    std::string label_;
};

} // namespace

PrinterPipe::PrinterPipe(Printer& printer, std::string label, bool takes_commands)
    : printer_(printer), label_(std::move(label)), takes_commands_(takes_commands) {}

std::unique_ptr<PipeSession> PrinterPipe::opened() {
    printer_.log().write_line("open " + label_ + " " + printer_.state_name());
    return std::make_unique<PrinterSession>(printer_, label_, takes_commands_);
}

ForeignPipe::ForeignPipe(LineFile& log, std::string label) : log_(log), label_(std::move(label)) {}

std::unique_ptr<PipeSession> ForeignPipe::opened() {
    log_.write_line("open foreign " + label_);
    return std::make_unique<ForeignSession>(log_, label_);
}
