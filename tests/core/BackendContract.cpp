#include "BackendContract.h"

#include "common/TextCase.h"

namespace {
const std::string kSerial = "ORV0001";

bool SameId(const ModeAnswer& a, const std::string& b) {
    return a.Answers() && EqualIgnoringCase(a.identity, b);
}
} // namespace

TEST_P(BackendContract, NothingAttachedNothingAnswers) {
    PrinterBackend& backend = rig->backend();
    EXPECT_TRUE(backend.ListPrinters().empty());
    const std::unique_ptr<PrinterChannel> channel =
        backend.OpenChannel(PrinterTarget::FirstFound());
    for (const UsbType mode : kProbeOrder) {
        EXPECT_FALSE(channel->Answers(mode).Found()) << mode;
        const PipeOpening opening = channel->OpenCommandPipe(mode);
        EXPECT_EQ(opening.pipe, nullptr) << mode;
        EXPECT_FALSE(opening.inUse) << mode;
    }
}

TEST_P(BackendContract, APrinterIsListedOnceInItsModeAndAnswersOnlyThere) {
    for (const UsbType mode : kProbeOrder) {
        rig.reset(); // one rig at a time: a fake kernel is the process's own
        rig = GetParam()();
        rig->Plug(mode, kSerial);
        PrinterBackend& backend = rig->backend();
        const std::vector<AttachedPrinter> listed = backend.ListPrinters();
        ASSERT_EQ(listed.size(), 1u) << mode;
        EXPECT_EQ(listed[0].mode, mode);
        EXPECT_TRUE(EqualIgnoringCase(listed[0].identity, kSerial)) << listed[0].identity;
        EXPECT_TRUE(listed[0].deniedNode.empty());

        const std::unique_ptr<PrinterChannel> mine =
            backend.OpenChannel(PrinterTarget::Listed(listed[0].identity));
        for (const UsbType other : kProbeOrder) {
            EXPECT_EQ(mine->Answers(other).Answers(), other == mode) << mode << " " << other;
        }
        EXPECT_TRUE(SameId(mine->Answers(mode), kSerial));
        EXPECT_TRUE(
            SameId(backend.OpenChannel(PrinterTarget::FirstFound())->Answers(mode), kSerial));
        EXPECT_FALSE(backend.OpenChannel(PrinterTarget::Listed("OTHER42"))->Answers(mode).Found())
            << "a channel to another printer must not answer for this one";
    }
}

TEST_P(BackendContract, CommandPipeTakesTheCommandAndThePrinterRestartsInTheNewMode) {
    rig->Plug(IDNATIVETYPE, kSerial);
    PrinterBackend& backend = rig->backend();
    const std::unique_ptr<PrinterChannel> channel =
        backend.OpenChannel(PrinterTarget::Listed(kSerial));
    EXPECT_EQ(channel->OpenCommandPipe(IDPRINTERCLASSTYPE).pipe, nullptr)
        << "no command pipe in a mode the printer is not in";
    std::unique_ptr<CommandPipe> pipe = channel->OpenCommandPipe(IDNATIVETYPE).pipe;
    ASSERT_NE(pipe, nullptr);
    const std::vector<std::uint8_t> mode = {0x1F, 0x0B, 0x4E, 0x1F, 0x43, 0x02};
    const std::vector<std::uint8_t> restart = {0x1D, 0xFF};
    EXPECT_TRUE(pipe->Write(mode.data(), mode.size(), 5000));
    EXPECT_TRUE(pipe->Write(restart.data(), restart.size(), 5000));
    pipe.reset();
    EXPECT_EQ(rig->Writes(), (std::vector<std::vector<std::uint8_t>>{mode, restart}));

    ModeAnswer back;
    for (int waited = 0; !back.Found() && waited <= 10000; waited += 250) {
        backend.clock().SleepMs(250);
        back = channel->Answers(IDCOMMCLASSTYPE);
    }
    EXPECT_TRUE(SameId(back, kSerial)) << "the same printer, back in comm class mode";
    EXPECT_FALSE(channel->Answers(IDNATIVETYPE).Found());
    const std::vector<AttachedPrinter> listed = backend.ListPrinters();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].mode, IDCOMMCLASSTYPE);
}

TEST_P(BackendContract, ACommClassPrinterNamesItsPort) {
    rig->Plug(IDCOMMCLASSTYPE, kSerial);
    EXPECT_EQ(rig->backend().LookUpPort(PrinterTarget::Listed(kSerial)).port, rig->Port());
    EXPECT_EQ(rig->backend().LookUpPort(PrinterTarget::FirstFound()).port, rig->Port());
}

TEST_P(BackendContract, APrinterHeldByAnotherProgramIsListedButItsCommandPipeIsInUse) {
    for (const UsbType mode : kProbeOrder) {
        rig.reset();
        rig = GetParam()();
        rig->Plug(mode, kSerial);
        rig->HoldByAnotherProgram();
        PrinterBackend& backend = rig->backend();
        ASSERT_EQ(backend.ListPrinters().size(), 1u) << "a held printer is still attached";
        const std::unique_ptr<PrinterChannel> channel =
            backend.OpenChannel(PrinterTarget::Listed(kSerial));
        const PipeOpening opening = channel->OpenCommandPipe(mode);
        EXPECT_EQ(opening.pipe, nullptr) << mode;
        EXPECT_TRUE(opening.inUse) << mode;
        const ModeAnswer answer = channel->Answers(mode);
        EXPECT_TRUE(answer.Found()) << mode;
        EXPECT_TRUE(EqualIgnoringCase(answer.identity, kSerial)) << answer.identity;
        EXPECT_TRUE(rig->Writes().empty());
    }
}
