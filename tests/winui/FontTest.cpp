// Fonts made from a design's description carry every style it names.
#include "winui/Font.h"

#include <gtest/gtest.h>

TEST(Font, TheGdiFontCarriesUnderlineStrikeOutAndCharacterSet)
{
    const winui::FontSpec spec =
        winui::FontSpec().Face("Arial").Height(-12).Bold().Underline().StrikeOut().Charset(SYMBOL_CHARSET);
    const winui::FontHandle font = winui::CreateFontFrom(spec);
    LOGFONTA read{};
    ASSERT_EQ(::GetObjectA(font.Get(), sizeof read, &read), static_cast<int>(sizeof read));
    EXPECT_EQ(read.lfHeight, -12);
    EXPECT_EQ(read.lfWeight, FW_BOLD);
    EXPECT_TRUE(read.lfUnderline);
    EXPECT_TRUE(read.lfStrikeOut);
    EXPECT_FALSE(read.lfItalic);
    EXPECT_EQ(read.lfCharSet, SYMBOL_CHARSET);
    EXPECT_STREQ(read.lfFaceName, "Arial");

    // A turned font keeps them too.
    const LOGFONTA turned = winui::LogFontFrom(spec, 900);
    EXPECT_EQ(turned.lfEscapement, 900);
    EXPECT_TRUE(turned.lfUnderline && turned.lfStrikeOut);
    EXPECT_EQ(winui::LogFontFrom(winui::FontSpec()).lfCharSet, DEFAULT_CHARSET);
}
