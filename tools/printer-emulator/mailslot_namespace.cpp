#include "mailslot_namespace.h"

MailslotNamespace::MailslotNamespace(Printer& printer, HeldPipes held, HANDLE stop_event,
                                     Deadline deadline)
    : presence_input_(printer, "PIPE00", false), command_input_(printer, "PIPE01", true),
      presence_("\\\\.\\mailslot\\PIPE00", held == HeldPipes::Both, presence_input_, stop_event,
                deadline),
      commands_("\\\\.\\mailslot\\PIPE01", held != HeldPipes::None, command_input_, stop_event,
                deadline) {}

bool MailslotNamespace::start(std::string& error) {
    return presence_.start(error) && commands_.start(error);
}

void MailslotNamespace::join() {
    presence_.join();
    commands_.join();
}
