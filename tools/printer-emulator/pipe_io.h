// Overlapped pipe I/O that waits for completion, the stop event or the deadline, whichever
// comes first, and never leaves an operation running on memory it gives back.
#pragma once

#include "deadline.h"

#include <windows.h>

enum class IoOutcome { Completed, Failed, Stopped };

struct IoResult {
    IoOutcome outcome;
    DWORD bytes = 0;
    DWORD error = 0; // when Failed
};

// Waits for an operation started on `handle` with `overlapped`; `started` and `start_error`
// are what the starting call returned.
IoResult finish_io(HANDLE handle, OVERLAPPED& overlapped, BOOL started, DWORD start_error,
                   HANDLE stop_event, const Deadline& deadline);
