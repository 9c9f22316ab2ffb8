// What the guest tests share: the printer's modes as orvane names them and as the gadget
// printer logs them, the bytes of a change, and the check that one change's bytes arrived.
#pragma once

#include "GadgetPrinterProcess.h"

#include <cstdint>
#include <string>
#include <vector>

enum GuestMode { kNative = 0, kPrinterClass = 1, kCommClass = 2 };

const char* GadgetModeWord(int mode); // "native", "printer", "comm"
const char* ModeSwitch(int mode);     // "NATIVE", "PRINTERCLASS", "COMMCLASS"
const char* ModeDisplay(int mode);    // "Native USB", "Printer Class USB", "Comm Class USB"
// Where the gadget reads a mode's command endpoint: "ep1", "/dev/g_printer", "/dev/ttyGS".
const char* EndpointPrefix(int mode);

std::vector<std::uint8_t> ModeCommand(int mode);
extern const std::vector<std::uint8_t> kResetCommand;

// The reads of one change made in `from` mode towards `to`: the mode command, then the reset,
// nothing else, on the mode's endpoint, 950 to 1300 ms apart.
void ExpectChangeBytes(const std::vector<GadgetRead>& reads, int from, int to);

// "Now set to ..." and, in comm class mode, the virtual port line with that tty.
std::string ChangedLines(int to, const std::string& tty);
