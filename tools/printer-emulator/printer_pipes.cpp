#include "printer_pipes.h"

#include "hex_bytes.h"
#include "printer_input.h"

#include <utility>

namespace {

class PrinterSession : public PipeSession {
  public:
    PrinterSession(Printer& printer, std::string label, bool takes_commands)
        : printer_(printer), label_(label), input_(printer, std::move(label), takes_commands) {}

    void received(std::span<const std::uint8_t> bytes, Delivery delivery) override {
        input_.heard(bytes, delivery);
    }

    void closed() override { printer_.log_event("close " + label_); }

  private:
    Printer& printer_;
    std::string label_;
    PrinterInput input_;
};

class ForeignSession : public PipeSession {
  public:
    ForeignSession(LineFile& log, std::string label) : log_(log), label_(std::move(label)) {}
    void received(std::span<const std::uint8_t> bytes, Delivery) override {
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
    printer_.log_event("open " + label_ + " " + printer_.state_name());
    return std::make_unique<PrinterSession>(printer_, label_, takes_commands_);
}

ForeignPipe::ForeignPipe(LineFile& log, std::string label) : log_(log), label_(std::move(label)) {}

std::unique_ptr<PipeSession> ForeignPipe::opened() {
    log_.write_line("open foreign " + label_);
    return std::make_unique<ForeignSession>(log_, label_);
}
