/* The floor for any program that finds devices: the trivial program, importing the Setup API. */
#include <windows.h>
#include <setupapi.h>
#include <stdio.h>

int main(void) {
    puts("Native USB");
    return SetupDiDestroyDeviceInfoList(INVALID_HANDLE_VALUE) ? 1 : 0;
}
