// The entry point of the end-to-end test programs: CTest passes the path of
// the program under test as the first argument.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

namespace {

std::string& Path()
{
    static std::string path;
    return path;
}

}  // namespace

const std::string& testing_support::ProgramPath()
{
    return Path();
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1)
        Path() = argv[1];
    return RUN_ALL_TESTS();
}
