// The mode probe: the modes in order, the printer meant, and what it says when none answers.
#include "CoreTest.h"

#include "device/ProbeUsb.h"

#include <cstring>

class ProbeTest : public CoreTest {};

TEST_F(ProbeTest, ReportsTheModeThePrinterAnswersIn) {
    const char* names[] = {"Native USB", "Printer Class USB", "Comm Class USB"};
    for (const UsbType mode : {IDNATIVETYPE, IDPRINTERCLASSTYPE, IDCOMMCLASSTYPE}) {
        fake::Backend machine;
        fake::Printer printer;
        printer.mode = mode;
        machine.Plug(printer);
        const std::optional<ProbeResult> found = ProbeMode(machine, PrinterTarget::FirstFound());
        ASSERT_TRUE(found.has_value()) << mode;
        EXPECT_EQ(found->mode, mode);
        EXPECT_STREQ(found->text, names[mode]);
        EXPECT_EQ(found->identity, "ORV0001");
        char text[kUsbStringSize];
        EXPECT_EQ(ProbeUsb(machine, PrinterTarget::FirstFound(), text, kUsbStringSize), mode);
        EXPECT_STREQ(text, names[mode]);
        EXPECT_EQ(machine.liveChannels, 0);
    }
}

TEST_F(ProbeTest, ModesAreTriedInOrderUntilOneAnswers) {
    Plug(IDCOMMCLASSTYPE);
    EXPECT_EQ(ProbeMode(backend, PrinterTarget::FirstFound())->mode, IDCOMMCLASSTYPE);
    EXPECT_EQ(backend.answersCalls, 3);
    // Each mode's try is announced by its presence pipe before it is made.
    ASSERT_GE(trace.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(trace[i].rfind("pInPipe(", 0), 0u) << trace[i];
    }
    EXPECT_EQ(TraceCount(") PIPE00\n"), 3);
    EXPECT_EQ(TraceCount("ProbeUsb("), 1);
    EXPECT_EQ(TraceCount(") retval = 2  UsbString = Comm Class USB\n\n"), 1);
}

TEST_F(ProbeTest, NoPrinterLooksLikeNativeButSaysSo) {
    EXPECT_EQ(ProbeMode(backend, PrinterTarget::FirstFound()), std::nullopt);
    char text[kUsbStringSize];
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, kUsbStringSize), IDNATIVETYPE);
    EXPECT_STREQ(text, "Error opening USB");
    EXPECT_EQ(backend.answersCalls, 6);
    EXPECT_EQ(TraceCount(") retval = 0  UsbString = Error opening USB\n\n"), 2);
}

TEST_F(ProbeTest, SmallBufferGetsATerminatedPrefix) {
    Plug(IDPRINTERCLASSTYPE);
    char text[8];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), text, 5), IDPRINTERCLASSTYPE);
    EXPECT_STREQ(text, "Prin");
    EXPECT_EQ(text[5], 'x');
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), nullptr, 0), IDPRINTERCLASSTYPE);
}

TEST_F(ProbeTest, OnlyThePrinterMeantAnswers) {
    Plug(IDNATIVETYPE, "ORV-A");
    Plug(IDCOMMCLASSTYPE, "ORV-B");
    EXPECT_EQ(ProbeMode(backend, PrinterTarget::FirstFound())->identity, "ORV-A");
    const std::optional<ProbeResult> b = ProbeMode(backend, PrinterTarget::Listed("orv-b"));
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->mode, IDCOMMCLASSTYPE);
    EXPECT_EQ(b->identity, "ORV-B");
    EXPECT_EQ(ProbeMode(backend, PrinterTarget::Listed("ORV-C")), std::nullopt);
}

TEST_F(ProbeTest, ASystemWithoutPipesTracesNoPipeName) {
    backend.presencePipe = nullptr;
    Plug(IDPRINTERCLASSTYPE);
    ProbeMode(backend, PrinterTarget::FirstFound());
    EXPECT_EQ(TraceCount("pInPipe("), 0);
    EXPECT_EQ(TraceCount(") retval = 1  UsbString = Printer Class USB\n\n"), 1);
}
