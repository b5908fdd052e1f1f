#include "core/OwnerDrawing.h"

#include <gtest/gtest.h>

#include <vector>

using namespace larkspan;

TEST(GradientLines, StopsAAndBOverTwentyOneLines)
{
    const Rgb a{0xFF, 0xF5, 0xDD};
    const Rgb b{0xFF, 0xD2, 0x5E};
    const std::vector<Rgb> stops{a, a, b};
    const std::vector<GradientLine> lines = GradientLines(21, stops);
    // Segment length 10.5 rounds to 10: lines 0..10 flat, then 10..20 from A to B.
    ASSERT_EQ(lines.size(), 22u);
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].position, i);
        EXPECT_EQ(lines[static_cast<std::size_t>(i)].color, a);
    }
    for (int j = 0; j <= 10; ++j) {
        const GradientLine& line = lines[static_cast<std::size_t>(11 + j)];
        EXPECT_EQ(line.position, 10 + j);
        const double t = j / 10.0;
        EXPECT_EQ(line.color.g, static_cast<int>(0xF5 + (0xD2 - 0xF5) * t)) << j;
        EXPECT_EQ(line.color.b, static_cast<int>(0xDD + (0x5E - 0xDD) * t)) << j;
    }
    EXPECT_EQ(lines.back().color, b);
}

TEST(GradientLines, TruncatesTowardZeroAndRoundsSegmentsToEven)
{
    // 5 lines over 2 segments: 2.5 rounds to 2; the last segment has 5 - 2 - 1 = 2.
    const std::vector<Rgb> stops{{0, 0, 0}, {10, 10, 10}, {0, 0, 0}};
    const std::vector<GradientLine> lines = GradientLines(5, stops);
    std::vector<int> positions;
    std::vector<int> reds;
    for (const GradientLine& line : lines) {
        positions.push_back(line.position);
        reds.push_back(line.color.r);
    }
    EXPECT_EQ(positions, (std::vector<int>{0, 1, 2, 2, 3, 4}));
    EXPECT_EQ(reds, (std::vector<int>{0, 5, 10, 10, 5, 0}));
}

TEST(GradientLines, FewerThanTwoColoursIsAMathError)
{
    const std::vector<Rgb> one{{1, 2, 3}};
    try {
        GradientLines(10, one);
        FAIL() << "no error";
    } catch (const EMathError& e) {
        EXPECT_STREQ(e.what(), "Es m\xFCssen mindestens zwei Farben angegeben werden.");
    }
    EXPECT_THROW(GradientLines(10, {}), EMathError);
}

TEST(ListItemLook, IconsAndCaptions)
{
    auto look = LookOfListItem("Report.doc.lnk");
    EXPECT_EQ(look.iconIndex, 26);
    EXPECT_EQ(look.caption, "Report.doc");
    look = LookOfListItem("C:\\Music\\song.mp3");
    EXPECT_EQ(look.iconIndex, 6);
    EXPECT_EQ(look.caption, "song.mp3");
    look = LookOfListItem("Photo.JPG.lnk");
    EXPECT_EQ(look.iconIndex, 24);
    EXPECT_EQ(look.caption, "Photo.JPG");
    look = LookOfListItem("REPORT.DOC.LNK");
    EXPECT_EQ(look.iconIndex, 23);
    EXPECT_EQ(look.caption, "REPORT.DOC.LNK");
    EXPECT_EQ(LookOfListItem("").caption, "");
    EXPECT_EQ(LookOfListItem("").iconIndex, 23);
}

TEST(ListItemLook, IconTable)
{
    EXPECT_EQ(DocumentIconIndex(".docx"), 26);
    EXPECT_EQ(DocumentIconIndex(".xlsx"), 23);
    EXPECT_EQ(DocumentIconIndex(".odt"), 23);
    EXPECT_EQ(DocumentIconIndex(".mht"), 0);
    EXPECT_EQ(DocumentIconIndex(".pdf"), 14);
    EXPECT_EQ(DocumentIconIndex(".nri"), 28);
    EXPECT_EQ(DocumentIconIndex(".pht"), 3);
    EXPECT_EQ(DocumentIconIndex(".prn"), 27);
    EXPECT_EQ(DocumentIconIndex(".eml"), 25);
    EXPECT_EQ(DocumentIconIndex(".zip"), 19);
    EXPECT_EQ(DocumentIconIndex(".hlp"), 31);
    EXPECT_EQ(DocumentIconIndex(".wri"), 20);
    EXPECT_EQ(DocumentIconIndex(".csv"), 22);
    EXPECT_EQ(DocumentIconIndex(".vts"), 29);
    EXPECT_EQ(DocumentIconIndex(".aac"), 6);
    EXPECT_EQ(DocumentIconIndex(".asf"), 30);
    EXPECT_EQ(DocumentIconIndex(".wvl"), 2);
    EXPECT_EQ(DocumentIconIndex(".oga"), 15);
    EXPECT_EQ(DocumentIconIndex(".emf"), 24);
    EXPECT_EQ(DocumentIconIndex(""), 23);
}

TEST(MenuSizes, RowsKeepRoomForAnEmptyHintLine)
{
    constexpr Size row = MenuItemSize({100, 13}, {0, 13});
    static_assert(row.width == 134 && row.height == 39);
    EXPECT_EQ(MenuItemSize({20, 16}, {50, 13}).width, 84);
    EXPECT_EQ(separatorSize.height, 3);
}
