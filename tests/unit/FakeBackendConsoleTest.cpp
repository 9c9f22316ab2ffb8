// The console face over a small fake backend that lists printers as the Linux one does: named
// by serial number or port path, one of them perhaps not openable by this user.
#include "app/ConsoleFace.h"

#include <gtest/gtest.h>

#include <map>

namespace {
class StillClock : public Clock {
  public:
    std::uint64_t NowMs() override { return 0; }
    void SleepMs(std::uint32_t) override {}
};

class ListedChannel : public PrinterChannel {
  public:
    ListedChannel(const std::vector<AttachedPrinter>& printers, std::string identity, int* pOpens)
        : m_printers(printers), m_identity(std::move(identity)), m_pOpens(pOpens) {}
    // A listed printer answers in its mode unless this user may not open it.
    bool Answers(UsbType mode) override {
        for (const AttachedPrinter& printer : m_printers) {
            if (printer.mode == mode && printer.noAccess.empty() &&
                (m_identity.empty() || printer.identity == m_identity)) {
                m_answering = printer.identity;
                return true;
            }
        }
        return false;
    }
    std::unique_ptr<CommandPipe> OpenCommandPipe(UsbType) override {
        ++*m_pOpens;
        return nullptr;
    }
    std::string AnsweringIdentity() const override { return m_answering; }

  private:
    const std::vector<AttachedPrinter>& m_printers;
    std::string m_identity;
    std::string m_answering;
    int* m_pOpens;
};

class ListedBackend : public PrinterBackend {
  public:
    std::vector<AttachedPrinter> ListPrinters() override { return printers; }
    std::unique_ptr<PrinterChannel> OpenChannel(const std::string& identity) override {
        return std::make_unique<ListedChannel>(printers, identity, &commandPipeOpens);
    }
    PortLookup LookUpPort(const std::string& identity) override {
        const auto found = ports.find(identity);
        return found == ports.end() ? PortLookup{} : PortLookup{found->second, {}};
    }
    Clock& clock() override { return m_clock; }

    std::vector<AttachedPrinter> printers;
    std::map<std::string, std::string> ports;
    int commandPipeOpens = 0;

  private:
    StillClock m_clock;
};

const std::string kLocked = "No permission to open the printer's device /dev/bus/usb/001/007: "
                            "install the udev rule and plug the printer in again";
} // namespace

class FakeBackendConsoleTest : public ::testing::Test {
  protected:
    std::string Run(std::vector<std::string> args) {
        args.insert(args.begin(), "orvane");
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        ConsoleContext context{backend, "orvane", "1.2.3", false, false};
        ::testing::internal::CaptureStdout();
        exitCode =
            RunSwitches(context, ParseSwitches(static_cast<int>(argv.size()), argv.data(), false));
        return ::testing::internal::GetCapturedStdout();
    }
    ListedBackend backend;
    int exitCode = -1;
};

TEST_F(FakeBackendConsoleTest, PrinterThisUserMayNotOpenEndsWithItsLineAndExit5) {
    backend.printers = {{"ORV0001", "ORV0001", IDNATIVETYPE, kLocked}};
    for (const char* action : {"MODE", "PRINTERCLASS"}) {
        EXPECT_EQ(Run({action}), kLocked + "\n") << action;
        EXPECT_EQ(exitCode, 5) << action;
    }
    EXPECT_EQ(Run({"PRINTER=orv0001", "COMMCLASS"}), kLocked + "\n");
    EXPECT_EQ(exitCode, 5);
    EXPECT_EQ(backend.commandPipeOpens, 0);
}

TEST_F(FakeBackendConsoleTest, ModeOfSeveralNamesTheOneThatCannotBeOpened) {
    backend.printers = {{"1-4.2", "1-4.2", IDNATIVETYPE, kLocked},
                        {"ORV-A", "ORV-A", IDCOMMCLASSTYPE, {}}};
    backend.ports["ORV-A"] = "/dev/ttyACM0";
    EXPECT_EQ(Run({"MODE"}), "Printer 1 (1-4.2): " + kLocked +
                                 "\nPrinter 2 (ORV-A): Comm Class USB = /dev/ttyACM0\n");
    EXPECT_EQ(exitCode, 0);
}

TEST_F(FakeBackendConsoleTest, SerialNumbersAndPortPathsAreListedAndChosen) {
    backend.printers = {{"1-4.2", "1-4.2", IDNATIVETYPE, {}},
                        {"orv-a", "orv-a", IDCOMMCLASSTYPE, {}}};
    backend.ports["orv-a"] = "/dev/ttyACM0";
    EXPECT_EQ(Run({"LIST", "VERSION"}),
              "orvane 1.2.3\n1\t1-4.2\tNative USB\t\n2\torv-a\tComm Class USB\t/dev/ttyACM0\n");
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(Run({"PRINTER=1-4.2", "MODE"}), "Native USB\n");
    EXPECT_EQ(Run({"PRINTER=ORV-A", "MODE"}), "Comm Class USB = /dev/ttyACM0\n");
    EXPECT_EQ(Run({"PRINTER=1-4", "MODE"}),
              "No attached printer matches PRINTER=1-4 (LIST shows the attached printers)\n");
    EXPECT_EQ(exitCode, 4);
}
