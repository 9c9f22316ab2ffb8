#include "GuestCase.h"

#include <gtest/gtest.h>

const std::vector<std::uint8_t> kResetCommand = {0x1D, 0xFF};

const char* GadgetModeWord(int mode) {
    static const char* const words[] = {"native", "printer", "comm"};
    return words[mode];
}

const char* ModeSwitch(int mode) {
    static const char* const switches[] = {"NATIVE", "PRINTERCLASS", "COMMCLASS"};
    return switches[mode];
}

const char* ModeDisplay(int mode) {
    static const char* const names[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
    return names[mode];
}

const char* EndpointPrefix(int mode) {
    static const char* const prefixes[] = {"ep1", "/dev/g_printer", "/dev/ttyGS"};
    return prefixes[mode];
}

std::vector<std::uint8_t> ModeCommand(int mode) {
    return {0x1F, 0x0B, 0x4E, 0x1F, 0x43, static_cast<std::uint8_t>(mode)};
}

void ExpectChangeBytes(const std::vector<GadgetRead>& reads, int from, int to) {
    ASSERT_EQ(reads.size(), 2u) << "reads of the change from " << ModeDisplay(from);
    EXPECT_EQ(reads[0].bytes, ModeCommand(to));
    EXPECT_EQ(reads[1].bytes, kResetCommand);
    for (const GadgetRead& read : reads) {
        EXPECT_EQ(read.endpoint.rfind(EndpointPrefix(from), 0), 0u) << read.endpoint;
    }
    const std::uint64_t pause = reads[1].ms - reads[0].ms;
    EXPECT_GE(pause, 950u);
    EXPECT_LE(pause, 1300u);
}

std::string ChangedLines(int to, const std::string& tty) {
    std::string lines = std::string("Now set to ") + ModeDisplay(to) + "\n";
    if (to == kCommClass) {
        lines += "Comm Class USB virtual port = " + tty + "\n";
    }
    return lines;
}
