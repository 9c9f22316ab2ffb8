// The system's log on Windows: the Application event log, source "Orvane". The MSI registers the
// source with Orvane.exe as its message file (EventMessages.mc), so that Event Viewer shows each
// record's text; unregistered, the events go out all the same. Nothing of it is opened before
// the first record, so the switches that leave none run nothing of it.
#pragma once

#include "common/SystemLog.h"

class ApplicationEventLog : public SystemLog {
  public:
    void Write(const LogRecord& record) override;
};
