#include "ReceivedFiles.h"

#include "core/ReceivedNames.h"
#include "winui/LocaleText.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
#include <optional>
#include <vector>

namespace tessaly {

namespace {

namespace portal = larkspan::portal;

// Copies the whole of `content` into `file`; throws when it ends before its size.
void CopyWhole(TStream& content, TStream& file)
{
    content.SetPosition(0);
    std::vector<char> piece(64 * 1024);
    while (const std::size_t read = content.Read(piece.data(), piece.size()))
        file.Write(piece.data(), read);
    if (content.Position() != content.Size())
        throw std::runtime_error("The content ended early");
}

}  // namespace

// What " (n)" may add to a name: up to " (10000)".
constexpr std::size_t numberRoom = 8;

std::string ReceivedFiles::Store(std::string_view receivedName, TStream& content) const
{
    const std::optional<std::string> name = portal::SafeReceivedName(receivedName, codePage_);
    // The file functions take paths of fewer than MAX_PATH characters (not
    // bytes: a double-byte character is one), a numbered name " (n)" included.
    if (!name || portal::NameLength(folder_, codePage_) + portal::NameLength(*name, codePage_) + numberRoom >= MAX_PATH)
        throw RefusedName(portal::PrintableName(receivedName));
    // The content is complete in a temporary file of the folder before it
    // gets its name, and the rename never replaces a file: a name that is
    // taken, also by a transfer that finished a moment earlier, moves on to
    // the next number. Content captured into this folder already is named
    // where it lies.
    TFileStream* file = content.AsFile();
    std::unique_ptr<TFileStream> copy;
    if (!file || file->TemporaryFolder() != folder_) {
        copy = TFileStream::Temporary(folder_);
        CopyWhole(content, *copy);
        file = copy.get();
    }
    constexpr int tries = 10000;
    for (int n = 1; n <= tries; ++n) {
        const std::string target = folder_ + (n == 1 ? *name : portal::NumberedName(*name, n, codePage_));
        if (file->KeepAs(target))
            return target;
    }
    throw std::runtime_error("No free name for " + *name);
}

std::string DownloadsFolder()
{
    PWSTR path = nullptr;
    std::wstring wide;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Downloads, 0, nullptr, &path)))
        wide = path;
    ::CoTaskMemFree(path);
    if (wide.empty())
        throw std::runtime_error("Cannot find the Downloads folder");
    // A folder named with a lookalike in its place would be another one.
    const std::optional<std::string> folder = winui::NarrowPath(wide);
    if (!folder)
        throw std::runtime_error("The Downloads folder's path does not fit the ANSI code page");
    return folder->back() == '\\' ? *folder : *folder + '\\';
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
    if (folder.empty())
        return false;
    try {
        TFileStream::Temporary(folder);  // created and removed again
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

}  // namespace tessaly
