#include "core/DocumentKinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace larkspan;

TEST(DocumentKinds, ExtensionsAndNamesFollowTheLastDelimiter)
{
    EXPECT_EQ(ExtractFileExt("Report.doc.lnk"), ".lnk");
    EXPECT_EQ(ExtractFileExt("C:\\a.b\\noext"), "");
    EXPECT_EQ(ExtractFileExt("C:file.TXT"), ".TXT");
    EXPECT_EQ(ExtractFileExt("archive."), ".");
    EXPECT_EQ(ExtractFileName("C:\\Music\\song.mp3"), "song.mp3");
    EXPECT_EQ(ExtractFileName("C:song.mp3"), "song.mp3");
    EXPECT_EQ(ExtractFileName("song.mp3"), "song.mp3");
}

TEST(DocumentKinds, ShortcutsAreToldByTheirExtensionInAnyCase)
{
    EXPECT_TRUE(IsShortcutName("Report.doc.lnk"));
    EXPECT_TRUE(IsShortcutName("REPORT.DOC.LNK"));
    EXPECT_FALSE(IsShortcutName("Report.doc"));
    EXPECT_FALSE(IsShortcutName("C:\\x.lnk\\file"));
    EXPECT_TRUE(IsBareName("Report.doc.lnk"));
    EXPECT_FALSE(IsBareName("C:\\Report.doc.lnk"));
    EXPECT_FALSE(IsBareName("C:Report.doc.lnk"));
}

TEST(DocumentKinds, CategoryPatternsInScanOrder)
{
    const auto rich = CategoryPatterns(DocumentCategory::RichDocuments);
    ASSERT_EQ(rich.size(), 13u);
    EXPECT_STREQ(rich.front(), "*.doc*.lnk");
    EXPECT_STREQ(rich[9], "*.*ht*.lnk");
    EXPECT_STREQ(rich.back(), "*.mht.lnk");
    EXPECT_EQ(CategoryPatterns(DocumentCategory::TextDocuments).size(), 8u);
    EXPECT_EQ(CategoryPatterns(DocumentCategory::SpreadsheetFiles).size(), 8u);
    EXPECT_EQ(CategoryPatterns(DocumentCategory::GraphicFiles).size(), 8u);
    EXPECT_EQ(CategoryPatterns(DocumentCategory::MusicFiles).size(), 6u);
    const auto movies = CategoryPatterns(DocumentCategory::MovieFiles);
    ASSERT_EQ(movies.size(), 9u);
    EXPECT_STREQ(movies.back(), "*.mp4.lnk");
    // Every pattern names a shortcut.
    for (auto category : {DocumentCategory::RichDocuments, DocumentCategory::TextDocuments,
                          DocumentCategory::SpreadsheetFiles, DocumentCategory::GraphicFiles,
                          DocumentCategory::MusicFiles, DocumentCategory::MovieFiles})
        for (const char* pattern : CategoryPatterns(category))
            EXPECT_TRUE(IsShortcutName(pattern)) << pattern;
}
