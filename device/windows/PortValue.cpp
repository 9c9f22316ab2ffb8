#include "device/windows/PortValue.h"

LONG ReadPortValue(HKEY hKey, const char* valueName, char* pszPortName, int nBufSize,
                   DWORD* pType) {
    DWORD cbData = nBufSize > 0 ? static_cast<DWORD>(nBufSize) : 0;
    LONG status = RegQueryValueExA(hKey, valueName, nullptr, pType,
                                   reinterpret_cast<LPBYTE>(pszPortName), &cbData);
    if (status == ERROR_SUCCESS && cbData > 0 && cbData >= static_cast<DWORD>(nBufSize) &&
        pszPortName[nBufSize - 1] != '\0') {
        status = static_cast<LONG>(ERROR_MORE_DATA);
    }
    if (status == ERROR_SUCCESS && cbData < static_cast<DWORD>(nBufSize)) {
        pszPortName[cbData] = '\0';
    }
    return status;
}
