#include "winui/SettingsFile.h"

#include <windows.h>

#include <gtest/gtest.h>

using winui::SettingsFile;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileA(path.c_str()); }
    void TearDown() override { ::DeleteFileA(path.c_str()); }
    std::string path = winui::ProgramFolder() + "Settings test.ini";
    SettingsFile file{path};

    std::string Raw(const char* section, const char* key)
    {
        char value[64] = {};
        ::GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, path.c_str());
        return value;
    }
};

}  // namespace

TEST_F(SettingsFileTest, MissingFileSectionOrKeyYieldsTheDefault)
{
    EXPECT_EQ(file.ReadInteger("Tessaly", "Left Side", 1168), 1168);
    EXPECT_EQ(file.ReadString("File Portal Address", "Value", "127.0.0.1"), "127.0.0.1");
    EXPECT_FALSE(file.ReadBool("Recent Documents", "Value", false));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);  // reading creates nothing
}

TEST_F(SettingsFileTest, ValuesAreWrittenAsTextAndReadBack)
{
    file.WriteInteger("Tessaly", "Left Side", -42);
    file.WriteBool("Recent Documents", "Value", true);
    file.WriteString("File Portal Address", "Value", "peer.example");
    EXPECT_EQ(Raw("Tessaly", "Left Side"), "-42");
    EXPECT_EQ(Raw("Recent Documents", "Value"), "1");
    EXPECT_EQ(file.ReadInteger("Tessaly", "Left Side", 0), -42);
    EXPECT_TRUE(file.ReadBool("Recent Documents", "Value", false));
    EXPECT_EQ(file.ReadString("File Portal Address", "Value", ""), "peer.example");
    file.WriteBool("Recent Documents", "Value", false);
    EXPECT_EQ(Raw("Recent Documents", "Value"), "0");
    // Any integer other than 0 is true.
    file.WriteString("Recent Documents", "Value", "7");
    EXPECT_TRUE(file.ReadBool("Recent Documents", "Value", false));
}

TEST_F(SettingsFileTest, MalformedIntegersTakeTheDefault)
{
    for (const char* text : {"abc", "12px", "", "99999999999"}) {
        file.WriteString("Tessaly", "Top Side", text);
        EXPECT_EQ(file.ReadInteger("Tessaly", "Top Side", 255), 255) << text;
    }
    file.WriteString("Tessaly", "Top Side", "+17");
    EXPECT_EQ(file.ReadInteger("Tessaly", "Top Side", 255), 17);
}

TEST_F(SettingsFileTest, LongValuesAreReadWhole)
{
    const std::string value(5000, 'x');
    file.WriteString("File Portal Address", "Value", value);
    EXPECT_EQ(file.ReadString("File Portal Address", "Value", ""), value);
}

TEST(ProgramFolder, IsTheExecutablesFolderWithATrailingBackslash)
{
    const std::string folder = winui::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    char exe[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_EQ(std::string(exe).rfind(folder, 0), 0u);
    EXPECT_EQ(std::string(exe).substr(folder.size()), "WinUiTest.exe");
}
