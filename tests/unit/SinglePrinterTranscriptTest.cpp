// With one printer (or none) attached, Orvane's behaviour is settled: every output line, trace
// text, pause and exit code. Each scenario below records a transcript of one run on the
// simulated machine and compares it with the transcript committed under golden/, so that no
// change to the code can alter that behaviour unnoticed. Trace lines are compared without their
// source line numbers, which follow the code as it moves.
//
// ORVANE_UPDATE_GOLDEN=1 writes the transcripts instead of comparing them.
#include "SimMachine.h"

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char cell[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(cell, sizeof cell, "%s%02X", text.empty() ? "" : " ", byte);
        text += cell;
    }
    return text;
}

// "label(123) text" becomes "label(#) text"; raw lines stay as they are.
std::string WithoutLineNumber(const std::string& line) {
    static const std::regex number(R"(^([^(\n]*)\(\d+\) )");
    return std::regex_replace(line, number, "$1(#) ", std::regex_constants::format_first_only);
}

// Makes line ends visible, so that a trace's own "\n" and its doubled ones are compared too.
std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return out;
}

// The printer's modes as the simulated machine knows them.
constexpr int kNative = 0;
constexpr int kPrinterClass = 1;
constexpr int kCommClass = 2;

} // namespace

class SinglePrinterTranscriptTest : public SimMachineTest {
  protected:
    std::string Transcript(const std::string& output, int exitCode) {
        std::ostringstream out;
        out << "exit " << exitCode << "\n--- stdout\n" << output << "--- trace\n";
        for (std::size_t i = 0; i < trace().size(); ++i) {
            out << machine().debugTimes()[i] << " " << Escaped(WithoutLineNumber(trace()[i]))
                << "\n";
        }
        out << "--- printer\n";
        for (const sim::PrinterWrite& write : printer().writes()) {
            out << write.atMs << " " << Hex(write.bytes) << "\n";
        }
        out << "mode " << printer().mode() << " restarts " << printer().restarts() << " end "
            << machine().now() << "\n";
        return out.str();
    }

    void Compare(const std::string& name, const std::string& transcript) {
        const std::string path = std::string(ORVANE_GOLDEN_DIR) + "/" + name + ".txt";
        if (std::getenv("ORVANE_UPDATE_GOLDEN") != nullptr) {
            std::ofstream(path, std::ios::binary) << transcript;
            return;
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "no transcript " << path;
        std::stringstream golden;
        golden << in.rdbuf();
        EXPECT_EQ(transcript, golden.str()) << name;
    }

    void Console(const std::string& name, std::vector<std::string> args) {
        int exitCode = -1;
        const std::string output = RunOrvaneWith(std::move(args), &exitCode);
        Compare(name, Transcript(output, exitCode));
    }
};

TEST_F(SinglePrinterTranscriptTest, Reports) {
    Console("help", {"HELP"});
    printer().attach(kNative);
    Console("mode-native", {"MODE"});
    sim::reset();
    printer().attach(kCommClass);
    AddForeignSerialPorts(2);
    Console("mode-comm-class", {"mode"});
    sim::reset();
    printer().attach(kCommClass);
    printer().port.reset();
    machine().addRegistryKey("HARDWARE\\DEVICEMAP\\SERIALCOMM");
    Console("mode-comm-class-no-port", {"MODE"});
    sim::reset();
    Console("mode-no-printer", {"MODE", "NATIVE"});
    sim::reset();
    printer().attach(kPrinterClass);
    Console("conflict", {"NATIVE", "COMMCLASS", "unknown"});
}

TEST_F(SinglePrinterTranscriptTest, Changes) {
    printer().attach(kNative);
    Console("native-already", {"NATIVE"});
    sim::reset();
    printer().attach(kNative);
    Console("to-printer-class", {"PRINTERCLASS"});
    sim::reset();
    printer().attach(kPrinterClass);
    Console("to-comm-class", {"COMMCLASS"});
    sim::reset();
    Console("switch-no-printer", {"COMMCLASS"});
    sim::reset();
    printer().attach(kNative);
    printer().neverReturns = true;
    Console("never-returns", {"PRINTERCLASS"});
    sim::reset();
    printer().attach(kCommClass);
    printer().failWrites = true;
    printer().returnMode = kNative;
    Console("failing-writes", {"NATIVE"});
    sim::reset();
    printer().attach(kNative);
    printer().pipe01Opens = false;
    Console("command-pipe-closed", {"COMMCLASS"});
}

TEST_F(SinglePrinterTranscriptTest, DialogChanges) {
    printer().attach(kNative);
    printer().restartMs = 2000;
    RunDialog({ScriptedDialog::Select(IDCOMMCLASSTYPE), ScriptedDialog::Change()});
    Compare("dialog-to-comm-class", Transcript(dialog.view.status + "\n", 0));

    sim::reset();
    SetUp();
    printer().attach(kPrinterClass);
    printer().neverReturns = true;
    RunDialog({ScriptedDialog::Select(IDNATIVETYPE), ScriptedDialog::Change()});
    Compare("dialog-never-returns", Transcript(dialog.view.status + "\n", 0));
}
