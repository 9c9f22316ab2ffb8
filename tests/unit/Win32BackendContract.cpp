// The Windows backend keeps the backends' contract on the simulated machine, and gives back
// every handle, key and device list it took.
#include "BackendContract.h"

#include "device/windows/Win32PrinterBackend.h"
#include "platform/sim/SimSystem.h"

namespace {
class Win32Rig : public BackendRig {
  public:
    Win32Rig() { sim::reset(); }
    ~Win32Rig() override {
        EXPECT_EQ(sim::machine().openResources(), sim::Resources{});
        EXPECT_EQ(sim::machine().badReleases, 0);
    }
    Win32Rig(const Win32Rig&) = delete;
    Win32Rig& operator=(const Win32Rig&) = delete;

    PrinterBackend& backend() override { return m_backend; }
    void Plug(UsbType mode, const std::string& serial) override {
        sim::machine().printer().instance = serial;
        sim::machine().printer().attach(mode);
    }
    std::vector<std::vector<std::uint8_t>> Writes() override {
        std::vector<std::vector<std::uint8_t>> writes;
        for (const sim::PrinterWrite& write : sim::machine().printer().writes()) {
            writes.push_back(write.bytes);
        }
        return writes;
    }
    std::string Port() override { return "COM7"; }

  private:
    Win32PrinterBackend m_backend;
};

std::unique_ptr<BackendRig> MakeWin32Rig() {
    return std::make_unique<Win32Rig>();
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, BackendContract, ::testing::Values(&MakeWin32Rig));
