// VERSION, TRACE and the progress line of the restart wait.
#include "app/windows/VersionResource.h"

#include "SimMachine.h"

namespace {
constexpr int kNative = 0;

void PutWord(std::vector<std::uint8_t>& block, std::uint16_t word) {
    block.push_back(static_cast<std::uint8_t>(word & 0xFF));
    block.push_back(static_cast<std::uint8_t>(word >> 8));
}

void PutDword(std::vector<std::uint8_t>& block, std::uint32_t dword) {
    PutWord(block, static_cast<std::uint16_t>(dword & 0xFFFF));
    PutWord(block, static_cast<std::uint16_t>(dword >> 16));
}

// A version block as the resource compiler lays it out, with file version a.b.c.d.
std::vector<std::uint8_t> VersionBlock(int a, int b, int c, int d) {
    std::vector<std::uint8_t> block;
    PutWord(block, 0); // length, set below
    PutWord(block, 52);
    PutWord(block, 0);
    for (const char* key = "VS_VERSION_INFO"; *key != '\0'; ++key) {
        PutWord(block, static_cast<std::uint16_t>(*key));
    }
    PutWord(block, 0);
    PutWord(block, 0); // to the 32-bit boundary
    PutDword(block, 0xFEEF04BD);
    PutDword(block, 0x00010000);
    PutDword(block, static_cast<std::uint32_t>(a << 16 | b));
    PutDword(block, static_cast<std::uint32_t>(c << 16 | d));
    block.resize(block.size() + 52 - 16, 0);
    block[0] = static_cast<std::uint8_t>(block.size());
    return block;
}
} // namespace

class VersionTraceProgressTest : public SimMachineTest {
  protected:
    int exitCode = -1;
    std::string errors;
    std::string Run(std::vector<std::string> args) {
        ::testing::internal::CaptureStderr();
        const std::string output = RunOrvaneWith(std::move(args), &exitCode);
        errors = ::testing::internal::GetCapturedStderr();
        return output;
    }
};

TEST_F(VersionTraceProgressTest, VersionIsReadFromTheExecutablesVersionBlock) {
    machine().defineResourceData(1, VersionBlock(2, 3, 4, 5));
    EXPECT_EQ(Run({"version"}), "Orvane 2.3.4.5\n");
    EXPECT_EQ(exitCode, 0);
    sim::reset();
    EXPECT_EQ(Run({"VERSION"}), "Orvane (version not recorded)\n");
}

TEST_F(VersionTraceProgressTest, MalformedVersionBlocksGiveNoVersion) {
    std::vector<std::uint8_t> block = VersionBlock(1, 0, 0, 8);
    EXPECT_EQ(FileVersionOf(block.data(), block.size()), "1.0.0.8");
    EXPECT_EQ(FileVersionOf(block.data(), block.size() - 1), "");
    EXPECT_EQ(FileVersionOf(nullptr, 0), "");
    block[8] = 'X'; // the key
    EXPECT_EQ(FileVersionOf(block.data(), block.size()), "");
    block = VersionBlock(1, 0, 0, 8);
    block[40] = 0; // the signature
    EXPECT_EQ(FileVersionOf(block.data(), block.size()), "");
}
