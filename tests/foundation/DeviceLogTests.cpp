#include <platform/Log.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class DeviceLog : public testing::Test {
protected:
    void SetUp() override { platform::clearLog(); }
    void TearDown() override { platform::clearLog(); }

    static void writeNumbered(std::size_t from, std::size_t count)
    {
        for (std::size_t i = from; i < from + count; ++i)
            platform::writeLogLine("line " + std::to_string(i));
    }
};

} // namespace

TEST_F(DeviceLog, KeepsOnlyTheNewestLinesPastItsLineLimit)
{
    writeNumbered(0, platform::logLineLimit + 5);
    const std::vector<std::string> lines = platform::loggedLines();
    ASSERT_EQ(lines.size(), platform::logLineLimit);
    EXPECT_EQ(lines.front(), "line 5");
    EXPECT_EQ(lines.back(), "line " + std::to_string(platform::logLineLimit + 4));
    EXPECT_EQ(platform::logLinesWritten(), platform::logLineLimit + 5);
}

TEST_F(DeviceLog, KeepsOnlyTheNewestBytesPastItsByteLimitButAlwaysTheNewestLine)
{
    const std::string half(platform::logByteLimit / 2, 'x');
    platform::writeLogLine("a" + half);
    platform::writeLogLine("b" + half);
    platform::writeLogLine("c" + half);
    std::vector<std::string> lines = platform::loggedLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.front()[0], 'c');

    platform::writeLogLine(std::string(platform::logByteLimit * 2, 'y'));
    lines = platform::loggedLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines.front().size(), platform::logByteLimit * 2);
}

TEST_F(DeviceLog, LinesSinceAMarkStayRightOnceOlderLinesAreDropped)
{
    writeNumbered(0, platform::logLineLimit);
    const std::size_t mark = platform::logLinesWritten();
    writeNumbered(platform::logLineLimit, 3);
    const std::vector<std::string> since = platform::loggedLinesSince(mark);
    ASSERT_EQ(since.size(), 3u);
    EXPECT_EQ(since.front(), "line " + std::to_string(platform::logLineLimit));
    // A mark older than every kept line gives all of them.
    EXPECT_EQ(platform::loggedLinesSince(0).size(), platform::logLineLimit);
    EXPECT_TRUE(platform::loggedLinesSince(platform::logLinesWritten()).empty());
}
