#include "common/windows/ApplicationEventLog.h"

#include "common/DebugTrace.h"
#include "platform/win32.h"

#include <memory>

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

// Runs on a thread of its own, which owns the record: it may outlive the wait for it.
DWORD WINAPI ReportRecord(LPVOID pParameter) {
    const std::unique_ptr<LogRecord> record(static_cast<LogRecord*>(pParameter));
    const HANDLE hSource = RegisterEventSourceA(nullptr, "Orvane");
    if (hSource == nullptr) {
        TraceFailure("RegisterEventSourceA");
        return 1;
    }
    const EventKind& kind = kEventKinds[static_cast<int>(record->level)];
    LPCSTR strings[] = {record->text.c_str()};
    const BOOL reported =
        ReportEventA(hSource, kind.type, 0, kind.messageId, nullptr, 1, 0, strings, nullptr);
    if (!reported) {
        TraceFailure("ReportEventA");
    }
    DeregisterEventSource(hSource);
    return reported ? 0 : 1;
}
} // namespace

// The event log service answers over RPC, and a service that has stopped answering would hold
// the caller with it: the record is handed over on a thread that may be left behind.
void ApplicationEventLog::Write(const LogRecord& record) {
    auto pending = std::make_unique<LogRecord>(record);
    const HANDLE hThread = CreateThread(nullptr, 0, ReportRecord, pending.get(), 0, nullptr);
    if (hThread == nullptr) {
        TraceFailure("CreateThread");
        return; // no thread to write it: the record is dropped
    }
    static_cast<void>(pending.release()); // the thread owns it now
    if (WaitForSingleObject(hThread, kLogHandOverBoundMs) != WAIT_OBJECT_0) {
        DebugTrace("EventLog", FormatText("No answer within %d ms: going on without the record",
                                          kLogHandOverBoundMs));
    }
    CloseHandle(hThread);
}
