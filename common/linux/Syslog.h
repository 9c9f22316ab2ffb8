// The system's log on Linux: syslog(3) under the identifier "orvane" (journald takes it too), at
// LOG_INFO, LOG_WARNING and LOG_ERR. Nothing of it is opened before the first record.
#pragma once

#include "common/SystemLog.h"

class Syslog : public SystemLog {
  public:
    void Write(const LogRecord& record) override;
};
