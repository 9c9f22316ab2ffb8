#include "mailslot_namespace.h"

MailslotNamespace::MailslotNamespace(Printer& printer, HeldPart held, HANDLE stop_event,
                                     Deadline deadline)
    : presence_input_(printer, "PIPE00", false), command_input_(printer, "PIPE01", true),
      presence_("\\\\.\\mailslot\\PIPE00", held == HeldPart::Whole, presence_input_, stop_event,
                deadline),
      commands_("\\\\.\\mailslot\\PIPE01", held != HeldPart::None, command_input_, stop_event,
                deadline) {}

bool MailslotNamespace::start(std::string& error) {
    return presence_.start(error) && commands_.start(error);
}

void MailslotNamespace::join() {
    presence_.join();
    commands_.join();
}
