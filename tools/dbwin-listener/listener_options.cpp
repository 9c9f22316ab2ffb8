#include "listener_options.h"

#include "number_argument.h"

namespace {
constexpr std::uint32_t max_lifetime_s = 86400;
} // namespace

std::variant<ListenerCommand, std::string>
parse_listener_arguments(std::span<const std::string_view> arguments) {
    ListenerCommand command;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view option = arguments[i];
        if (option == "--help" || option == "-h" || option == "/?") {
            command.action = ListenerAction::Help;
            continue;
        }
        if (option == "--stop") {
            command.action = ListenerAction::Stop;
            continue;
        }
        if (option != "--out" && option != "--lifetime-s") {
            return "unknown argument: " + std::string(option);
        }
        if (i + 1 == arguments.size()) {
            return std::string(option) + " needs a value";
        }
        const std::string_view value = arguments[++i];
        if (option == "--out") {
            if (value.empty()) {
                return std::string("--out needs a path");
            }
            command.out_path = std::string(value);
        } else {
            const auto seconds = parse_decimal(value, max_lifetime_s);
            if (!seconds || *seconds == 0) {
                return "bad value for --lifetime-s: '" + std::string(value) + "'";
            }
            command.lifetime_s = *seconds;
        }
    }
    return command;
}

std::string_view listener_help_text() {
    return "DbwinListener: receives OutputDebugString text over the DBWIN_BUFFER channel and\n"
           "appends each string, whole, to a file.\n"
           "\n"
           "Usage: DbwinListener.exe [options]\n"
           "  --out PATH        record file (default DbwinListener.log), truncated at start\n"
           "  --lifetime-s N    stop by itself after N seconds (default 600)\n"
           "  --stop            stop the running listener and exit\n"
           "  --help            this text\n"
           "\n"
           "The first line is '<ms> ready', written once the channel listens. Then one line per\n"
           "OutputDebugString call: '<ms> <pid> <text>', the text escaped so that it stays on\n"
           "one line: \\\\ \\n \\r \\t, and \\xHH for other control bytes.\n"
           "Exit codes: 0 stopped, 1 failure (or another listener owns the channel),\n"
           "2 bad arguments, 3 --stop found no listener.\n";
}
