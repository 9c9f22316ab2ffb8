// DbwinListener.exe: records every OutputDebugString of the processes in its Wine session,
// whole, however long, which Wine's own debug channel would cut.
#include "dbwin_channel.h"
#include "debug_record.h"
#include "line_file.h"
#include "listener_options.h"
#include "stop_signal.h"
#include "tool_command.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char stop_event_name[] = "OrvaneDbwinListenerStop";

int fail(const std::string& error) {
    std::fprintf(stderr, "DbwinListener: %s\n", error.c_str());
    return tool_exit_failure;
}

int listen(const ListenerCommand& command) {
    // The channel first: a second listener must fail before it truncates any file.
    StopSignal stop;
    DbwinChannel channel;
    std::string error;
    if (!stop.create(stop_event_name, error) || !channel.open(error)) {
        return fail(error);
    }
    LineFile out;
    if (!out.open(command.out_path)) {
        return fail("cannot create " + command.out_path + " (error " +
                    std::to_string(GetLastError()) + ")");
    }
    const Deadline deadline = Deadline::after_seconds(command.lifetime_s);
    out.write_line("ready");
    DebugMessage message;
    for (;;) {
        switch (channel.receive(stop.handle(), deadline, message)) {
        case ReceiveResult::Message:
            out.write_line(debug_record(message.process_id, message.text));
            continue;
        case ReceiveResult::Stopped:
            out.write_line("stopped");
            return tool_exit_ok;
        case ReceiveResult::Expired:
            out.write_line("stopped lifetime-over");
            return tool_exit_ok;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments = tool_arguments(argc, argv);
    const auto parsed = parse_listener_arguments(arguments);
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::fprintf(stderr, "DbwinListener: %s (see --help)\n", message->c_str());
        return tool_exit_usage;
    }
    const auto& command = std::get<ListenerCommand>(parsed);
    switch (command.action) {
    case ListenerAction::Help:
        std::fwrite(listener_help_text().data(), 1, listener_help_text().size(), stdout);
        return tool_exit_ok;
    case ListenerAction::Stop:
        return stop_running_instance("DbwinListener", stop_event_name);
    case ListenerAction::Listen:
        break;
    }
    return listen(command);
}
