// The one reader of a port name stored in the registry, in the serial-port device map or in a
// device's own key. Drivers store it with or without its terminator.
#pragma once

#include "platform/win32.h"

// Reads the text value `valueName` of the open key into `pszPortName` (nBufSize bytes), always
// NUL-terminated within the buffer, and its type into *pType when given. Returns the
// registry's status; a text that fills the whole buffer without a terminator does not fit
// (ERROR_MORE_DATA).
LONG ReadPortValue(HKEY hKey, const char* valueName, char* pszPortName, int nBufSize,
                   DWORD* pType = nullptr);
