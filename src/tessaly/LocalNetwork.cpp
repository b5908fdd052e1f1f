#include "LocalNetwork.h"

#include "core/CodePage.h"
#include "winui/AnsiCodePage.h"

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

std::string ToUtf8(const std::wstring& text)
{
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::string ComputerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!::GetComputerNameW(name, &size))
        return {};
    return ToUtf8(std::wstring(name, size));
}

std::vector<std::string> FoundLines(const std::vector<larkspan::discovery::Found>& found)
{
    const winui::AnsiCodePage ansi;
    std::vector<std::string> lines;
    for (const larkspan::discovery::Found& machine : found) {
        lines.push_back("Computer Name: " + larkspan::NarrowReplacing(winui::Utf16(FromUtf8(machine.instance)), ansi));
        lines.push_back("Host Name and Connection Path: \\\\" + machine.address);
        lines.push_back("Network Provider: Tessaly on this network");
        lines.push_back("");
    }
    return lines;
}

}  // namespace tessaly
