#include "Streams.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

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

TFileStream::TFileStream(const std::string& path, Mode mode)
{
    const bool create = mode == Mode::Create;
    const DWORD share = mode == Mode::OpenRead ? FILE_SHARE_READ : 0;
    file_.Reset(::CreateFileA(path.c_str(), create ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ, share, nullptr,
                              create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_)
        throw std::runtime_error((create ? "Cannot create file " : "Cannot open file ") + path);
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

std::unique_ptr<TFileStream> TFileStream::Temporary(const std::string& folder)
{
    char temporaryFolder[MAX_PATH] = {};
    char path[MAX_PATH] = {};
    if (folder.empty())
        ::GetTempPathA(MAX_PATH, temporaryFolder);
    if (!::GetTempFileNameA(folder.empty() ? temporaryFolder : folder.c_str(), "lsp", 0, path))
        throw std::runtime_error("Cannot create a temporary file");
    // In the system's folder the system removes the file when the handle
    // closes; in a given folder the stream removes it unless it is kept,
    // and until then it is hidden there.
    const DWORD flags = folder.empty() ? FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE
                                       : FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN;
    winui::FileHandle file(::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, flags, nullptr));
    if (!file) {
        ::DeleteFileA(path);
        throw std::runtime_error(std::string("Cannot create file ") + path);
    }
    return std::unique_ptr<TFileStream>(new TFileStream(std::move(file), folder.empty() ? "" : path, folder));
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
