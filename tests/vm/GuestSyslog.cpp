#include "GuestSyslog.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
const sockaddr_un kLogAddress{AF_UNIX, "/dev/log"};

int LogSocket() {
    static const int listener = [] {
        const int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        unlink(kLogAddress.sun_path);
        if (bind(fd, reinterpret_cast<const sockaddr*>(&kLogAddress), sizeof(kLogAddress)) != 0) {
            ADD_FAILURE() << "cannot bind /dev/log: " << std::strerror(errno);
        }
        return fd;
    }();
    return listener;
}
} // namespace

std::vector<std::string> TakeGuestSyslog() {
    // "<14>Dec 10 05:36:18 orvane[123]: text": LOG_USER (8) with LOG_ERR, LOG_WARNING, LOG_INFO.
    static const std::regex kRecord(R"(<(11|12|14)>.* orvane\[[0-9]+\]: (.*))");
    std::vector<std::string> records;
    char buffer[4096];
    for (ssize_t size; (size = recv(LogSocket(), buffer, sizeof(buffer), MSG_DONTWAIT)) >= 0;) {
        const std::string datagram(buffer, static_cast<std::size_t>(size));
        std::smatch match;
        if (!std::regex_match(datagram, match, kRecord)) {
            records.push_back("unexpected " + datagram);
            continue;
        }
        const char* level = match[1] == "11" ? "error " : match[1] == "12" ? "warning " : "info ";
        records.push_back(level + match[2].str());
    }
    return records;
}

void StallGuestSyslog() {
    LogSocket();
    const int writer = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(writer, reinterpret_cast<const sockaddr*>(&kLogAddress), sizeof(kLogAddress)),
              0);
    for (int sent = 0; send(writer, "<14>filler", 10, MSG_DONTWAIT) == 10 && sent < 100000;) {
        ++sent;
    }
    EXPECT_EQ(errno, EAGAIN) << "the queue did not fill";
    close(writer);
}
