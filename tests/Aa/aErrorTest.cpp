#include "aError_aPath_MiscError.h"
#include "aError_aPath_SystemError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace {

// Captures the stack n calls deeper than the caller. The call goes through a volatile pointer so
// that no optimiser turns the recursion into a loop.
int captureAtDepth(int n, aError& e);
int (*volatile deeper)(int, aError&) = captureAtDepth;

__attribute__((noinline)) int captureAtDepth(int n, aError& e)
{
    if (n == 0) {
        e.throw_();
        return 0;
    }
    return deeper(n - 1, e) + 1;
}

[[noreturn]] __attribute__((noinline)) void throwSystemError()
{
    aError_aPath_SystemError e("No such file or directory");
    e.myErrno = ENOENT;
    e.myFile = "aPath.cpp";
    e.myLine = 42;
    e.myMessage += " (/tmp/gone)";
    e.throw_();
    throw e;
}

} // namespace

TEST(aError, StackIsTakenAtEachThrow)
{
    testing::internal::CaptureStdout();
    aError e;
    captureAtDepth(0, e);
    size_t const shallow = e.myStack.size();
    captureAtDepth(8, e);
    size_t const deep = e.myStack.size();
    captureAtDepth(0, e);
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_GT(shallow, 0u);
    EXPECT_GE(deep, shallow + 8);
    EXPECT_EQ(e.myStack.size(), shallow);
    EXPECT_THAT(out, testing::StartsWith("DUMPING FRAMES: \n"));
}

TEST(aError, CaughtCopyRethrownKeepsEverything)
{
    testing::internal::CaptureStdout();
    try {
        try {
            throwSystemError();
        } catch (aError_aPath_SystemError& e) {
            e.myPlace = "removeAll";
            throw aError_aPath_SystemError(e);
        }
    } catch (aError_aPath_SystemError const& e) {
        testing::internal::GetCapturedStdout();
        EXPECT_STREQ(e.message(), "ERROR: [aPath_SystemError] - No such file or directory (/tmp/gone)");
        EXPECT_EQ(e.myErrno, ENOENT);
        EXPECT_EQ(e.myLine, 42);
        EXPECT_STREQ(e.myFile.c(), "aPath.cpp");
        EXPECT_STREQ(e.myPlace.c(), "removeAll");
        EXPECT_FALSE(e.myStack.empty());
        return;
    }
    FAIL() << "nothing caught";
}

TEST(aError, DumpWritesDataAsText)
{
    aError_aPath_MiscError e;
    e.myMessage += "100%s done";
    e.myPlace = "aPath_MiscError";
    e.myFile = "aPath.cpp";
    e.myLine = 7;
    testing::internal::CaptureStdout();
    e.dump("here.cpp", 3, "while %d removing");
    EXPECT_STREQ(aError(nullptr).message(), ""); // never null: handlers print it as it is
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "ERROR DUMPING at here.cpp, line 3\n\nwhile %d removing\n\n"
              "       THROWN at aPath_MiscError, line 7, in aPath.cpp\n\n"
              "ERROR: [aPath_MiscError] - 100%s done\n\n"
              "  STACKTRACE:\n\n");
}
