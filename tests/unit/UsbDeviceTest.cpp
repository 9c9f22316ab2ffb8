#include "device/windows/UsbDevice.h"
#include "device/ProbeUsb.h"
#include "device/windows/InterfaceWalk.h"

#include "SimMachine.h"

namespace {
const std::string kPrinterId = "vid_6b1f&pid_c302";

std::string PathOfLength(std::size_t length, char fill = 'a') {
    std::string path = "\\\\?\\usb#" + kPrinterId + "#";
    path.append(length - path.size(), fill);
    return path;
}

// Whether PIPE00 of the printer in `mode` opens; the pipe is closed again.
bool PipeOpens(CUsbDevice& device, UsbType mode) {
    const HANDLE hPipe = device.open_file(mode, "PIPE00");
    return hPipe != INVALID_HANDLE_VALUE && CloseHandle(hPipe) != FALSE;
}
} // namespace

class UsbDeviceTest : public SimMachineTest {};

TEST_F(UsbDeviceTest, OpensThePipeOfThePrinterInItsMode) {
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    HANDLE hPipe = device.open_file(IDNATIVETYPE, "PIPE00");
    ASSERT_NE(hPipe, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::string(device.DeviceName()), printer().path() + "\\PIPE00");
    // The interface is opened bare once to prove it answers, then the pipe.
    EXPECT_EQ(machine().createFilePaths(),
              (std::vector<std::string>{printer().path(), printer().path() + "\\PIPE00"}));
    EXPECT_EQ(TraceCount("completeDeviceName=" + printer().path() + "\\PIPE00"), 1);
    CloseHandle(hPipe);
}

TEST_F(UsbDeviceTest, AbsentModeFailsBeforeAnyPipeIsOpened) {
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDCOMMCLASSTYPE, "PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpensContaining("PIPE00"), 0);
    EXPECT_EQ(TraceCount(") INVALID_HANDLE_VALUE\n"), 1);
}

TEST_F(UsbDeviceTest, PipeThatDoesNotOpenIsReportedWithItsError) {
    printer().attach(IDPRINTERCLASSTYPE);
    printer().pipe01Opens = false;
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDPRINTERCLASSTYPE, "PIPE01"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(TraceCount("CreateFile: Error=31\n"), 1);
}

TEST_F(UsbDeviceTest, ForeignInterfacesAreExaminedButNeverOpened) {
    AddForeignSerialPorts(3);
    printer().attach(IDCOMMCLASSTYPE);
    CUsbDevice device;
    ASSERT_TRUE(PipeOpens(device, IDCOMMCLASSTYPE));
    EXPECT_EQ(OpensContaining("pnp0501"), 0);
    EXPECT_EQ(TraceCount("OUD1 outNameBuf("), 4);
    EXPECT_EQ(TraceCount("pnp0501#3#"), 1);
    EXPECT_EQ(TraceCount("No Errors"), 1);
}

TEST_F(UsbDeviceTest, FirstInterfaceCarryingAnIdEndsTheSearch) {
    printer().attach(IDCOMMCLASSTYPE);
    printer().enumIndex = 0;
    AddForeignSerialPorts(2);
    CUsbDevice device;
    char name[CUsbDevice::kNameBufSize] = {};
    HANDLE hDevice = device.OpenUsbDevice(sim::kCommPortClass, name, sizeof name);
    ASSERT_NE(hDevice, INVALID_HANDLE_VALUE);
    CloseHandle(hDevice);
    EXPECT_EQ(std::string(name), printer().path());
    EXPECT_EQ(TraceCount("i = "), 1);
}

TEST_F(UsbDeviceTest, MatchingInterfaceThatCannotOpenDoesNotEndTheSearch) {
    const std::string dead = "\\\\?\\usb#" + kPrinterId + "#dead#{x}";
    machine().addInterface(sim::kNativeClass, dead, false);
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    ASSERT_TRUE(PipeOpens(device, IDNATIVETYPE));
    EXPECT_EQ(OpensContaining("#dead#"), 1);
    EXPECT_EQ(TraceCount("OUD1 outNameBuf("), 2);
}

TEST_F(UsbDeviceTest, IdSpelledInMixedCaseIsNotThePrinter) {
    printer().hardwareId = "VID_6B1F&pid_c302";
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDNATIVETYPE, "PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(machine().createFilePaths().empty());
}

TEST_F(UsbDeviceTest, UpperCaseIdIsThePrinter) {
    printer().hardwareId = "VID_6B1F&PID_C337";
    printer().attach(IDPRINTERCLASSTYPE);
    CUsbDevice device;
    ASSERT_TRUE(PipeOpens(device, IDPRINTERCLASSTYPE));
}

TEST_F(UsbDeviceTest, PathsTooLongForAPipeNameArePassedOver) {
    // 248 characters leave exactly room for "\PIPE00" and the terminator in 256.
    const std::string fits = PathOfLength(248);
    const std::string tooLong = PathOfLength(249, 'b');
    machine().addInterface(sim::kNativeClass, tooLong);
    machine().addInterface(sim::kNativeClass, fits);
    CUsbDevice device;
    ASSERT_TRUE(PipeOpens(device, IDNATIVETYPE));
    EXPECT_EQ(std::string(device.DeviceName()), fits + "\\PIPE00");
    EXPECT_EQ(OpensContaining("bbb"), 0);
    EXPECT_EQ(TraceCount("Device path too long: 249 characters"), 1);
}

TEST_F(UsbDeviceTest, VeryLongPathsNeitherOverflowNorOpen) {
    printer().pathOverride = PathOfLength(5000);
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDNATIVETYPE, "PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(machine().createFilePaths().empty());
}

TEST_F(UsbDeviceTest, EnumerationErrorsDoNotEndTheSearch) {
    machine().addEnumerationError(sim::kNativeClass, ERROR_INVALID_USER_BUFFER);
    machine().addEnumerationError(sim::kNativeClass, ERROR_GEN_FAILURE);
    printer().attach(IDNATIVETYPE);
    CUsbDevice device;
    ASSERT_TRUE(PipeOpens(device, IDNATIVETYPE));
    EXPECT_EQ(TraceCount(") Error = 1784\n"), 1);
    EXPECT_EQ(TraceCount(") Error = 31\n"), 1);
}

TEST_F(UsbDeviceTest, EnumerationThatOnlyFailsEndsAfterABoundedRunOfErrors) {
    for (int i = 0; i < InterfaceWalk::kMaxConsecutiveEnumErrors - 1; ++i) {
        machine().addEnumerationError(sim::kNativeClass, ERROR_GEN_FAILURE);
    }
    printer().attach(IDNATIVETYPE);
    machine().failEnumerationForever(sim::kNativeClass, ERROR_GEN_FAILURE);
    {
        CUsbDevice device;
        EXPECT_TRUE(PipeOpens(device, IDNATIVETYPE))
            << "15 errors in a row do not hide the printer";
    }
    sim::reset();
    machine().failEnumerationForever(sim::kNativeClass, ERROR_GEN_FAILURE);
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDNATIVETYPE, "PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(TraceCount("Error = 31"), InterfaceWalk::kMaxConsecutiveEnumErrors);
    EXPECT_EQ(TraceCount("Too many enumeration errors"), 1);
}

TEST_F(UsbDeviceTest, ClassListThatCannotBeMadeMeansNoPrinter) {
    printer().attach(IDNATIVETYPE);
    machine().failClassDevs(sim::kNativeClass);
    CUsbDevice device;
    EXPECT_EQ(device.open_file(IDNATIVETYPE, "PIPE00"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(TraceCount("SetupDiGetClassDevs("), 1);
    EXPECT_EQ(TraceCount(") Invalid handle\n"), 1);
}

TEST_F(UsbDeviceTest, DetailRecordFailuresKeepThePreviousPathAndLeakNothing) {
    for (sim::Api api : {sim::Api::GlobalAlloc, sim::Api::GlobalLock,
                         sim::Api::SetupDiGetDeviceInterfaceDetailA}) {
        sim::reset();
        printer().attach(IDNATIVETYPE);
        // The detail record is asked for twice per interface; fail the call that fills it.
        const int nth = api == sim::Api::SetupDiGetDeviceInterfaceDetailA ? 1 : 0;
        machine().failCall(api, nth, ERROR_NOT_ENOUGH_MEMORY);
        CUsbDevice device;
        char name[CUsbDevice::kNameBufSize] = "previous";
        EXPECT_EQ(device.OpenUsbDevice(sim::kNativeClass, name, sizeof name), INVALID_HANDLE_VALUE)
            << sim::ApiName(api);
        EXPECT_STREQ(name, "previous") << sim::ApiName(api);
        EXPECT_EQ(machine().openResources(), sim::Resources{}) << sim::ApiName(api);
    }
}

TEST_F(UsbDeviceTest, ProbeSearchesEachClassOnceAndOpensOnlyThePrinter) {
    AddForeignSerialPorts(4);
    printer().attach(IDCOMMCLASSTYPE);
    EXPECT_EQ(ProbeUsb(backend, PrinterTarget::FirstFound(), nullptr, 0), IDCOMMCLASSTYPE);
    EXPECT_EQ(machine().callsOf(sim::Api::SetupDiGetClassDevsA), 3);
    // Its interface bare, to prove it answers, then its presence pipe.
    EXPECT_EQ(machine().createFilePaths(),
              (std::vector<std::string>{printer().path(), printer().path() + "\\PIPE00"}));
}
