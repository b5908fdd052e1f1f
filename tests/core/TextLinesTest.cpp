#include "core/TextLines.h"

#include <gtest/gtest.h>

using larkspan::SplitLines;
using Lines = std::vector<std::string>;

TEST(TextLines, EveryLineEndEndsOneLine)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("a\n"), (Lines{"a"}));
    EXPECT_EQ(SplitLines("a\r"), (Lines{"a"}));
}

TEST(TextLines, EmptyLinesAreKeptAndNothingIsTrimmed)
{
    EXPECT_EQ(SplitLines("a\n\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("\n"), (Lines{""}));
    EXPECT_EQ(SplitLines("  x \t"), (Lines{"  x \t"}));
    // CR CR LF: the first CR ends a line, CR LF the next (empty) one.
    EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
    // LF CR: two line ends.
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(TextLines, EmptyTextHasNoLines)
{
    EXPECT_TRUE(SplitLines("").empty());
}
