#include "tool_command.h"

#include "stop_signal.h"

#include <windows.h>

#include <cstdio>

std::vector<std::string_view> tool_arguments(int argc, char** argv) {
    if (argc < 2) {
        return {};
    }
    return std::vector<std::string_view>(argv + 1, argv + argc);
}

int stop_running_instance(std::string_view tool, const std::string& event_name) {
    const auto name = static_cast<int>(tool.size());
    switch (request_stop(event_name)) {
    case StopRequestResult::Delivered:
        return tool_exit_ok;
    case StopRequestResult::NotRunning:
        std::fprintf(stderr, "%.*s: none is running\n", name, tool.data());
        return tool_exit_not_running;
    case StopRequestResult::Failed:
        break;
    }
    std::fprintf(stderr, "%.*s: cannot set %s (error %lu)\n", name, tool.data(), event_name.c_str(),
                 GetLastError());
    return tool_exit_failure;
}
