// The platform's code pages as the name rules see them: whole double-byte
// characters, and no character that only looks like the one asked for.
#include "winui/AnsiCodePage.h"
#include "winui/LocaleText.h"

#include <gtest/gtest.h>

using winui::AnsiCodePage;

TEST(AnsiCodePage, WesternHasOneByteCharactersAndNoBestFit)
{
    const AnsiCodePage western(1252);
    EXPECT_EQ(western.CharacterLength("\x95\x5C"), 1u);
    EXPECT_EQ(western.Decode("\x80"), U'\u20AC');
    EXPECT_EQ(western.Decode("\xB9"), U'\u00B9');
    EXPECT_EQ(western.Encode(U'\u00E9'), "\xE9");
    EXPECT_EQ(western.Encode(U'\u2122'), "\x99");
    // The platform's best fit would give "r", "1", "A" and "?".
    for (const char32_t lacking : {U'\uFF52', U'\u2460', U'\u0100', U'\u041E', U'\U0001F600'})
        EXPECT_EQ(western.Encode(lacking), std::nullopt) << static_cast<unsigned>(lacking);
    EXPECT_EQ(western.Encode(U'?'), "?");  // the default character itself is exact
}

TEST(AnsiCodePage, ShiftJisTakesLeadAndTrailBytesAsOneCharacter)
{
    const AnsiCodePage japanese(932);
    for (const unsigned lead : {0x81u, 0x9Fu, 0xE0u, 0xFCu})
        EXPECT_EQ(japanese.CharacterLength(std::string{static_cast<char>(lead), 'A'}), 2u) << lead;
    for (const unsigned single : {0x41u, 0x5Cu, 0xA1u, 0xB9u, 0xDFu})
        EXPECT_EQ(japanese.CharacterLength(std::string{static_cast<char>(single), 'A'}), 1u) << single;
    EXPECT_EQ(japanese.CharacterLength("\x95"), 1u);  // a lead byte at the end
    EXPECT_EQ(japanese.Decode("\x95\x5C"), U'\u8868');
    EXPECT_EQ(japanese.Decode("\x83\x7C"), U'\u30DD');
    EXPECT_EQ(japanese.Decode("\xB9"), U'\uFF79');
    EXPECT_EQ(japanese.Decode("\x95"), std::nullopt);
    EXPECT_EQ(japanese.Encode(U'\u30BD'), "\x83\x5C");
    EXPECT_EQ(japanese.Encode(U'\uFF52'), "\x82\x92");
    EXPECT_EQ(japanese.Encode(U'\u00B9'), std::nullopt);
    EXPECT_EQ(japanese.Encode(U'\u00E9'), std::nullopt);
}

TEST(AnsiCodePage, PathsAreNarrowedOnlyExactlyInTheActiveCodePage)
{
    ASSERT_EQ(AnsiCodePage().Number(), ::GetACP());
    ASSERT_EQ(::GetACP(), 1252u) << "the cases below are Western";
    EXPECT_EQ(winui::NarrowPath(L"C:\\Users\\Zo\u00EB\\Downloads"), "C:\\Users\\Zo\xEB\\Downloads");
    EXPECT_EQ(winui::NarrowPath(L"C:\\Work\\\uFF52eport.txt"), std::nullopt);
    EXPECT_EQ(winui::NarrowPath(L"C:\\\u0420\u0430\u0431\u043E\u0442\u0430"), std::nullopt);
}
