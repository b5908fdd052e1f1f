// Texts in the user's regional settings.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace winui {

// The user's short date, a blank and the long time; the time is left out
// when the value is exactly midnight.
std::string DateTimeText(const SYSTEMTIME& time);

// The user's decimal separator (its first character).
char DecimalSeparator();

// Text between the program's ANSI code page and UTF-16. Narrow is for
// texts shown: a character the code page lacks becomes one that looks alike
// or "?".
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

// A path in the ANSI code page, each character by its exact bytes; nothing
// when the code page cannot hold one of them. A path is never narrowed
// otherwise: a lookalike character ("ｒ" for "r") would name another file.
std::optional<std::string> NarrowPath(const std::wstring& path);

}  // namespace winui
