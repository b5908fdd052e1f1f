// The process's ANSI code page, the one the "A" functions and the portal's
// names use, as the portable core describes code pages.
#pragma once

#include "core/CodePage.h"

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

namespace winui {

class AnsiCodePage final : public larkspan::CodePage {
public:
    // The active code page (GetACP).
    AnsiCodePage();
    explicit AnsiCodePage(UINT codePage);

    UINT Number() const noexcept { return codePage_; }
    std::size_t CharacterLength(std::string_view text) const override;
    std::optional<char32_t> Decode(std::string_view character) const override;
    std::optional<std::string> Encode(char32_t codePoint) const override;

private:
    UINT codePage_;
    std::array<bool, 256> lead_{};
};

// A wide text as the core's UTF-16 (the same units on this platform).
inline std::u16string_view Utf16(const std::wstring& text)
{
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

}  // namespace winui
