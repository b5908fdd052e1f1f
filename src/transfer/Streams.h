// Byte streams as the transfer components read and write them: in memory or
// in a file, with a size and a position.
#pragma once

#include "winui/Handles.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Gives the file `from` the name `to` without replacing a file there: false
// when that name is taken. A refusal because another program holds the file
// for a moment (a scanner, an indexer) is tried again before it counts;
// any other failure throws.
bool RenameWithoutReplacing(const std::string& from, const std::string& to);

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to `count` bytes at the position; returns how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes at the position, growing the stream as needed.
    virtual void Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;
    // The stream as the file it is, or nullptr.
    virtual class TFileStream* AsFile() noexcept { return nullptr; }
};

class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : bytes_(bytes.begin(), bytes.end()) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override { position_ = position; }
    std::string Bytes() const { return std::string(bytes_.begin(), bytes_.end()); }
    // Sets aside room for `bytes` in all, so that writing up to them never moves the content.
    void Reserve(std::size_t bytes) { bytes_.reserve(bytes); }

private:
    std::vector<char> bytes_;
    std::int64_t position_ = 0;
};

class TFileStream final : public TStream {
public:
    // OpenReadExclusive fails while any other handle holds the file open
    // (and for a folder, as OpenRead does).
    enum class Mode { OpenRead, OpenReadExclusive, Create };
    // Throws "Cannot open file <path>" or "Cannot create file <path>".
    TFileStream(const std::string& path, Mode mode);
    // The same by the path as the file system names it, for files whose
    // names the ANSI code page cannot hold.
    TFileStream(const std::wstring& path, Mode mode);
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    ~TFileStream() override;
    // A new hidden file, removed when the stream is freed: in the system's
    // temporary folder, or in `folder` (ending with its separator), where
    // KeepAs can give it a name of its own instead. Its name,
    // "~Tessaly-<unique>.tmp", is the program's own.
    static std::unique_ptr<TFileStream> Temporary(const std::string& folder = {});
    // Removes from `folder` the temporary files that a run killed or
    // crashed left behind: hidden, of the program's temporary name, and held
    // open by no process. Nothing else is touched.
    static void RemoveAbandonedTemporaries(const std::string& folder);
    // The folder of a temporary file made in a given folder; empty otherwise.
    const std::string& TemporaryFolder() const noexcept { return folder_; }
    TFileStream* AsFile() noexcept override { return this; }
    // Closes a temporary file made in a folder and gives it the name
    // `target` there, never replacing a file: false when that name is
    // taken (call again with another). The stream cannot be read after it.
    bool KeepAs(const std::string& target);
    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Size() const override;
    std::int64_t Position() const override;
    void SetPosition(std::int64_t position) override;

private:
    TFileStream(winui::FileHandle file, std::string path, std::string folder)
        : file_(std::move(file)), temporary_(true), path_(std::move(path)), folder_(std::move(folder))
    {
    }
    winui::FileHandle file_;
    bool temporary_ = false;
    std::string path_;    // a temporary file in a given folder, removed by name
    std::string folder_;  // that folder
};
