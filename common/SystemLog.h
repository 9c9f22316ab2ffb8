// The system's log, where a change to a printer leaves its record for administrators: the
// Application event log on Windows, syslog on Linux. Each system brings its writer; a face is
// handed one and knows nothing of where the records go. A record that cannot be written is
// dropped: it never changes what Orvane shows or its exit code.
#pragma once

#include <string>

enum class LogLevel { Information, Warning, Error };

// How long a record may take to be handed over. A log service or daemon that has stopped taking
// records would otherwise hold Orvane for as long as it stays stopped; each writer hands the
// record over on a thread of its own and goes on without it after this long.
constexpr int kLogHandOverBoundMs = 2000;

struct LogRecord {
    LogLevel level = LogLevel::Information;
    std::string text; // one line
};

class SystemLog {
  public:
    virtual ~SystemLog() = default;
    virtual void Write(const LogRecord& record) = 0;
};
