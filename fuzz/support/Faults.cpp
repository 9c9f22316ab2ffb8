#include "support/Faults.h"

DWORD FaultError(std::uint8_t selector) {
    // ERROR_NO_MORE_ITEMS ends an enumeration early; ERROR_MORE_DATA and
    // ERROR_INSUFFICIENT_BUFFER look like size negotiations.
    constexpr DWORD kErrors[] = {
        ERROR_GEN_FAILURE,          ERROR_NO_MORE_ITEMS,    ERROR_MORE_DATA,
        ERROR_INSUFFICIENT_BUFFER,  ERROR_ACCESS_DENIED,    ERROR_FILE_NOT_FOUND,
        ERROR_DEVICE_NOT_CONNECTED, ERROR_INVALID_PARAMETER};
    return kErrors[selector % (sizeof kErrors / sizeof kErrors[0])];
}
