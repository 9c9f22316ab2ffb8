#include "device/windows/CommPort.h"

#include "common/DebugTrace.h"
#include "platform/win32.h"

#include <cstdio>

bool ReadCommPortName(char* pszPortName, int nBufSize, std::string* pProblem) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        *pProblem = FormatText("Error Opening Key (%s)", kSerialCommKey);
        return false;
    }

    DWORD cbData = nBufSize > 0 ? static_cast<DWORD>(nBufSize) : 0;
    LONG status = RegQueryValueExA(hKey, kPrinterPortValue, nullptr, nullptr,
                                   reinterpret_cast<LPBYTE>(pszPortName), &cbData);
    // The stored text need not carry a terminator; a name that fills the whole buffer without
    // one does not fit.
    if (status == ERROR_SUCCESS && cbData > 0 && cbData >= static_cast<DWORD>(nBufSize) &&
        pszPortName[nBufSize - 1] != '\0') {
        status = static_cast<LONG>(ERROR_MORE_DATA);
    }
    if (status != ERROR_SUCCESS) {
        *pProblem = FormatText("Error Querying Value (%s) = %d", kPrinterPortValue,
                               static_cast<int>(status));
        RegCloseKey(hKey);
        return false;
    }
    if (cbData < static_cast<DWORD>(nBufSize)) {
        pszPortName[cbData] = '\0';
    }
    RegCloseKey(hKey);
    return true;
}

bool GetCommPortName(char* pszPortName, int nBufSize) {
    std::string problem;
    if (!ReadCommPortName(pszPortName, nBufSize, &problem)) {
        std::printf("%s\n", problem.c_str());
        return false;
    }
    return true;
}
