// Printers that lie or are busy, as the console shows them on every system, in what the table of
// cases cannot say: device strings escaped and bounded in the trace, printers held by another
// program, a printer with an empty name.
#include "CoreTest.h"

#include "app/ExitCodes.h"
#include "common/ShownText.h"

namespace {
// A serial a device may well send: a tab, a terminal's colour sequence, a UTF-8 letter.
const std::string kEvilSerial = "AB\tC\x1b[31mRED\xc3\xa9Z";
const std::string kEvilShown = "AB\\x09C\\x1B[31mRED\\xC3\\xA9Z";
const std::string kInUse = "Printer in Native USB mode is in use by another program\n";
} // namespace

TEST(ShownText, EscapesEveryByteOutsidePrintableAsciiAndTheBackslash) {
    EXPECT_EQ(ShowDeviceText("ORV0001"), "ORV0001");
    EXPECT_EQ(ShowDeviceText(kEvilSerial), kEvilShown);
    EXPECT_EQ(ShowDeviceText(std::string("a\\b\0c\x7f", 6)), "a\\x5Cb\\x00c\\x7F");
    EXPECT_EQ(ShowDeviceText("USB\\VID_6B1F\\X\x01", '\\'), "USB\\VID_6B1F\\X\\x01")
        << "the system's own separator stays as it is";
    EXPECT_EQ(EscapeUnprintable("\\\\?\\usb#a\x1b"), "\\\\?\\usb#a\\x1B");
}

TEST(ShownText, LongFieldIsCutAtTheBoundBetweenWholeEscapes) {
    EXPECT_EQ(ShowDeviceText(std::string(kShownFieldLimit, 'A')),
              std::string(kShownFieldLimit, 'A'));
    // The cut, "..." included, stays within the bound.
    EXPECT_EQ(ShowDeviceText(std::string(kShownFieldLimit + 1, 'A')),
              std::string(kShownFieldLimit - 3, 'A') + "...");
    // 123 letters, then an escape that would not fit whole before the "...".
    EXPECT_EQ(ShowDeviceText(std::string(kShownFieldLimit - 5, 'A') + "\x1b" + "BBBB"),
              std::string(kShownFieldLimit - 5, 'A') + "...");
    const std::string escapes = ShowDeviceText(std::string(4096, '\x1b'));
    EXPECT_EQ(escapes.size(), 31 * 4 + 3u) << "only whole escapes of four characters";
    EXPECT_EQ(escapes.substr(escapes.size() - 7), "\\x1B...");
}

class UntrustedPrinterTest : public CoreTest {};

TEST_F(UntrustedPrinterTest, TraceShowsDeviceTextEscaped) {
    Plug(IDCOMMCLASSTYPE).port = "COM\x1b[2J";
    EXPECT_EQ(Run({"MODE"}), "Comm Class USB = COM\\x1B[2J\n");
    for (const std::string& line : trace) {
        EXPECT_EQ(line.find('\x1b'), std::string::npos) << line;
    }
}

TEST_F(UntrustedPrinterTest, HeldPrinterGivesTheInUseLineAndExitSixAndTakesNothing) {
    Plug(IDNATIVETYPE).inUse = true;
    for (const char* action : {"MODE", "PRINTERCLASS", "NATIVE"}) {
        EXPECT_EQ(Run({action}), kInUse) << action;
        EXPECT_EQ(exitCode, kExitInUse) << action;
    }
    EXPECT_TRUE(printer().writes.empty());
    EXPECT_EQ(TraceCount("Held by another program in IDNATIVETYPE"), 3);
}

TEST_F(UntrustedPrinterTest, HeldCommandPipeEndsTheChangeBeforeAnyByte) {
    Plug(IDPRINTERCLASSTYPE).commandPipeInUse = true;
    EXPECT_EQ(Run({"MODE"}), "Printer Class USB\n") << "the probe needs no command pipe";
    EXPECT_EQ(exitCode, kExitOk);
    const std::uint64_t before = Now();
    EXPECT_EQ(Run({"COMMCLASS"}),
              "Printer in Printer Class USB mode is in use by another program\n");
    EXPECT_EQ(exitCode, kExitInUse);
    EXPECT_TRUE(printer().writes.empty());
    EXPECT_EQ(TraceCount("In use by another program: nothing sent"), 1);
    EXPECT_LT(Now() - before, 1000u) << "no restart wait for a change that sent nothing";
}

TEST_F(UntrustedPrinterTest, ModeOfSeveralPrintersIsFineWhenAnyAnswers) {
    Plug(IDNATIVETYPE, "ORV-A").inUse = true;
    Plug(IDCOMMCLASSTYPE, "ORV-B");
    EXPECT_EQ(Run({"MODE"}), "Printer 1 (ORV-A): Printer in Native USB mode is in use by another "
                             "program\nPrinter 2 (ORV-B): Comm Class USB = COM7\n");
    EXPECT_EQ(exitCode, kExitOk);
    printer(1).inUse = true;
    Run({"MODE"});
    EXPECT_EQ(exitCode, kExitInUse);
}

TEST_F(UntrustedPrinterTest, PrinterWithAnEmptyNameStillAnswers) {
    Plug(IDPRINTERCLASSTYPE, "");
    EXPECT_EQ(Run({"MODE"}), "Printer Class USB\n");
    EXPECT_EQ(exitCode, kExitOk);
}

// An empty name is a name: chosen among two, that printer alone is changed, not the first found.
TEST_F(UntrustedPrinterTest, PrinterWithAnEmptyNameChosenAmongTwoIsTheOnlyOneChanged) {
    Plug(IDNATIVETYPE, "ORV-A");
    Plug(IDNATIVETYPE, "");
    EXPECT_EQ(Run({"PRINTER=2", "PRINTERCLASS"}), "Now set to Printer Class USB\n");
    EXPECT_TRUE(printer(0).writes.empty());
    EXPECT_EQ(printer(0).mode, IDNATIVETYPE);
    EXPECT_EQ(printer(1).mode, IDPRINTERCLASSTYPE);
}
