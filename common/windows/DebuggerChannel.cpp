#include "common/windows/DebuggerChannel.h"

#include "platform/win32.h"

void DebuggerChannel::Send(const char* text) {
    OutputDebugStringA(text);
}
