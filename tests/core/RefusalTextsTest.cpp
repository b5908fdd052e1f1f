#include "core/RefusalTexts.h"

#include <gtest/gtest.h>

using namespace larkspan::portal;

namespace {

// Code points of UTF-16 text, and whether every surrogate is in its pair.
struct Decoded {
    std::size_t characters = 0;
    bool wellFormed = true;
};

Decoded Decode(const std::u16string& text)
{
    Decoded d;
    for (std::size_t i = 0; i < text.size(); ++i, ++d.characters) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                ++i;
            else
                d.wellFormed = false;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            d.wellFormed = false;
        }
    }
    return d;
}

const std::u16string pair = u"\U0001F600";  // one character, two code units

std::u16string Repeat(const std::u16string& piece, std::size_t times)
{
    std::u16string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

}  // namespace

TEST(RefusalTexts, NamesThatFitAreShownWhole)
{
    const std::u16string hundred(100, u'n');
    EXPECT_EQ(ElideMiddle(hundred, maxShownNameLength), hundred);
    EXPECT_EQ(ElideMiddle(u"", maxShownNameLength), u"");
    // Fifty pairs are a hundred code units but fifty characters.
    EXPECT_EQ(ElideMiddle(Repeat(pair, 50), 50), Repeat(pair, 50));
}

TEST(RefusalTexts, LongNamesKeepTheirBeginningAndEndAroundTheEllipsis)
{
    const std::u16string name = std::u16string(5000, u'a') + u"|" + std::u16string(4998, u'z');
    const std::u16string shown = ElideMiddle(name, maxShownNameLength);
    EXPECT_EQ(shown, std::u16string(49, u'a') + u"..." + std::u16string(48, u'z'));
    EXPECT_EQ(ElideMiddle(u"abcdefghij", 9), u"abc...hij");
    EXPECT_EQ(ElideMiddle(u"abcdefghij", 3), u"...");
    EXPECT_EQ(ElideMiddle(u"abcdefghij", 2), u"..");
}

TEST(RefusalTexts, ElisionCountsCharactersAndNeverSplitsASurrogatePair)
{
    // An odd number of code units before the pairs puts every code-unit
    // boundary of a naive cut inside a pair on one side or the other.
    for (const std::u16string& name :
         {u"a" + Repeat(pair, 300), Repeat(pair, 300) + u"b", u"x" + Repeat(u"y" + pair, 200), Repeat(pair, 101)}) {
        const std::u16string shown = ElideMiddle(name, maxShownNameLength);
        const Decoded decoded = Decode(shown);
        EXPECT_TRUE(decoded.wellFormed);
        EXPECT_EQ(decoded.characters, maxShownNameLength);
        const std::size_t dots = shown.find(u"...");
        ASSERT_NE(dots, std::u16string::npos);
        EXPECT_EQ(Decode(shown.substr(0, dots)).characters, 49u);
        EXPECT_EQ(name.substr(0, dots), shown.substr(0, dots));
        const std::u16string tail = shown.substr(dots + 3);
        EXPECT_EQ(Decode(tail).characters, 48u);
        EXPECT_EQ(name.substr(name.size() - tail.size()), tail);
    }
    // A lone surrogate is one character of its own.
    const std::u16string lone = std::u16string(1, u'\xD800') + std::u16string(10, u'q');
    EXPECT_EQ(ElideMiddle(lone, 7), std::u16string(1, u'\xD800') + u"q...qq");
}

TEST(RefusalTexts, TheBoxesSayTheNameAndHowManyMoreWereRefused)
{
    EXPECT_EQ(RefusalText("lpt1.txt"), "A received file was refused: its name \"lpt1.txt\" cannot be used here.");
    EXPECT_EQ(FurtherRefusalsText(1), "1 further file name was refused.");
    EXPECT_EQ(FurtherRefusalsText(2), "2 further file names were refused.");
    EXPECT_EQ(FurtherRefusalsText(1000), "1000 further file names were refused.");
}
