// An INI file read and written one key at a time through the profile
// functions. A missing file, section or key yields the default; the file is
// created by the first write.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

class SettingsFile {
public:
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    // "Larkspan.ini" in the folder of the running executable, shared by both programs.
    static SettingsFile Larkspan();

    const std::string& Path() const noexcept { return path_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& fallback) const;
    int ReadInteger(const std::string& section, const std::string& key, int fallback) const;
    // True when the stored integer is not 0.
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    void WriteInteger(const std::string& section, const std::string& key, int value) const;
    // Stored as "1" or "0".
    void WriteBool(const std::string& section, const std::string& key, bool value) const;

    // A window position kept as "Left Side" and "Top Side" of a section.
    POINT ReadPosition(const std::string& section, POINT fallback) const;
    void WritePosition(const std::string& section, POINT position) const;

private:
    std::string path_;
};

// The folder of the running executable, with a trailing backslash.
std::string ProgramFolder();

}  // namespace winui
