#include "ReceivedFiles.h"

#include "core/ReceivedNames.h"
#include "winui/Handles.h"
#include "winui/LocaleText.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <optional>
#include <vector>

namespace tessaly {

namespace {

namespace portal = larkspan::portal;

// A file in the receive folder that holds the content until it is complete;
// removed unless it has been put in its place.
class PartialFile {
public:
    explicit PartialFile(const std::string& folder)
    {
        char path[MAX_PATH] = {};
        if (!::GetTempFileNameA(folder.c_str(), "rcv", 0, path))
            throw std::runtime_error("Cannot create a file in " + folder);
        path_ = path;
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile()
    {
        if (!path_.empty())
            ::DeleteFileA(path_.c_str());
    }

    void Fill(TStream& content)
    {
        winui::FileHandle file(::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw std::runtime_error("Cannot write " + path_);
        content.SetPosition(0);
        std::vector<char> piece(64 * 1024);
        while (const std::size_t read = content.Read(piece.data(), piece.size())) {
            DWORD written = 0;
            if (!::WriteFile(file.Get(), piece.data(), static_cast<DWORD>(read), &written, nullptr) ||
                written != read)
                throw std::runtime_error("Cannot write " + path_);
        }
        if (content.Position() != content.Size())
            throw std::runtime_error("The content ended early");
    }

    // Puts the complete file in its place; false when a file of that name
    // has appeared meanwhile.
    bool MoveTo(const std::string& target)
    {
        if (!RenameWithoutReplacing(path_, target))
            return false;
        path_.clear();
        return true;
    }

private:
    std::string path_;
};

}  // namespace

// What " (n)" may add to a name: up to " (10000)".
constexpr std::size_t numberRoom = 8;

std::string ReceivedFiles::Store(std::string_view receivedName, TStream& content) const
{
    const std::optional<std::string> name = portal::SafeReceivedName(receivedName);
    // The file functions take paths of fewer than MAX_PATH characters, a
    // numbered name " (n)" included.
    if (!name || folder_.size() + name->size() + numberRoom >= MAX_PATH)
        throw RefusedName(portal::PrintableName(receivedName));
    // The content is complete before it gets its name, and the rename never
    // replaces a file: a name that is taken, also by a transfer that
    // finished a moment earlier, moves on to the next number. Content
    // captured into this folder already is named where it lies.
    auto* captured = dynamic_cast<TFileStream*>(&content);
    std::optional<PartialFile> partial;
    if (!captured || captured->TemporaryFolder() != folder_) {
        partial.emplace(folder_);
        partial->Fill(content);
    }
    constexpr int tries = 10000;
    for (int n = 1; n <= tries; ++n) {
        const std::string target = folder_ + (n == 1 ? *name : portal::NumberedName(*name, n));
        if (partial ? partial->MoveTo(target) : captured->KeepAs(target))
            return target;
    }
    throw std::runtime_error("No free name for " + *name);
}

std::string DownloadsFolder()
{
    PWSTR path = nullptr;
    std::string folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)))
        folder = winui::Narrow(path);
    ::CoTaskMemFree(path);
    if (folder.empty())
        throw std::runtime_error("Cannot find the Downloads folder");
    return folder.back() == '\\' ? folder : folder + '\\';
}

std::string ChooseReceiveFolder(const std::string& preferred)
{
    if (CanCreateFilesIn(preferred))
        return preferred;
    try {
        const std::string downloads = DownloadsFolder();
        return CanCreateFilesIn(downloads) ? downloads : std::string();
    } catch (const std::runtime_error&) {
        return {};
    }
}

bool CanCreateFilesIn(const std::string& folder)
{
    try {
        PartialFile probe(folder);  // created and removed again
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

}  // namespace tessaly
