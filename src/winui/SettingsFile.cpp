#include "SettingsFile.h"

#include <windows.h>

#include <charconv>
#include <stdexcept>
#include <vector>

namespace winui {

std::string ProgramFolder()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw std::runtime_error("Cannot find the program folder");
        if (length < buffer.size()) {
            std::string path(buffer.data(), length);
            return path.substr(0, path.find_last_of("\\/:") + 1);
        }
        buffer.resize(buffer.size() * 2);
    }
}

SettingsFile SettingsFile::Larkspan()
{
    return SettingsFile(ProgramFolder() + "Larkspan.ini");
}

std::string SettingsFile::ReadString(const std::string& section, const std::string& key,
                                     const std::string& fallback) const
{
    std::vector<char> buffer(2048);
    for (;;) {
        const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), fallback.c_str(), buffer.data(),
                                                        static_cast<DWORD>(buffer.size()), path_.c_str());
        if (length + 1 < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 4);  // the value filled the buffer: it may be longer
    }
}

int SettingsFile::ReadInteger(const std::string& section, const std::string& key, int fallback) const
{
    const std::string text = ReadString(section, key, "");
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    // Accept a leading blank as the profile functions leave them; anything
    // that is not a whole decimal number takes the default.
    while (first != last && *first == ' ')
        ++first;
    if (first != last && *first == '+')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return fallback;
    return value;
}

bool SettingsFile::ReadBool(const std::string& section, const std::string& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::WriteString(const std::string& section, const std::string& key, const std::string& value) const
{
    if (!::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path_.c_str()))
        throw std::runtime_error("Unable to write to " + path_);
}

void SettingsFile::WriteInteger(const std::string& section, const std::string& key, int value) const
{
    WriteString(section, key, std::to_string(value));
}

void SettingsFile::WriteBool(const std::string& section, const std::string& key, bool value) const
{
    WriteString(section, key, value ? "1" : "0");
}

POINT SettingsFile::ReadPosition(const std::string& section, POINT fallback) const
{
    return {ReadInteger(section, "Left Side", fallback.x), ReadInteger(section, "Top Side", fallback.y)};
}

void SettingsFile::WritePosition(const std::string& section, POINT position) const
{
    WriteInteger(section, "Left Side", position.x);
    WriteInteger(section, "Top Side", position.y);
}

}  // namespace winui
