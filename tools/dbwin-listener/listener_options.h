// What the debugger-channel listener is told on its command line.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

enum class ListenerAction { Listen, Stop, Help };

struct ListenerCommand {
    ListenerAction action = ListenerAction::Listen;
    std::string out_path = "DbwinListener.log";
    std::uint32_t lifetime_s = 600;
};

// Either the command or a message saying what is wrong with the arguments.
std::variant<ListenerCommand, std::string>
parse_listener_arguments(std::span<const std::string_view> arguments);

std::string_view listener_help_text();
