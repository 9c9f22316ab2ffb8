#include "line_file.h"

#include <cstdint>

namespace {

// Milliseconds on the system's performance counter, the clock of every log line.
std::uint64_t monotonic_ms() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const auto ticks = static_cast<std::uint64_t>(counter.QuadPart);
    const auto per_second = static_cast<std::uint64_t>(frequency.QuadPart);
    if (per_second == 0) {
        return GetTickCount64();
    }
    // Split the division so the multiplication by 1000 cannot overflow.
    return ticks / per_second * 1000u + ticks % per_second * 1000u / per_second;
}

} // namespace

bool LineFile::open(const std::string& path) {
    file_.reset(CreateFileA(path.c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file_.valid();
}

void LineFile::write_line(std::string_view text) {
    AcquireSRWLockExclusive(&lock_);
    // The stamp is taken under the lock so lines appear in the order of their times.
    std::string line = std::to_string(monotonic_ms());
    line += ' ';
    line += text;
    line += '\n';
    if (file_.valid()) {
        const char* data = line.data();
        size_t left = line.size();
        while (left > 0) {
            DWORD written = 0;
            const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
            if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0) {
                break;
            }
            data += written;
            left -= written;
        }
    }
    ReleaseSRWLockExclusive(&lock_);
}
