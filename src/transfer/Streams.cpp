#include "Streams.h"

#include "winui/LocaleText.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string_view>

std::size_t TMemoryStream::Read(void* buffer, std::size_t count)
{
    if (position_ >= Size())
        return 0;
    const std::size_t n = std::min(count, static_cast<std::size_t>(Size() - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

void TMemoryStream::Write(const void* buffer, std::size_t count)
{
    const std::size_t end = static_cast<std::size_t>(position_) + count;
    if (end > bytes_.size())
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
}

namespace {

// How each mode opens its file.
struct Opening {
    explicit Opening(TFileStream::Mode mode)
        : create(mode == TFileStream::Mode::Create),
          access(create ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ),
          share(mode == TFileStream::Mode::OpenRead ? FILE_SHARE_READ : 0),
          disposition(create ? CREATE_ALWAYS : OPEN_EXISTING)
    {
    }
    std::string Failure(const std::string& path) const
    {
        return (create ? "Cannot create file " : "Cannot open file ") + path;
    }
    bool create;
    DWORD access;
    DWORD share;
    DWORD disposition;
};

}  // namespace

TFileStream::TFileStream(const std::string& path, Mode mode)
{
    const Opening how(mode);
    file_.Reset(::CreateFileA(path.c_str(), how.access, how.share, nullptr, how.disposition, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file_)
        throw std::runtime_error(how.Failure(path));
}

TFileStream::TFileStream(const std::wstring& path, Mode mode)
{
    const Opening how(mode);
    file_.Reset(::CreateFileW(path.c_str(), how.access, how.share, nullptr, how.disposition, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
    if (!file_)
        throw std::runtime_error(how.Failure(winui::Narrow(path)));  // a text to show only
}

TFileStream::~TFileStream()
{
    // Emptying a large temporary file before its handle closes makes the
    // close several times faster than leaving the removal of its content
    // to the delete-on-close.
    if (temporary_ && file_) {
        SetPosition(0);
        ::SetEndOfFile(file_.Get());
    }
    file_.Reset();
    if (temporary_ && !path_.empty())
        ::DeleteFileA(path_.c_str());
}

namespace {

// The program's temporary files are "~Tessaly-<process>-<serial>.tmp": a
// name that no other program's files take, so that leftovers can be told
// from anything else in a folder.
constexpr std::string_view temporaryPrefix = "~Tessaly-";
constexpr std::string_view temporaryExtension = ".tmp";

std::string TemporaryName()
{
    static std::atomic<unsigned> serial{0};
    char unique[32];
    char* end = std::to_chars(unique, unique + sizeof unique, ::GetCurrentProcessId(), 16).ptr;
    *end++ = '-';
    end = std::to_chars(end, unique + sizeof unique, serial++, 16).ptr;
    return std::string(temporaryPrefix) + std::string(unique, end) + std::string(temporaryExtension);
}

bool IsTemporaryName(std::string_view name)
{
    return name.size() > temporaryPrefix.size() + temporaryExtension.size() && name.starts_with(temporaryPrefix) &&
           name.ends_with(temporaryExtension);
}

}  // namespace

std::unique_ptr<TFileStream> TFileStream::Temporary(const std::string& folder)
{
    char systemFolder[MAX_PATH] = {};
    if (folder.empty() && !::GetTempPathA(MAX_PATH, systemFolder))
        throw std::runtime_error("Cannot find the temporary folder");
    const std::string where = folder.empty() ? systemFolder : folder;
    // In the system's folder the system removes the file when the handle
    // closes; in a given folder the stream removes it unless it is kept.
    const DWORD flags =
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | (folder.empty() ? FILE_FLAG_DELETE_ON_CLOSE : 0);
    // A name that a leftover of an earlier process of the same number
    // holds moves on to the next.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = where + TemporaryName();
        winui::FileHandle file(
            ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, flags, nullptr));
        if (file)
            return std::unique_ptr<TFileStream>(
                new TFileStream(std::move(file), folder.empty() ? std::string() : std::move(path), folder));
        if (::GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    throw std::runtime_error("Cannot create a temporary file in " + where);
}

void TFileStream::RemoveAbandonedTemporaries(const std::string& folder)
{
    // Names first, removals after: a search over a folder that changes
    // under it may skip entries.
    std::vector<std::string> abandoned;
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + std::string(temporaryPrefix) + "*" + std::string(temporaryExtension);
    if (winui::FindHandle search(::FindFirstFileA(pattern.c_str(), &found)); search) {
        do {
            // A link of that name is not ours: removing through it would
            // remove what it points to.
            const DWORD attributes = found.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_HIDDEN) &&
                !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
                IsTemporaryName(found.cFileName))
                abandoned.push_back(folder + found.cFileName);
        } while (::FindNextFileA(search.Get(), &found));
    }
    // Opened without sharing, a file that any process holds (a running
    // transfer's) is refused; one that nobody holds goes as this handle closes.
    for (const std::string& path : abandoned) {
        const winui::FileHandle claimed(
            ::CreateFileA(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    }
}

bool TFileStream::KeepAs(const std::string& target)
{
    if (!temporary_ || path_.empty())
        throw std::logic_error("Only a temporary file made in a folder can be kept");
    file_.Reset();
    if (!RenameWithoutReplacing(path_, target))
        return false;
    temporary_ = false;
    ::SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

bool RenameWithoutReplacing(const std::string& from, const std::string& to)
{
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = ::GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return false;
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) || attempt == 20)
            throw std::runtime_error("Cannot name the file " + to);
        ::Sleep(50);
    }
}

std::size_t TFileStream::Read(void* buffer, std::size_t count)
{
    DWORD read = 0;
    if (!::ReadFile(file_.Get(), buffer, static_cast<DWORD>(count), &read, nullptr))
        throw std::runtime_error("Stream read error");
    return read;
}

void TFileStream::Write(const void* buffer, std::size_t count)
{
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), buffer, static_cast<DWORD>(count), &written, nullptr) || written != count)
        throw std::runtime_error("Stream write error");
}

std::int64_t TFileStream::Size() const
{
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file_.Get(), &size);
    return size.QuadPart;
}

std::int64_t TFileStream::Position() const
{
    LARGE_INTEGER zero{}, position{};
    ::SetFilePointerEx(file_.Get(), zero, &position, FILE_CURRENT);
    return position.QuadPart;
}

void TFileStream::SetPosition(std::int64_t position)
{
    LARGE_INTEGER to{};
    to.QuadPart = position;
    ::SetFilePointerEx(file_.Get(), to, nullptr, FILE_BEGIN);
}
