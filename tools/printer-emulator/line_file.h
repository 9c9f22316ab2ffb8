// An append-only text file written one whole line at a time, each line stamped with the
// performance counter's milliseconds and handed to the system at once, so readers see it at once.
#pragma once

#include "unique_handle.h"

#include <windows.h>

#include <string>
#include <string_view>

class LineFile {
  public:
    // Truncates the file; returns false (with GetLastError() set) when it cannot be created.
    bool open(const std::string& path);
    // Writes "<ms> <text>\n"; safe to call from any thread.
    void write_line(std::string_view text);

  private:
    UniqueHandle file_;
    SRWLOCK lock_ = SRWLOCK_INIT;
};
