// The trace sink on Windows: the system debugger channel (OutputDebugStringA).
#pragma once

#include "common/DebugTrace.h"

class DebuggerChannel : public TraceSink {
  public:
    void Send(const char* text) override;
};

// Installs a debugger-channel sink for as long as the object lives.
class ScopedDebuggerChannel {
  public:
    ScopedDebuggerChannel() : m_previous(InstallTraceSink(&m_channel)) {}
    ~ScopedDebuggerChannel() { InstallTraceSink(m_previous); }
    ScopedDebuggerChannel(const ScopedDebuggerChannel&) = delete;
    ScopedDebuggerChannel& operator=(const ScopedDebuggerChannel&) = delete;

  private:
    DebuggerChannel m_channel;
    TraceSink* m_previous;
};
