// The entry point of the end-to-end test programs: CTest passes the path of
// the program under test as the first argument, and that of its sibling
// program, where a test needs both, as the second.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

namespace {

std::string& Path(int n)
{
    static std::string paths[2];
    return paths[n];
}

}  // namespace

const std::string& testing_support::ProgramPath()
{
    return Path(0);
}

const std::string& testing_support::SiblingPath()
{
    return Path(1);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    for (int n = 0; n < 2 && n + 1 < argc; ++n)
        Path(n) = argv[n + 1];
    return RUN_ALL_TESTS();
}
