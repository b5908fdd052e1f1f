#include "core/ReceivedNames.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace larkspan::portal;

TEST(ReceivedNames, SendersAnnounceThePartAfterTheLastBackslashOrColon)
{
    EXPECT_EQ(BareFileName("C:\\Work\\report.txt"), "report.txt");
    EXPECT_EQ(BareFileName("D:notes.txt"), "notes.txt");
    EXPECT_EQ(BareFileName("plain.doc"), "plain.doc");
    EXPECT_EQ(BareFileName("C:\\Work\\"), "");
}

TEST(ReceivedNames, HostileNamesAreReducedOrRefused)
{
    const std::string longest(255, 'n');
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        // Reduced to what follows the last separator of any kind.
        {"..\\x.txt", "x.txt"},
        {"../x.txt", "x.txt"},
        {"C:\\Windows\\x.dll", "x.dll"},
        {"\\\\server\\share\\x", "x"},
        {"x.txt:stream", "stream"},
        {"dir/sub\\deep:name.bin", "name.bin"},
        {"report (2).txt", "report (2).txt"},
        {"\xE9t\xE9.txt", "\xE9t\xE9.txt"},  // 8-bit characters pass
        {longest, longest},
        // Refused.
        {"", std::nullopt},
        {".", std::nullopt},
        {"..", std::nullopt},
        {"C:\\Work\\", std::nullopt},
        {"x.txt:", std::nullopt},
        {"CON", std::nullopt},
        {"nul.txt", std::nullopt},
        {"COM1.log", std::nullopt},
        {"lpt9", std::nullopt},
        {"Aux", std::nullopt},
        {"prn.tar.gz", std::nullopt},
        {"CON .txt", std::nullopt},
        {"a.", std::nullopt},
        {"a ", std::nullopt},
        {"tab\there", std::nullopt},
        {std::string("nul\0byte", 8), std::nullopt},
        {"line\r\nfeed", std::nullopt},
        {"a<b", std::nullopt},
        {"a>b", std::nullopt},
        {"a|b", std::nullopt},
        {"a?b", std::nullopt},
        {"a*b", std::nullopt},
        {"a\"b", std::nullopt},
        {longest + "n", std::nullopt},
        {std::string(300, 'x'), std::nullopt},
    };
    for (const auto& [received, expected] : cases)
        EXPECT_EQ(SafeReceivedName(received), expected) << PrintableName(received);
    // Names that only look like devices are ordinary files.
    EXPECT_EQ(SafeReceivedName("COM10"), "COM10");
    EXPECT_EQ(SafeReceivedName("LPT0.txt"), "LPT0.txt");
    EXPECT_EQ(SafeReceivedName("console.txt"), "console.txt");
}

TEST(ReceivedNames, ControlCharactersAreShownAsQuestionMarks)
{
    EXPECT_EQ(PrintableName("a\tb\r\nc"), "a?b??c");
    EXPECT_EQ(PrintableName(std::string("x\0y", 3)), "x?y");
}

TEST(ReceivedNames, NumberedNamesKeepTheExtensionAndTheLengthLimit)
{
    EXPECT_EQ(NumberedName("report.txt", 2), "report (2).txt");
    EXPECT_EQ(NumberedName("archive.tar.gz", 3), "archive.tar (3).gz");
    EXPECT_EQ(NumberedName("README", 2), "README (2)");
    EXPECT_EQ(NumberedName(".profile", 2), ".profile (2)");
    const std::string numbered = NumberedName(std::string(251, 'n') + ".txt", 12);
    EXPECT_EQ(numbered.size(), 255u);
    EXPECT_EQ(numbered.substr(numbered.size() - 10), "n (12).txt");
    // An extension too long to keep beside the number is cut like a stem.
    const std::string early = NumberedName("a." + std::string(250, 'e'), 99999);
    EXPECT_EQ(early.size(), 255u);
    EXPECT_EQ(early.substr(0, 3), "a.e");
    EXPECT_EQ(early.substr(early.size() - 8), " (99999)");
}
