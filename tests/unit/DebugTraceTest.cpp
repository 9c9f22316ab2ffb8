#include "common/DebugTrace.h"

#include "SimMachine.h"

class DebugTraceTest : public SimMachineTest {};

TEST_F(DebugTraceTest, LineCarriesLabelSourceLineAndText) {
    const int line = __LINE__ + 1;
    DebugTrace("open_file", "text");
    ASSERT_EQ(trace().size(), 1u);
    EXPECT_EQ(trace()[0], "open_file(" + std::to_string(line) + ") text\n");
}

TEST_F(DebugTraceTest, LongLinesArriveWhole) {
    const std::string path(1000, 'p');
    const int line = __LINE__ + 1;
    DebugTrace("OUD1 outNameBuf", path);
    ASSERT_EQ(trace().size(), 1u);
    EXPECT_EQ(trace()[0], "OUD1 outNameBuf(" + std::to_string(line) + ") " + path + "\n");
}

TEST_F(DebugTraceTest, RawTextIsSentAsItIs) {
    DebugTraceRaw("create?\n");
    EXPECT_EQ(trace(), std::vector<std::string>{"create?\n"});
}

TEST(FormatText, BuildsTextsOfAnyLength) {
    EXPECT_EQ(FormatText("i = %d\n", 42), "i = 42\n");
    EXPECT_EQ(FormatText("%s", std::string(3000, 'x').c_str()).size(), 3000u);
    EXPECT_EQ(FormatText("%s", ""), "");
}
