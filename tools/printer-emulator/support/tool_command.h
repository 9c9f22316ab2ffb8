// What both Wine test tools do the same way on their command line: exit codes, the
// arguments, and `--stop`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum ToolExitCode {
    tool_exit_ok = 0,
    tool_exit_failure = 1,
    tool_exit_usage = 2,
    tool_exit_not_running = 3
};

// The arguments after the program name; argc may be 0 when a parent passes no name at all.
std::vector<std::string_view> tool_arguments(int argc, char** argv);

// Sets the stop event of the running instance; problems go to stderr, prefixed by `tool`.
int stop_running_instance(std::string_view tool, const std::string& event_name);
