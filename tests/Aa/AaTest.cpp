#include "Aa.h"
#include "aTrace.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

void resetLabels()
{
    std::free(Aa::ourLabelPad);
    Aa::ourLabelPad = nullptr;
    Aa::ourLabelWidth = 0;
}

std::string const Lbl = "\033[37m\033[40m";
std::string const Rst = "\033[0m";

} // namespace

TEST(AaLog, ColouredTraceAndEdgeMessages)
{
    resetLabels();
    testing::internal::CaptureStdout();
    Aa::logstart(nullptr, "a_rather_long_file_name.cpp", 100000, nullptr); // width 41
    testing::internal::GetCapturedStdout();

    wchar_t const bad[] = {0x4e2d, 0}; // the C locale cannot convert it: a formatter error
    testing::internal::CaptureStdout();
    int const line = __LINE__ + 1;
    A_TRACE_C("iblue", "%s\n", "hello"); // data goes through %s, never as the format
    Aa::logmsg("\n");
    Aa::logmsg("%s", "");
    Aa::logmsg("%ls", bad);
    Aa::printColorCodeForName("no such colour");
    Aa::printColorCodeForName(nullptr);
    Aa::logend("red");
    std::string out = testing::internal::GetCapturedStdout();
    std::string label = "[ " + std::string(Aa::filetail(__FILE__)) + " @ " + std::to_string(line) + " ] ";
    std::string fill(41 - label.size(), ' ');
    EXPECT_EQ(out, Lbl + label + fill + Rst + "\033[37m\033[44m" + "hello" + Rst + "\n" + Rst + Rst +
                       "\n" + "\033[30m\033[47m" + Rst);
}

TEST(AaLog, LongMessagesAreCutNotOverrun)
{
    std::string big(20000, 'x');
    testing::internal::CaptureStdout();
    Aa::logmsg("%s\n", big.c_str()); // the newline is cut off: a piece, not a line
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, std::string(Aa::MsgBufSize - 1, 'x'));
}

TEST(AaLog, LogFileGetsPlainText)
{
    resetLabels();
    ScratchDir dir;
    std::string const log = dir.file("log.txt");
    char const* path = log.c_str();
    ASSERT_TRUE(Aa::beginLogToFile(path));
    testing::internal::CaptureStdout();
    Aa::logstart(nullptr, "f.cpp", 3, nullptr);
    Aa::logmsg("one\n");
    Aa::logend(nullptr);
    Aa::logstart("pre:", nullptr, 0, nullptr);
    Aa::logmsg("\n");
    Aa::logmsg("%s", "");
    testing::internal::GetCapturedStdout();
    Aa::endLogToFile();
    ASSERT_TRUE(Aa::beginLogToFile(path)); // appends
    Aa::logmsg("two\n");
    Aa::endLogToFile();
    EXPECT_EQ(readFile(path), "[ f.cpp @ 3 ] one\npre:\ntwo\n");
    EXPECT_FALSE(Aa::beginLogToFile("/nonexistent-dir/log.txt"));
    EXPECT_EQ(Aa::ourLogFileP, nullptr);
}
