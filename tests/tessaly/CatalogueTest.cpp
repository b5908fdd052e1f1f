// The document catalogue against a recent-documents folder of real shortcut
// files and real list files in the program folder.
#include "TessalyFixture.h"

using namespace testing_support;
using Names = std::vector<std::string>;

namespace {

class CatalogueTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        for (const char* name : {"Report.doc", "Page.htm", "Data.csv", "Notes.txt", "Sheet.xlsx", "Song.mp3",
                                 "Clip.avi", "Photo.jpg", "Draw.wmf", "Book.wk4", "Letter.odt", "Setup.ini",
                                 "Odd.xyz"})
            AddRecent(name);
        WriteSiblingLists("C:\\Work\\Budget.vts\r\nC:\\Docs\\notes.txt\r\n", "C:\\Work\\Letter.rtf\r\n");
        StartForms();
        ShowWidget();
    }

    Names Choose(const winui::MenuItem& item)
    {
        ChooseMenu(item);
        return Items();
    }
};

}  // namespace

TEST_F(CatalogueTest, StartUpListsSiblingLinesAndEveryShortcutSortedWithFirstSelected)
{
    const Names expected{"Book.wk4.lnk",        "C:\\Docs\\notes.txt", "C:\\Work\\Budget.vts", "C:\\Work\\Letter.rtf",
                         "Clip.avi.lnk",        "Data.csv.lnk",        "Draw.wmf.lnk",         "Letter.odt.lnk",
                         "Notes.txt.lnk",       "Odd.xyz.lnk",         "Page.htm.lnk",         "Photo.jpg.lnk",
                         "Report.doc.lnk",      "Setup.ini.lnk",       "Sheet.xlsx.lnk",       "Song.mp3.lnk"};
    EXPECT_EQ(Items(), expected);
    // The first activation selects item 0 without a click.
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), 0);
    EXPECT_EQ(Form1->PropertiesText(), "No Document Selected.");
    EXPECT_EQ(Form1->RecentFolderPath, RecentFolder());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CatalogueTest, EveryCategoryScansItsPatternsKeepingDuplicates)
{
    // "*.*ht*.lnk" and "*.htm.lnk" both match Page.htm.lnk.
    EXPECT_EQ(Choose(Form1->Documents1), (Names{"Letter.odt.lnk", "Notes.txt.lnk", "Page.htm.lnk", "Page.htm.lnk",
                                                "Report.doc.lnk", "Sheet.xlsx.lnk"}));
    EXPECT_EQ(Choose(Form1->extDocuments1), (Names{"Data.csv.lnk", "Notes.txt.lnk", "Setup.ini.lnk"}));
    EXPECT_EQ(Choose(Form1->Graphics1), (Names{"Draw.wmf.lnk", "Photo.jpg.lnk"}));
    EXPECT_EQ(Choose(Form1->MusicFiles1), (Names{"Song.mp3.lnk"}));
    EXPECT_EQ(Choose(Form1->MovieFiles1), (Names{"Clip.avi.lnk"}));
    // The suite's documents: the list files only, sorted together.
    EXPECT_EQ(Choose(Form1->MorvelOfficeDocuments1),
              (Names{"C:\\Docs\\notes.txt", "C:\\Work\\Budget.vts", "C:\\Work\\Letter.rtf"}));
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), 0);
}

TEST_F(CatalogueTest, BottomButtonsRunTheSameCommands)
{
    ClickControl(Form1->SpeedButton7.Handle());  // spreadsheet files
    EXPECT_EQ(Items(), (Names{"Book.wk4.lnk", "Data.csv.lnk", "Notes.txt.lnk", "Sheet.xlsx.lnk"}));
    ClickControl(Form1->SpeedButton5.Handle());  // text documents: Data.csv.lnk again
    EXPECT_EQ(Items(), (Names{"Data.csv.lnk", "Notes.txt.lnk", "Setup.ini.lnk"}));
    ClickControl(Form1->SpeedButton2.Handle());
    EXPECT_EQ(Items().size(), 3u);
    ClickControl(Form1->SpeedButton3.Handle());  // everything again
    EXPECT_EQ(Items().size(), 16u);
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), 0);
}

TEST_F(CatalogueTest, CategoryWithoutMatchesLeavesNothingSelected)
{
    EmptyRecentFolder();
    ChooseMenu(Form1->MusicFiles1);
    EXPECT_TRUE(Items().empty());
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), -1);
}

TEST_F(CatalogueTest, ResolvesShortcutsByExtensionAndKeepsStaleTargets)
{
    EXPECT_EQ(Form1->ResolveShortcut("Report.doc"), "NOT a shortuct by extension!");
    const std::string folder = RecentFolder();
    MakeShortcut(folder + "\\REPORT.DOC.LNK", "C:\\gone\\REPORT.DOC");  // the target never existed
    EXPECT_EQ(Form1->ResolveShortcut(folder + "\\REPORT.DOC.LNK"), "C:\\gone\\REPORT.DOC");
    // Shortcut items are bare names joined to the recent folder, whatever the
    // current directory is.
    ::SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(Form1->DocumentPath("Song.mp3.lnk"), "C:\\docs\\Song.mp3");
    EXPECT_EQ(Form1->DocumentPath("C:\\Work\\Letter.rtf"), "C:\\Work\\Letter.rtf");
    EXPECT_EQ(Form1->DocumentPath("Missing.doc.lnk"), "");

    // A target read through the wide interface comes back in the code page
    // (one it could not hold would read as none, never as a lookalike; Wine
    // keeps a shortcut's path in the code page, so that case is Windows's).
    MakeShortcut(folder + "\\caf\xE9.txt.lnk", std::wstring(L"C:\\docs\\caf\u00E9.txt"));
    EXPECT_EQ(Form1->ResolveShortcut(folder + "\\caf\xE9.txt.lnk"), "C:\\docs\\caf\xE9.txt");
}

TEST_F(CatalogueTest, ListFileLineEndsEmptyLinesAndUnterminatedLastLine)
{
    WriteSiblingLists("C:\\b.doc\n\nC:\\a.txt", "C:\\c.rtf\rD:\\x.xls\r\n");
    ChooseMenu(Form1->MorvelOfficeDocuments1);
    EXPECT_EQ(Items(), (Names{"", "C:\\a.txt", "C:\\b.doc", "C:\\c.rtf", "D:\\x.xls"}));
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), 0);
}

TEST_F(CatalogueTest, ShortcutAndPathItemsInterleaveByWholeText)
{
    EmptyRecentFolder();
    AddRecent("Notes.txt");
    WriteSiblingLists("C:\\Docs\\notes.txt", "");
    ChooseMenu(Form1->ShowAllDocuments1);
    EXPECT_EQ(Items(), (Names{"C:\\Docs\\notes.txt", "Notes.txt.lnk"}));
}

TEST_F(CatalogueTest, MissingFirstListFileStopsTheCommandAndKeepsTheList)
{
    ChooseMenu(Form1->MusicFiles1);
    RemoveFile(ProgramFile("SumvexFileList.dat"));
    ChooseMenu(Form1->RefreshContents1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, "Cannot open file " + ProgramFile("SumvexFileList.dat"));
    EXPECT_EQ(Items(), (Names{"Song.mp3.lnk"}));
    // Repainting is resumed on the failure path too.
    EXPECT_FALSE(Form1->ListBox1.Updating());

    // The suite's documents clear the list first.
    ChooseMenu(Form1->MorvelOfficeDocuments1);
    EXPECT_TRUE(Items().empty());
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(CatalogueTest, MissingSecondListFileLeavesTheFirstFilesLinesUnselected)
{
    RemoveFile(ProgramFile("QuilloFileList.dat"));
    ChooseMenu(Form1->ShowAllDocuments1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "Cannot open file " + ProgramFile("QuilloFileList.dat"));
    EXPECT_EQ(Items(), (Names{"C:\\Docs\\notes.txt", "C:\\Work\\Budget.vts"}));
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), -1);
}
