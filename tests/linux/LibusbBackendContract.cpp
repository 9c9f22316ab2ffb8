// The libusb backend keeps the backends' contract on umockdev's fake kernel. The rig plays the
// printer's restart: after the restart command it leaves the bus and, three seconds later on
// the backend's clock, comes back in the commanded mode as a new device.
#include "BackendContract.h"
#include "FakePrinterBackend.h"
#include "PrinterTestbed.h"

#include "device/linux/LibusbPrinterBackend.h"

namespace {
constexpr const char* kPort = "1-2";

class LibusbRig : public BackendRig {
  public:
    LibusbRig() : m_backend(m_clock) {
        m_clock.onSleep = [this](std::uint64_t now) { Play(now); };
    }
    PrinterBackend& backend() override { return m_backend; }
    void Plug(UsbType mode, const std::string& serial) override {
        m_printer.serial = serial;
        PlugIn(mode);
    }
    std::vector<std::vector<std::uint8_t>> Writes() override {
        std::vector<std::vector<std::uint8_t>> writes;
        for (const PrinterNode& node : m_bed.NodesAt(kPort)) {
            for (const BulkWrite& write : m_bed.usb().WritesTo(node.node)) {
                writes.push_back(write.bytes);
            }
        }
        return writes;
    }
    void HoldByAnotherProgram() override {
        m_bed.usb().Serve(m_bed.NodesAt(kPort).back().node, {WriteAnswer::Take, true});
    }
    std::string Port() override { return m_bed.TtyOf(kPort); }

  private:
    void PlugIn(UsbType mode) {
        m_printer.mode = static_cast<UsbMode>(mode);
        m_bed.Plug(kPort, m_printer);
    }
    void Play(std::uint64_t now) {
        const std::vector<std::vector<std::uint8_t>> writes = Writes();
        if (!m_restarting && writes.size() == 2 &&
            writes[1] == std::vector<std::uint8_t>{0x1D, 0xFF}) {
            m_bed.Unplug(kPort);
            m_restarting = true;
            m_backAtMs = now + 3000;
            m_target = static_cast<UsbType>(writes[0].back());
        } else if (m_restarting && now >= m_backAtMs && m_bed.NodesAt(kPort).size() == 1) {
            PlugIn(m_target);
        }
    }

    PrinterTestbed m_bed;
    fake::VirtualClock m_clock;
    LibusbPrinterBackend m_backend;
    PrinterDescription m_printer;
    bool m_restarting = false;
    std::uint64_t m_backAtMs = 0;
    UsbType m_target = IDNATIVETYPE;
};

std::unique_ptr<BackendRig> MakeLibusbRig() {
    return std::make_unique<LibusbRig>();
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Libusb, BackendContract, ::testing::Values(&MakeLibusbRig));
