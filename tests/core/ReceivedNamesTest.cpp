#include "core/ReceivedNames.h"

#include "TestCodePages.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace larkspan::portal;
using larkspan::test_code_pages::Windows1252;
using larkspan::test_code_pages::Windows932;

namespace {

std::string Repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

// Shift JIS: 表 and ソ end in the byte of "\", ポ in that of "|".
const std::string hyou = "\x95\x5C";
const std::string so = "\x83\x5C";
const std::string po = "\x83\x7C";

}  // namespace

TEST(ReceivedNames, SendersAnnounceThePartAfterTheLastBackslashOrColonCharacter)
{
    const larkspan::CodePage& western = Windows1252();
    EXPECT_EQ(BareFileName("C:\\Work\\report.txt", western), "report.txt");
    EXPECT_EQ(BareFileName("D:notes.txt", western), "notes.txt");
    EXPECT_EQ(BareFileName("plain.doc", western), "plain.doc");
    EXPECT_EQ(BareFileName("C:\\Work\\", western), "");
    // In a single-byte code page 0x95 0x5C is "•\".
    EXPECT_EQ(BareFileName("C:\\Work\\" + hyou + ".doc", western), ".doc");

    // In a double-byte one a second byte of that value is part of its character.
    const larkspan::CodePage& japanese = Windows932();
    EXPECT_EQ(BareFileName("C:\\Work\\" + hyou + ".doc", japanese), hyou + ".doc");
    EXPECT_EQ(BareFileName("C:\\" + so + "\\" + po + so, japanese), po + so);
    EXPECT_EQ(BareFileName("C:\\Work\\report.txt", japanese), "report.txt");
}

TEST(ReceivedNames, AnnouncedNamesReplaceWhatTheCodePageCannotHoldOneUnderscoreEach)
{
    const larkspan::CodePage& western = Windows1252();
    const larkspan::CodePage& japanese = Windows932();
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\report.txt", western), "report.txt");
    EXPECT_EQ(AnnouncedName(u"D:notes.txt", western), "notes.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Работа\\Отчёт.txt", western), "_____.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u00E9t\u00E9 \u20AC.txt", western), "\xE9t\xE9 \x80.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\uFF52eport.txt", western), "_eport.txt");  // no lookalike "r"
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\U0001F600.png", western), "_.png");        // one pair, one "_"
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\a\xD800.txt", western), "a_.txt");          // a lone surrogate
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\x.\u0436", western), "x._");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u8868.doc", western), "_.doc");

    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u8868.doc", japanese), hyou + ".doc");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u041E\u0442\u0447\u0451\u0442.txt", japanese),
              "\x84\x4F\x84\x84\x84\x89\x84\x76\x84\x84.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\uFF52eport.txt", japanese), "\x82\x92" "eport.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u00E9t\u00E9.txt", japanese), "_t_.txt");
    EXPECT_EQ(AnnouncedName(u"C:\\Work\\\u00B9.txt", japanese), "_.txt");  // no "1" for "¹"
}

TEST(ReceivedNames, PathsAreNarrowedOnlyExactly)
{
    const larkspan::CodePage& western = Windows1252();
    const larkspan::CodePage& japanese = Windows932();
    EXPECT_EQ(larkspan::NarrowExactly(u"C:\\Users\\Zo\u00EB\\Downloads", western), "C:\\Users\\Zo\xEB\\Downloads");
    EXPECT_EQ(larkspan::NarrowExactly(u"", western), "");
    for (const std::u16string_view inexact : {std::u16string_view(u"\uFF52eport.txt"), std::u16string_view(u"\u2460"),
                                              std::u16string_view(u"\u0416"), std::u16string_view(u"a\xDC00")})
        EXPECT_EQ(larkspan::NarrowExactly(inexact, western), std::nullopt);
    EXPECT_EQ(larkspan::NarrowExactly(u"C:\\\u8868\\\uFF52.txt", japanese), "C:\\" + hyou + "\\\x82\x92.txt");
    EXPECT_EQ(larkspan::NarrowExactly(u"C:\\Users\\Zo\u00EB", japanese), std::nullopt);
    EXPECT_EQ(larkspan::NarrowExactly(u"\u00B9", japanese), std::nullopt);

    // Widening takes whole characters and refuses broken ones.
    EXPECT_EQ(larkspan::Widen(hyou + so + "\xB9", japanese), u"\u8868\u30BD\uFF79");
    EXPECT_EQ(larkspan::Widen("\x81\x20", japanese), std::nullopt);
    EXPECT_EQ(larkspan::Widen("a\x95", japanese), std::nullopt);
    EXPECT_EQ(larkspan::Widen("\x80\x81\xB9", western), u"\u20AC\u0081\u00B9");
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
        {hyou + ".doc", ".doc"},              // "•\.doc"
        {longest, longest},
        // Refused.
        {"", std::nullopt},
        {".", std::nullopt},
        {"..", std::nullopt},
        {"C:\\Work\\", std::nullopt},
        {"x.txt:", std::nullopt},
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
        {po + ".txt", std::nullopt},  // "ƒ|.txt"
        {longest + "n", std::nullopt},
        {std::string(300, 'x'), std::nullopt},
    };
    for (const auto& [received, expected] : cases)
        EXPECT_EQ(SafeReceivedName(received, Windows1252()), expected) << PrintableName(received);
}

TEST(ReceivedNames, DoubleByteNamesAreTakenByCharacter)
{
    const std::string longest = Repeated(hyou, 255);  // 510 bytes, 255 characters
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {hyou + ".doc", hyou + ".doc"},
        {"C:\\Work\\" + hyou + ".doc", hyou + ".doc"},
        {"dir\\" + so, so},  // ends in the byte of "\"
        {po + ".txt", po + ".txt"},
        {so + po + hyou, so + po + hyou},
        {"\xB9\xB2\xB3.txt", "\xB9\xB2\xB3.txt"},
        {longest, longest},
        // Refused.
        {Repeated(hyou, 256), std::nullopt},
        {"a|b", std::nullopt},
        {"dir\\" + hyou + "\\", std::nullopt},
        {"x\x81\x20y", std::nullopt},  // a lead byte before a byte that is no trail
        {"name\x95", std::nullopt},    // a lead byte at the end
        {"\x88\x9F.txt", std::nullopt},  // no character of the code page
        {hyou + ".", std::nullopt},
        {hyou + "\t", std::nullopt},
    };
    for (const auto& [received, expected] : cases)
        EXPECT_EQ(SafeReceivedName(received, Windows932()), expected) << PrintableName(received);
}

TEST(ReceivedNames, DeviceNamesAreRefusedByTheirCharacters)
{
    for (const std::string device :
         {"CON", "nul.txt", "COM1.log", "lpt9", "Aux", "prn.tar.gz", "CON .txt", "COM0", "lpt0.txt", "COM\xB9",
          "com\xB2.txt", "LPT\xB3  .log", "lpt\xB9.a.b"})
        EXPECT_EQ(SafeReceivedName(device, Windows1252()), std::nullopt) << device;
    // Names that only look like devices are ordinary files.
    for (const std::string plain : {"COM10", "LPT", "console.txt", "COMA", "COM\xB4", "nul-file", "COM 1"})
        EXPECT_EQ(SafeReceivedName(plain, Windows1252()), plain);

    // In Shift JIS 0xB9, 0xB2 and 0xB3 are katakana, not superscripts.
    for (const std::string plain : {"COM\xB9", "LPT\xB2.txt", "com\xB3"})
        EXPECT_EQ(SafeReceivedName(plain, Windows932()), plain) << plain;
    for (const std::string device : {"CON", "com0.txt", "LPT7"})
        EXPECT_EQ(SafeReceivedName(device, Windows932()), std::nullopt) << device;
}

TEST(ReceivedNames, ControlCharactersAreShownAsQuestionMarks)
{
    EXPECT_EQ(PrintableName("a\tb\r\nc"), "a?b??c");
    EXPECT_EQ(PrintableName(std::string("x\0y", 3)), "x?y");
}

TEST(ReceivedNames, NumberedNamesKeepTheExtensionAndTheLengthLimit)
{
    const larkspan::CodePage& western = Windows1252();
    EXPECT_EQ(NumberedName("report.txt", 2, western), "report (2).txt");
    EXPECT_EQ(NumberedName("archive.tar.gz", 3, western), "archive.tar (3).gz");
    EXPECT_EQ(NumberedName("README", 2, western), "README (2)");
    EXPECT_EQ(NumberedName(".profile", 2, western), ".profile (2)");
    const std::string numbered = NumberedName(std::string(251, 'n') + ".txt", 12, western);
    EXPECT_EQ(numbered.size(), 255u);
    EXPECT_EQ(numbered.substr(numbered.size() - 10), "n (12).txt");
    // An extension too long to keep beside the number is cut like a stem.
    const std::string early = NumberedName("a." + std::string(250, 'e'), 99999, western);
    EXPECT_EQ(early.size(), 255u);
    EXPECT_EQ(early.substr(0, 3), "a.e");
    EXPECT_EQ(early.substr(early.size() - 8), " (99999)");
}

TEST(ReceivedNames, NumberedDoubleByteNamesAreCutByWholeCharacters)
{
    const larkspan::CodePage& japanese = Windows932();
    EXPECT_EQ(NumberedName(so + ".txt", 2, japanese), so + " (2).txt");
    EXPECT_EQ(NumberedName("a." + hyou, 2, japanese), "a (2)." + hyou);
    // 251 characters and ".txt": the stem gives the number room by whole characters.
    const std::string numbered = NumberedName(Repeated(hyou, 251) + ".txt", 2, japanese);
    EXPECT_EQ(numbered, Repeated(hyou, 247) + " (2).txt");
    EXPECT_EQ(NameLength(numbered, japanese), 255u);
    // Counted in characters, not bytes: no half of one is left.
    const std::string cut = NumberedName(Repeated(so, 252), 2, japanese);
    EXPECT_EQ(cut, Repeated(so, 251) + " (2)");
    EXPECT_TRUE(larkspan::Widen(cut, japanese).has_value());
}
