#include "device/windows/BoundedWrite.h"

#include "common/DebugTrace.h"

#include <memory>
#include <vector>

namespace {
// What the system may still touch while a write is pending: the request and the bytes.
struct PendingWrite {
    OVERLAPPED overlapped{};
    std::vector<std::uint8_t> bytes;
};

class EventHandle {
  public:
    EventHandle() : m_hEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~EventHandle() {
        if (m_hEvent != nullptr) {
            CloseHandle(m_hEvent);
        }
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;
    HANDLE get() const { return m_hEvent; }
    // Leaves the event to a request that never finished.
    void Abandon() { m_hEvent = nullptr; }

  private:
    HANDLE m_hEvent;
};
} // namespace

bool WriteWithin(HANDLE hFile, const std::uint8_t* bytes, std::size_t count,
                 std::uint32_t timeoutMs) {
    EventHandle event;
    if (event.get() == nullptr) {
        DebugTrace("WriteWithin",
                   FormatText("CreateEvent: Error=%d", static_cast<int>(GetLastError())));
        return false;
    }
    auto pending = std::make_unique<PendingWrite>();
    pending->bytes.assign(bytes, bytes + count);
    pending->overlapped.hEvent = event.get();

    DWORD written = 0;
    if (WriteFile(hFile, pending->bytes.data(), static_cast<DWORD>(count), &written,
                  &pending->overlapped)) {
        return true;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    if (WaitForSingleObject(event.get(), timeoutMs) != WAIT_OBJECT_0) {
        DebugTrace("WriteWithin", FormatText("No progress in %u ms: cancelled", timeoutMs));
        CancelIoEx(hFile, &pending->overlapped);
        if (WaitForSingleObject(event.get(), kCancelGraceMs) != WAIT_OBJECT_0) {
            // The driver holds on to the request: its record, bytes and event must outlive us.
            DebugTrace("WriteWithin", "The cancelled write did not end");
            static_cast<void>(pending.release());
            event.Abandon();
            return false;
        }
    }
    return GetOverlappedResult(hFile, &pending->overlapped, &written, FALSE) != FALSE;
}
