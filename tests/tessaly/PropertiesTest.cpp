// The document properties text built when the user selects an item.
#include "TessalyFixture.h"

#include "winui/Handles.h"

using namespace testing_support;

namespace {

const std::string folder = "C:\\proptest";

// Creates a file of the given size (sparse where the file system allows it)
// modified at the given local time.
std::string MakeDocument(const std::string& name, unsigned long long size, WORD hour = 14, WORD minute = 7,
                         WORD second = 9)
{
    const std::string path = folder + "\\" + name;
    winui::FileHandle file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << path;
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    ::SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file.Get());
    SYSTEMTIME local{2024, 3, 2, 5, hour, minute, second, 0};
    FILETIME localTime{}, utc{};
    ::SystemTimeToFileTime(&local, &localTime);
    ::LocalFileTimeToFileTime(&localTime, &utc);
    ::SetFileTime(file.Get(), nullptr, nullptr, &utc);
    return path;
}

std::string Expected(const std::string& path, const std::string& date, const std::string& size)
{
    return "  Location: " + path + "  \r\n\r\n  Date Modified: " + date + "  \r\n\r\n  FileSize: " + size + "  ";
}

class PropertiesTest : public TessalyTest {
protected:
    void SetUp() override
    {
        TessalyTest::SetUp();
        ::CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override
    {
        TessalyTest::TearDown();
        for (const char* name : {"a512.txt", "b1000.txt", "c999999.txt", "d1000000.txt", "e5000000.txt",
                                 "f3000000000.bin", "midnight.txt", "locked.doc"})
            RemoveFile(folder + "\\" + name);
        ::RemoveDirectoryA(folder.c_str());
    }

    void ShowWith(const std::vector<std::string>& paths)
    {
        std::string list;
        for (const std::string& path : paths)
            list += path + "\r\n";
        WriteSiblingLists(list, "");
        StartForms();
        ShowWidget();
    }

    std::string Select(const std::string& item)
    {
        ClickItem(IndexOf(item));
        return Form1->PropertiesText();
    }
};

}  // namespace

TEST_F(PropertiesTest, SizeLinesAcrossTheThresholds)
{
    const std::vector<std::string> paths{
        MakeDocument("a512.txt", 512),         MakeDocument("b1000.txt", 1000),
        MakeDocument("c999999.txt", 999999),   MakeDocument("d1000000.txt", 1000000),
        MakeDocument("e5000000.txt", 5000000), MakeDocument("f3000000000.bin", 3000000000ull)};
    ShowWith(paths);
    const std::string date = "3/5/2024 2:07:09 PM";
    EXPECT_EQ(Select(paths[0]), Expected(paths[0], date, "512 Bytes"));
    EXPECT_EQ(Select(paths[1]), Expected(paths[1], date, "0 KBytes"));
    EXPECT_EQ(Select(paths[2]), Expected(paths[2], date, "976 KBytes"));
    EXPECT_EQ(Select(paths[3]), Expected(paths[3], date, ".98 MBytes"));
    EXPECT_EQ(Select(paths[4]), Expected(paths[4], date, "4.88 MBytes"));
    // Beyond 2 GiB the full 64-bit size is described.
    EXPECT_EQ(Select(paths[5]), Expected(paths[5], date, "2929.69 MBytes"));
    EXPECT_EQ(Form1->SelectedDocumentPath, paths[5]);
}

TEST_F(PropertiesTest, MidnightShowsTheDateAlone)
{
    const std::string path = MakeDocument("midnight.txt", 10, 0, 0, 0);
    ShowWith({path});
    EXPECT_EQ(Select(path), Expected(path, "3/5/2024", "10 Bytes"));
}

TEST_F(PropertiesTest, UnreadableDocumentsShowTheirPathAlone)
{
    const std::string locked = MakeDocument("locked.doc", 100);
    ShowWith({"C:\\windows", locked, "C:\\nowhere\\gone.doc"});
    EXPECT_EQ(Select("C:\\windows"), "C:\\windows");
    EXPECT_EQ(Select("C:\\nowhere\\gone.doc"), "C:\\nowhere\\gone.doc");

    // Another program holds the document open without sharing.
    winui::FileHandle exclusive(
        ::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(exclusive);
    EXPECT_EQ(Select(locked), locked);
    // Opening is still asked of the shell.
    DoubleClickItem(IndexOf(locked));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], locked);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PropertiesTest, TextChangesOnlyOnTheUsersSelection)
{
    const std::string path = MakeDocument("a512.txt", 512);
    ShowWith({path, "C:\\windows"});
    // The first activation selected item 0 without a click.
    EXPECT_EQ(Form1->ListBox1.ItemIndex(), 0);
    EXPECT_EQ(Form1->PropertiesText(), "No Document Selected.");
    EXPECT_EQ(Form1->SelectedDocumentPath, "");

    ClickItem(IndexOf(path));
    const std::string text = Form1->PropertiesText();
    ChooseMenu(Form1->RefreshContents1);  // rebuild and programmatic selection
    EXPECT_EQ(Form1->PropertiesText(), text);

    // The keyboard moves the selection like a click.
    Form1->ListBox1.SetItemIndex(0);
    PressKey(Form1->ListBox1.Handle(), VK_DOWN);
    EXPECT_EQ(Form1->PropertiesText(), "C:\\windows");

    ChooseMenu(Form1->DocumentsProp1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, winui::MessageKind::Information);
    EXPECT_EQ(prompts.shown[0].text, "C:\\windows");
    EXPECT_EQ(prompts.shown[0].buttons, winui::MessageButtons::Ok);
}

TEST_F(PropertiesTest, ShortcutItemsDescribeTheirTarget)
{
    const std::string path = MakeDocument("a512.txt", 512);
    MakeShortcut(RecentFolder() + "\\a512.txt.lnk", path);
    ShowWith({});
    EXPECT_EQ(Select("a512.txt.lnk"), Expected(path, "3/5/2024 2:07:09 PM", "512 Bytes"));
    EXPECT_EQ(Form1->SelectedDocumentPath, path);
}

TEST_F(PropertiesTest, ShortcutWhosePathPassesMaxPathIsDescribedOpenedAndCleared)
{
    const std::string path = MakeDocument("a512.txt", 512);
    // A legal name (under 255 characters) that the recent folder's path takes past MAX_PATH.
    const std::string item = "Minutes of the " + std::string(200, 'x') + " meeting.txt.lnk";
    ASSERT_GT(RecentFolder().size() + 1 + item.size(), static_cast<std::size_t>(MAX_PATH));
    MakeShortcut(RecentFolder() + "\\" + item, path);
    ShowWith({});
    ASSERT_EQ(Items(), std::vector<std::string>{item});

    EXPECT_EQ(Select(item), Expected(path, "3/5/2024 2:07:09 PM", "512 Bytes"));
    EXPECT_EQ(Form1->SelectedDocumentPath, path);
    DoubleClickItem(0);
    EXPECT_EQ(shell.opened, std::vector<std::string>{path});

    ChooseMenu(Form1->ClearAllfromList1);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text, "Recent Documents List Has Been Cleared.");
    EXPECT_TRUE(Items().empty());
}
