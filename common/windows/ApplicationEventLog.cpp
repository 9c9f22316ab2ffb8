#include "common/windows/ApplicationEventLog.h"

#include "common/DebugTrace.h"
#include "platform/win32.h"

namespace {
// The event type and message of each level, in the order of LogLevel. The messages are those of
// EventMessages.mc, whose IDs carry their severity in the top bits; each shows its one string.
struct EventKind {
    WORD type;
    DWORD messageId;
};
constexpr EventKind kEventKinds[] = {
    {EVENTLOG_INFORMATION_TYPE, 0x40000001},
    {EVENTLOG_WARNING_TYPE, 0x80000002},
    {EVENTLOG_ERROR_TYPE, 0xC0000003},
};

void TraceFailure(const char* call) {
    DebugTrace("EventLog",
               FormatText("%s failed: %lu", call, static_cast<unsigned long>(GetLastError())));
}
} // namespace

void ApplicationEventLog::Write(const LogRecord& record) {
    const HANDLE hSource = RegisterEventSourceA(nullptr, "Orvane");
    if (hSource == nullptr) {
        TraceFailure("RegisterEventSourceA");
        return;
    }
    const EventKind& kind = kEventKinds[static_cast<int>(record.level)];
    LPCSTR strings[] = {record.text.c_str()};
    if (!ReportEventA(hSource, kind.type, 0, kind.messageId, nullptr, 1, 0, strings, nullptr)) {
        TraceFailure("ReportEventA");
    }
    DeregisterEventSource(hSource);
}
