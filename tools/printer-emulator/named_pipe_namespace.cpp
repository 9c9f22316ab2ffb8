#include "named_pipe_namespace.h"

namespace {

ClientAdmission admission(bool held) {
    return held ? ClientAdmission::Refuse : ClientAdmission::Admit;
}

} // namespace

NamedPipeNamespace::NamedPipeNamespace(Printer& printer, WriteHandling command_writes,
                                       HeldPart held, HANDLE stop_event, Deadline deadline)
    : presence_(printer, "PIPE00", false), commands_(printer, "PIPE01", true),
      presence_server_("\\\\.\\pipe\\PIPE00", presence_, WriteHandling::Take,
                       admission(held == HeldPart::Whole), stop_event, deadline),
      command_server_("\\\\.\\pipe\\PIPE01", commands_, command_writes,
                      admission(held != HeldPart::None), stop_event, deadline) {}

bool NamedPipeNamespace::start(std::string& error) {
    return presence_server_.start(error) && command_server_.start(error);
}

void NamedPipeNamespace::join() {
    presence_server_.join();
    command_server_.join();
}
