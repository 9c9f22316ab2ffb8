#include "common/windows/Win32Console.h"

#include "platform/win32.h"

bool StderrIsConsole() {
    const HANDLE hError = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    // Only a console handle has a console mode; files and pipes fail the call.
    return hError != nullptr && hError != INVALID_HANDLE_VALUE && GetConsoleMode(hError, &mode);
}
