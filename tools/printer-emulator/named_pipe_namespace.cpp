#include "named_pipe_namespace.h"

NamedPipeNamespace::NamedPipeNamespace(Printer& printer, WriteHandling command_writes,
                                       HANDLE stop_event, Deadline deadline)
    : presence_(printer, "PIPE00", false), commands_(printer, "PIPE01", true),
      presence_server_("\\\\.\\pipe\\PIPE00", presence_, WriteHandling::Take, stop_event, deadline),
      command_server_("\\\\.\\pipe\\PIPE01", commands_, command_writes, stop_event, deadline) {}

bool NamedPipeNamespace::start(std::string& error) {
    return presence_server_.start(error) && command_server_.start(error);
}

void NamedPipeNamespace::join() {
    presence_server_.join();
    command_server_.join();
}
