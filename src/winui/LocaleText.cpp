#include "LocaleText.h"

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

}  // namespace winui
