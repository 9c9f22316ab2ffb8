// A backend at the seam, for the tests of the portable core: printers scripted in memory, a
// virtual clock, and faults injected at the seam. Every tree builds it.
#pragma once

#include "CaseTable.h"
#include "device/PrinterBackend.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fake {

// Time that passes only when the code under test sleeps; at each sleep the test's world gets
// its turn, with the virtual time.
class VirtualClock : public Clock {
  public:
    std::uint64_t NowMs() override { return m_now; }
    void SleepMs(std::uint32_t ms) override;
    std::function<void(std::uint64_t now)> onSleep;

  private:
    std::uint64_t m_now = 0;
};

struct Write {
    std::uint64_t atMs = 0;
    std::vector<std::uint8_t> bytes;
    std::uint32_t timeoutMs = 0; // the bound the caller gave
};

struct Printer {
    std::string identity = "ORV0001";
    std::string shownId; // empty: the identity; else an instance ID, its backslashes the system's
    UsbType mode = IDNATIVETYPE;
    std::optional<std::string> port = "COM7"; // in comm class mode
    std::string portProblem;                  // what the lookup says when it has none
    std::uint64_t restartMs = 3000;
    bool neverReturns = false;
    std::optional<UsbType> returnMode; // comes back in this mode, whatever was commanded
    // Back from a restart, it answers once in the mode it came back in and then shows this one.
    std::optional<UsbType> settlesIn;
    // Back from a restart, it answers once and is then unplugged.
    bool leavesAfterReturn = false;
    bool commandPipeOpens = true;
    bool failWrites = false;
    bool stallWrites = false;      // takes no byte: each write runs out its whole bound
    std::string deniedNode;        // listed, but this user may not open this node
    bool inUse = false;            // another program holds it: found, but cannot be reached
    bool commandPipeInUse = false; // another program holds only its command pipe
    std::string sharedSerial;      // listed as sharing its serial with another printer
    std::string place;             // where it is plugged in, where the system says so (Linux)
    // Windows has no driver for it in this mode: there it shows no interface, only its device
    // node with this problem code (0: none, a driver may still come).
    std::optional<UsbType> noDriverIn;
    std::uint32_t problemCode = 0;
    // Linux: no kernel driver makes its port in comm class mode; this module would.
    std::string portModuleMissing;
    std::optional<std::uint64_t> plugAtMs; // off the bus until then

    // What happened to it.
    std::vector<Write> writes;
    int restarts = 0;
    bool restarting = false;
    std::uint64_t backAtMs = 0;
    std::optional<UsbType> commanded;
};

class Backend : public PrinterBackend {
  public:
    // Another printer, searched after those plugged before it in the same mode.
    Printer& Plug(Printer printer);
    Printer& printer(std::size_t index = 0) { return m_printers.at(index); }
    std::size_t printerCount() const { return m_printers.size(); }
    VirtualClock& virtualClock() { return m_clock; }

    std::vector<AttachedPrinter> ListPrinters() override;
    std::unique_ptr<PrinterChannel> OpenChannel(const PrinterTarget& printer) override;
    PortLookup LookUpPort(const PrinterTarget& printer) override;
    const char* PresencePipeName() const override { return presencePipe; }
    Clock& clock() override { return m_clock; }

    const char* presencePipe = "PIPE00";
    // Faults at the seam: the n-th call (from 0) of Answers says no printer answers; the n-th
    // OpenCommandPipe gives no pipe.
    int failAnswersCall = -1;
    int failCommandPipeCall = -1;
    int answersCalls = 0;
    int commandPipeCalls = 0;
    // Channels and pipes not yet given back.
    int liveChannels = 0;
    int livePipes = 0;

    // --- used by the channel and the pipe ---
    // The online printers in the probe's order, with those not meant left out; `served`: only
    // those with a driver, which show an interface.
    std::vector<Printer*> Search(UsbType mode, const PrinterTarget& target, bool served = true);
    bool Take(Printer& printer, const std::uint8_t* bytes, std::size_t count,
              std::uint32_t timeoutMs);

  private:
    void Update(Printer& printer);
    std::deque<Printer> m_printers;
    VirtualClock m_clock;
};

// The printer a description tells of, as `system` shows it: on Windows named by its serial and
// shown under its device instance ID, with the description's port; on Linux named by its serial
// (or where it is plugged in), its tty numbered by its place among the printers (`index`).
// Throws for a behaviour the fake cannot play.
Printer Described(const PrinterDescription& description, CaseSystem system, std::size_t index);
// Printers that share a serial are named as the system then names them: on Windows by their
// instance IDs.
void NameSharedSerials(Backend& backend, CaseSystem system);

} // namespace fake
