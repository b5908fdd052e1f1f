#include "LocaleText.h"

#include "AnsiCodePage.h"

namespace winui {

namespace {

template <typename Formatter>
std::string Format(Formatter formatter)
{
    char buffer[128] = {};
    const int length = formatter(buffer, static_cast<int>(sizeof buffer));
    return length > 0 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
}

}  // namespace

std::string DateTimeText(const SYSTEMTIME& time)
{
    std::string text = Format([&](char* buffer, int size) {
        return ::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, buffer, size);
    });
    const bool midnight = time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0 && time.wMilliseconds == 0;
    if (!midnight)
        text += ' ' + Format([&](char* buffer, int size) {
                    return ::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, buffer, size);
                });
    return text;
}

char DecimalSeparator()
{
    char buffer[8] = {};
    if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1)
        return buffer[0];
    return '.';
}

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                                             static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::optional<std::string> NarrowPath(const std::wstring& path)
{
    return larkspan::NarrowExactly(Utf16(path), AnsiCodePage());
}

}  // namespace winui
