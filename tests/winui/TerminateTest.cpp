// An exception that nothing catches ends the program with its text on the
// standard error stream, through the program's own terminate handler.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

void ThrowOnAThread()
{
    std::thread([] { throw std::runtime_error("the receive folder went away"); }).join();
}

}  // namespace

TEST(TerminateDeathTest, AnUncaughtExceptionSaysItsTextAndAborts)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(ThrowOnAThread(), "terminate called after throwing an exception: the receive folder went away");
}
