// Received files written into a real folder: their names, their contents,
// and what stays on disk when a name or a content is bad.
#include "TessalyFixture.h"
#include "tessaly/ReceivedFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <thread>
#include <vector>

using testing_support::FileContent;
using tessaly::ReceivedFiles;
using tessaly::RefusedName;

namespace {

// Claims a size it never delivers, as a capture cut short would.
class ShortStream final : public TStream {
public:
    std::size_t Read(void* buffer, std::size_t count) override
    {
        if (position_ >= 10)
            return 0;
        const std::size_t n = std::min<std::size_t>(count, 10);
        std::memset(buffer, 'x', n);
        position_ += static_cast<std::int64_t>(n);
        return n;
    }
    void Write(const void*, std::size_t) override {}
    std::int64_t Size() const override { return 100; }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override { position_ = position; }

private:
    std::int64_t position_ = 0;
};

// Memory content that runs `onFirstRead` when it is first read.
class WatchedStream final : public TStream {
public:
    WatchedStream(std::string bytes, std::function<void()> onFirstRead)
        : bytes_(std::move(bytes)), onFirstRead_(std::move(onFirstRead))
    {
    }
    std::size_t Read(void* buffer, std::size_t count) override
    {
        if (onFirstRead_)
            std::exchange(onFirstRead_, nullptr)();
        return bytes_.Read(buffer, count);
    }
    void Write(const void* buffer, std::size_t count) override { bytes_.Write(buffer, count); }
    std::int64_t Size() const override { return bytes_.Size(); }
    std::int64_t Position() const override { return bytes_.Position(); }
    void SetPosition(std::int64_t position) override { bytes_.SetPosition(position); }

private:
    TMemoryStream bytes_;
    std::function<void()> onFirstRead_;
};

class ReceivedFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        outside = std::string(temp) + "larkspan-received-" + std::to_string(::GetCurrentProcessId()) + "\\";
        inbox = outside + "inbox\\";
        ::CreateDirectoryA(outside.c_str(), nullptr);
        ::CreateDirectoryA(inbox.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const std::string& folder : {inbox, outside}) {
            for (const std::string& name : Names(folder))
                ::DeleteFileA((folder + name).c_str());
        }
        ::RemoveDirectoryA(inbox.c_str());
        ::RemoveDirectoryA(outside.c_str());
    }

    static std::set<std::string> Names(const std::string& folder)
    {
        std::set<std::string> names;
        WIN32_FIND_DATAA data{};
        const HANDLE search = ::FindFirstFileA((folder + "*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..")
                names.insert(name);
        } while (::FindNextFileA(search, &data));
        ::FindClose(search);
        return names;
    }

    // The program's temporary files in the folder: hidden, and of its own name.
    static std::set<std::string> HiddenTemporaries(const std::string& folder)
    {
        std::set<std::string> names;
        for (const std::string& name : Names(folder)) {
            const DWORD attributes = ::GetFileAttributesA((folder + name).c_str());
            if ((attributes & FILE_ATTRIBUTE_HIDDEN) && name.starts_with("~Tessaly-") && name.ends_with(".tmp"))
                names.insert(name);
        }
        return names;
    }

    std::string Store(const std::string& name, const std::string& content)
    {
        TMemoryStream stream(content);
        return files.Store(name, stream);
    }

    std::string outside;
    std::string inbox;
    ReceivedFiles files{""};
};

}  // namespace

TEST_F(ReceivedFilesTest, ANameThatIsTakenGetsTheNextNumberAndEachFileKeepsItsContent)
{
    files = ReceivedFiles(inbox);
    EXPECT_EQ(Store("report.txt", "first"), inbox + "report.txt");
    EXPECT_EQ(Store("report.txt", "second"), inbox + "report (2).txt");
    EXPECT_EQ(Store("C:\\Elsewhere\\REPORT.TXT", "third"), inbox + "REPORT (3).TXT");  // names differ only in case
    EXPECT_EQ(FileContent(inbox + "report.txt"), "first");
    EXPECT_EQ(FileContent(inbox + "report (2).txt"), "second");
    EXPECT_EQ(FileContent(inbox + "REPORT (3).TXT"), "third");
    EXPECT_EQ(Store("empty.dat", ""), inbox + "empty.dat");
    EXPECT_EQ(FileContent(inbox + "empty.dat"), "");
    EXPECT_EQ(Names(inbox).size(), 4u);  // and no partial file left over
}

TEST_F(ReceivedFilesTest, HostileNamesStayInsideTheFolderOrAreRefused)
{
    files = ReceivedFiles(inbox);
    const std::vector<std::string> hostile{
        "..\\x.txt", "../x.txt", "C:\\Windows\\x.dll", "\\\\server\\share\\x", "x.txt:stream", "..\\..\\..\\up.txt",
        "CON", "nul.txt", "COM1.log", "lpt9", "a.", "a ", "", ".", "..", "tab\there", "a<b", "a>b", "a|b", "a?b",
        "a*b", "a\"b", std::string(300, 'n'), "..\\", "sub/"};
    int stored = 0;
    for (const std::string& name : hostile) {
        try {
            const std::string path = Store(name, "payload");
            EXPECT_EQ(path.rfind(inbox, 0), 0u) << name;
            EXPECT_EQ(path.find('\\', inbox.size()), std::string::npos) << name;
            ++stored;
        } catch (const RefusedName&) {
        }
    }
    EXPECT_EQ(stored, 6);  // the six names with a folder part or a stream
    EXPECT_EQ(Names(outside), std::set<std::string>{"inbox"});
    EXPECT_EQ(Names(inbox), (std::set<std::string>{"x.txt", "x (2).txt", "x.dll", "x", "stream", "up.txt"}));

    try {
        Store("tab\there\r\n", "payload");
        ADD_FAILURE() << "not refused";
    } catch (const RefusedName& refused) {
        EXPECT_STREQ(refused.what(), "tab?here??");
    }
    EXPECT_EQ(Store("after.txt", "still works"), inbox + "after.txt");
}

TEST_F(ReceivedFilesTest, ContentThatEndsEarlyLeavesNoFile)
{
    files = ReceivedFiles(inbox);
    ShortStream cut;
    EXPECT_THROW(files.Store("cut.bin", cut), std::runtime_error);
    EXPECT_TRUE(Names(inbox).empty());
    // A folder that cannot be written to fails the same way.
    const ReceivedFiles nowhere(inbox + "missing\\");
    TMemoryStream content(std::string("data"));
    EXPECT_THROW(nowhere.Store("a.txt", content), std::runtime_error);
}

TEST_F(ReceivedFilesTest, SessionsStoringOneNameAtOnceGetNamesOfTheirOwn)
{
    files = ReceivedFiles(inbox);
    constexpr int sessions = 8;
    std::vector<std::string> paths(sessions);
    std::vector<std::thread> threads;
    for (int i = 0; i < sessions; ++i)
        threads.emplace_back([&, i] {
            TMemoryStream content("content " + std::to_string(i));
            paths[i] = files.Store("same.bin", content);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.end()).size(), static_cast<std::size_t>(sessions));
    for (int i = 0; i < sessions; ++i)
        EXPECT_EQ(FileContent(paths[i]), "content " + std::to_string(i));
    EXPECT_EQ(Names(inbox).size(), static_cast<std::size_t>(sessions));
}

TEST_F(ReceivedFilesTest, ContentCapturedInTheFolderIsNamedWhereItLies)
{
    files = ReceivedFiles(inbox);
    auto captured = [&](const std::string& content) {
        auto file = TFileStream::Temporary(inbox);
        file->Write(content.data(), content.size());
        file->SetPosition(0);
        return file;
    };
    auto first = captured("first");
    EXPECT_EQ(files.Store("big.bin", *first), inbox + "big.bin");
    auto second = captured("second");
    EXPECT_EQ(files.Store("big.bin", *second), inbox + "big (2).bin");
    first.reset();
    second.reset();  // kept files stay when their streams go
    EXPECT_EQ(Names(inbox), (std::set<std::string>{"big.bin", "big (2).bin"}));
    EXPECT_EQ(FileContent(inbox + "big (2).bin"), "second");

    // A refused name leaves nothing once the stream is gone.
    auto refused = captured("refused");
    EXPECT_THROW(files.Store("nul", *refused), RefusedName);
    refused.reset();
    EXPECT_EQ(Names(inbox).size(), 2u);

    // Captured elsewhere: copied in, and the capture removed with its stream.
    {
        auto elsewhere = TFileStream::Temporary(outside);
        elsewhere->Write("copied", 6);
        elsewhere->SetPosition(0);
        EXPECT_EQ(files.Store("copy.txt", *elsewhere), inbox + "copy.txt");
    }
    EXPECT_EQ(FileContent(inbox + "copy.txt"), "copied");
    EXPECT_EQ(Names(outside), std::set<std::string>{"inbox"});
}

TEST_F(ReceivedFilesTest, ANameTooLongForTheFolderIsRefused)
{
    files = ReceivedFiles(inbox);
    // The longest name that fits with a number " (10000)" added to it.
    const std::size_t room = MAX_PATH - 1 - inbox.size() - 8;
    ASSERT_LE(room, 255u);
    EXPECT_THROW(Store(std::string(room + 1, 'L'), "long"), RefusedName);
    EXPECT_EQ(Store(std::string(room, 'L'), "fits"), inbox + std::string(room, 'L'));
}

TEST_F(ReceivedFilesTest, TemporariesAreHiddenUnderTheProgramsOwnNameWhileTheyExist)
{
    files = ReceivedFiles(inbox);
    // The storing temporary, seen while the content is copied into it.
    std::set<std::string> whileStoring, temporariesWhileStoring;
    WatchedStream content("content", [&] {
        whileStoring = Names(inbox);
        temporariesWhileStoring = HiddenTemporaries(inbox);
    });
    EXPECT_EQ(files.Store("a.txt", content), inbox + "a.txt");
    EXPECT_EQ(whileStoring.size(), 1u);
    EXPECT_EQ(temporariesWhileStoring, whileStoring);
    // A capture into the folder.
    auto captured = TFileStream::Temporary(inbox);
    EXPECT_EQ(HiddenTemporaries(inbox).size(), 1u);
    EXPECT_EQ(files.Store("b.txt", *captured), inbox + "b.txt");
    EXPECT_EQ(Names(inbox), (std::set<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(::GetFileAttributesA((inbox + "b.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}
