// What the shell shows of the program file: its version and its icon.
#include "ProgramUnderTest.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {

std::string VersionValue(const std::vector<char>& block, const char* name)
{
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return {};
    return value;
}

}  // namespace

TEST(ProgramFile, CarriesItsVersionAndItsIcon)
{
    const std::string program = WindowsPath(ProgramPath());
    const std::string file = program.substr(program.find_last_of('\\') + 1);

    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, size, block.data()));
    EXPECT_EQ(VersionValue(block, "ProductName"), "Larkspan");
    EXPECT_EQ(VersionValue(block, "ProductVersion"), "1.0.0");
    EXPECT_EQ(VersionValue(block, "OriginalFilename"), file);
    EXPECT_FALSE(VersionValue(block, "FileDescription").empty());

    // The icon in the two sizes the shell shows.
    const HMODULE image = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    for (int size : {32, 16}) {
        const HICON icon =
            static_cast<HICON>(::LoadImageA(image, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP colour{};
        ::GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }
    ::FreeLibrary(image);
}
