#include "device/windows/CommPort.h"

#include "common/ConsoleOutput.h"
#include "common/DebugTrace.h"
#include "device/windows/PortValue.h"
#include "platform/win32.h"

bool ReadCommPortName(char* pszPortName, int nBufSize, std::string* pProblem) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) {
        *pProblem = FormatText("Error Opening Key (%s)", kSerialCommKey);
        return false;
    }
    const LONG status = ReadPortValue(hKey, kPrinterPortValue, pszPortName, nBufSize);
    RegCloseKey(hKey);
    if (status != ERROR_SUCCESS) {
        *pProblem = FormatText("Error Querying Value (%s) = %d", kPrinterPortValue,
                               static_cast<int>(status));
        return false;
    }
    return true;
}

bool GetCommPortName(char* pszPortName, int nBufSize) {
    std::string problem;
    if (!ReadCommPortName(pszPortName, nBufSize, &problem)) {
        PrintLine(problem);
        return false;
    }
    return true;
}
