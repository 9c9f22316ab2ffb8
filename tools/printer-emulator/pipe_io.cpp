#include "pipe_io.h"

namespace {
// How long a cancelled operation may take to report that it ended.
constexpr DWORD cancel_bound_ms = 2000;
} // namespace

IoResult finish_io(HANDLE handle, OVERLAPPED& overlapped, BOOL started, DWORD start_error,
                   HANDLE stop_event, const Deadline& deadline) {
    if (!started && start_error != ERROR_IO_PENDING) {
        return IoResult{IoOutcome::Failed, 0, start_error};
    }
    if (!started) {
        const HANDLE waits[] = {overlapped.hEvent, stop_event};
        const DWORD woken = WaitForMultipleObjects(2, waits, FALSE, deadline.remaining_ms());
        if (woken != WAIT_OBJECT_0) {
            CancelIoEx(handle, &overlapped);
            // The operation owns `overlapped` and its buffer until it reports its end.
            WaitForSingleObject(overlapped.hEvent, cancel_bound_ms);
            return IoResult{IoOutcome::Stopped, 0, 0};
        }
    }
    DWORD bytes = 0;
    if (!GetOverlappedResult(handle, &overlapped, &bytes, FALSE)) {
        return IoResult{IoOutcome::Failed, 0, GetLastError()};
    }
    return IoResult{IoOutcome::Completed, bytes, 0};
}
