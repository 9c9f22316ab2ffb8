// The fake holds to the contract that the systems' backends hold to, so that what the core's
// tests learn on it holds on them.
#include "BackendContract.h"
#include "FakePrinterBackend.h"

namespace {
class FakeRig : public BackendRig {
  public:
    PrinterBackend& backend() override { return m_backend; }
    void Plug(UsbType mode, const std::string& serial) override {
        fake::Printer printer;
        printer.mode = mode;
        printer.identity = serial;
        m_printer = &m_backend.Plug(printer);
    }
    std::vector<std::vector<std::uint8_t>> Writes() override {
        std::vector<std::vector<std::uint8_t>> writes;
        for (const fake::Write& write : m_printer->writes) {
            writes.push_back(write.bytes);
        }
        return writes;
    }
    std::string Port() override { return "COM7"; }

  private:
    fake::Backend m_backend;
    fake::Printer* m_printer = nullptr;
};

std::unique_ptr<BackendRig> MakeFakeRig() {
    return std::make_unique<FakeRig>();
}
} // namespace

INSTANTIATE_TEST_SUITE_P(Fake, BackendContract, ::testing::Values(&MakeFakeRig));
