#include "core/SizeText.h"

#include <gtest/gtest.h>

using larkspan::ComposePropertiesText;
using larkspan::DocumentFacts;
using larkspan::FormatSizeText;

TEST(SizeText, ThresholdsAndFormats)
{
    EXPECT_EQ(FormatSizeText(0, '.'), "0 Bytes");
    EXPECT_EQ(FormatSizeText(512, '.'), "512 Bytes");
    EXPECT_EQ(FormatSizeText(999, '.'), "999 Bytes");
    EXPECT_EQ(FormatSizeText(1000, '.'), "0 KBytes");
    EXPECT_EQ(FormatSizeText(1024, '.'), "1 KBytes");
    EXPECT_EQ(FormatSizeText(999999, '.'), "976 KBytes");
    // Megabytes of 1,024,000 bytes, no digit before the separator below one.
    EXPECT_EQ(FormatSizeText(1000000, '.'), ".98 MBytes");
    EXPECT_EQ(FormatSizeText(5000000, '.'), "4.88 MBytes");
    EXPECT_EQ(FormatSizeText(1024000, '.'), "1.00 MBytes");
    EXPECT_EQ(FormatSizeText(5000000, ','), "4,88 MBytes");
}

TEST(SizeText, RoundsHalfUpExactly)
{
    // 1,029,120 / 1,024,000 = 1.005 exactly: a binary double lies just below.
    EXPECT_EQ(FormatSizeText(1029120, '.'), "1.01 MBytes");
    EXPECT_EQ(FormatSizeText(1029119, '.'), "1.00 MBytes");
    // 0.995 carries into the integer part.
    EXPECT_EQ(FormatSizeText(1018880, '.'), "1.00 MBytes");
}

TEST(SizeText, LargeFilesUseTheirFullSize)
{
    EXPECT_EQ(FormatSizeText(2147483648ull, '.'), "2097.15 MBytes");
    EXPECT_EQ(FormatSizeText(4294967295ull, '.'), "4194.30 MBytes");
    EXPECT_EQ(FormatSizeText(3000000000ull, '.'), "2929.69 MBytes");
    EXPECT_EQ(FormatSizeText(10ull * 1024 * 1024 * 1024 * 1024, '.'), "10737418.24 MBytes");
}

TEST(PropertiesText, UnreadableDocumentShowsItsPathAlone)
{
    DocumentFacts facts;
    facts.path = "C:\\Locked.doc";
    EXPECT_EQ(ComposePropertiesText(facts, '.'), "C:\\Locked.doc");
}

TEST(PropertiesText, ThreeIndentedLinesSeparatedByBlankLines)
{
    DocumentFacts facts;
    facts.path = "C:\\a.txt";
    facts.readable = true;
    facts.sizeKnown = true;
    facts.modified = "3/5/2024 2:07:09 PM";
    facts.size = 512;
    EXPECT_EQ(ComposePropertiesText(facts, '.'),
              "  Location: C:\\a.txt  \r\n\r\n  Date Modified: 3/5/2024 2:07:09 PM  \r\n\r\n  FileSize: 512 Bytes  ");
}

TEST(PropertiesText, UnknownSizeIsDescribedAsDirectory)
{
    DocumentFacts facts;
    facts.path = "C:\\odd";
    facts.readable = true;
    EXPECT_EQ(ComposePropertiesText(facts, '.'), "  Location: C:\\odd  \r\n\r\n  Directory or Unknown File Type  ");
}
