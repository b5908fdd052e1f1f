#include "LocalNetwork.h"

#include <windows.h>

namespace tessaly {

namespace {

std::wstring FromUtf8(const std::string& text)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string Convert(UINT codePage, DWORD flags, const std::wstring& text, const char* defaultChar)
{
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, defaultChar, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, narrow.data(), length, defaultChar, nullptr);
    return narrow;
}

}  // namespace

std::string ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &size))
        return {};
    return Convert(CP_UTF8, 0, std::wstring(name, size), nullptr);
}

std::vector<std::string> FoundLines(const std::vector<larkspan::discovery::Found>& found)
{
    std::vector<std::string> lines;
    for (const larkspan::discovery::Found& machine : found) {
        lines.push_back("Computer Name: " + Convert(CP_ACP, WC_NO_BEST_FIT_CHARS, FromUtf8(machine.instance), "_"));
        lines.push_back("Host Name and Connection Path: \\\\" + machine.address);
        lines.push_back("Network Provider: Tessaly on this network");
        lines.push_back("");
    }
    return lines;
}

}  // namespace tessaly
