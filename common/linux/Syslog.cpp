#include "common/linux/Syslog.h"

#include <chrono>
#include <future>
#include <memory>
#include <syslog.h>
#include <system_error>
#include <thread>

namespace {
// In the order of LogLevel.
constexpr int kPriorities[] = {LOG_INFO, LOG_WARNING, LOG_ERR};
} // namespace

// syslog(3) waits for as long as the log's socket is full, as when the log daemon has stopped
// reading: the record is handed over on a thread of its own.
void Syslog::Write(const LogRecord& record) {
    auto handedOver = std::make_shared<std::promise<void>>();
    const std::future<void> done = handedOver->get_future();
    try {
        std::thread([record, handedOver] {
            openlog("orvane", LOG_PID, LOG_USER);
            syslog(kPriorities[static_cast<int>(record.level)], "%s", record.text.c_str());
            closelog();
            handedOver->set_value();
        }).detach();
    } catch (const std::system_error&) {
        return; // no thread to write it: the record is dropped
    }
    done.wait_for(std::chrono::milliseconds(kLogHandOverBoundMs));
}
