#include "pipe_namespace.h"

#include "mailslot_server.h"
#include "pipe_server.h"

PipeNamespace::PipeNamespace(Printer& printer, PipeKind kind, WriteHandling command_writes,
                             HeldPart held, HANDLE stop_event, Deadline deadline)
    : kind_(kind), presence_pipe_(printer, "PIPE00", false), command_pipe_(printer, "PIPE01", true),
      presence_input_(printer, "PIPE00", false), command_input_(printer, "PIPE01", true) {
    const bool presence_held = held == HeldPart::Whole;
    const bool command_held = held != HeldPart::None;
    if (kind == PipeKind::Mailslots) {
        servers_ = {std::make_unique<MailslotServer>("\\\\.\\mailslot\\PIPE00", presence_held,
                                                     presence_input_, stop_event, deadline),
                    std::make_unique<MailslotServer>("\\\\.\\mailslot\\PIPE01", command_held,
                                                     command_input_, stop_event, deadline)};
        return;
    }
    const auto admission = [](bool refused) {
        return refused ? ClientAdmission::Refuse : ClientAdmission::Admit;
    };
    servers_ = {std::make_unique<PipeServer>("\\\\.\\pipe\\PIPE00", presence_pipe_,
                                             WriteHandling::Take, admission(presence_held),
                                             stop_event, deadline),
                std::make_unique<PipeServer>("\\\\.\\pipe\\PIPE01", command_pipe_, command_writes,
                                             admission(command_held), stop_event, deadline)};
}

std::wstring_view PipeNamespace::link_target() const {
    return kind_ == PipeKind::Mailslots ? L"\\Device\\MailSlot" : L"\\Device\\NamedPipe";
}

bool PipeNamespace::start(std::string& error) {
    return servers_[0]->start(error) && servers_[1]->start(error);
}

void PipeNamespace::join() {
    for (const auto& server : servers_) {
        server->join();
    }
}
