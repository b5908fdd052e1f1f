// Texts in the user's regional settings.
#pragma once

#include <windows.h>

#include <string>

namespace winui {

// The user's short date, a blank and the long time; the time is left out
// when the value is exactly midnight.
std::string DateTimeText(const SYSTEMTIME& time);

// The user's decimal separator (its first character).
char DecimalSeparator();

// Text between the program's ANSI code page and UTF-16.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace winui
