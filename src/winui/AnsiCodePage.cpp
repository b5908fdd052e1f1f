#include "AnsiCodePage.h"

namespace winui {

namespace {

// UTF-16 units of one code point; the count.
int ToUnits(char32_t codePoint, wchar_t (&units)[2])
{
    if (codePoint < 0x10000) {
        units[0] = static_cast<wchar_t>(codePoint);
        return 1;
    }
    units[0] = static_cast<wchar_t>(0xD800 + ((codePoint - 0x10000) >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    return 2;
}

// The bytes that begin a UTF-8 character of this many bytes.
std::size_t Utf8Length(unsigned char first)
{
    if (first >= 0xF0 && first < 0xF8)
        return 4;
    if (first >= 0xE0)
        return first < 0xF0 ? 3 : 1;
    if (first >= 0xC0)
        return 2;
    return 1;
}

}  // namespace

AnsiCodePage::AnsiCodePage() : AnsiCodePage(::GetACP()) {}

AnsiCodePage::AnsiCodePage(UINT codePage) : codePage_(codePage)
{
    // Lead-byte ranges come in pairs ending with two zero bytes.
    CPINFO info{};
    if (codePage_ != CP_UTF8 && ::GetCPInfo(codePage_, &info) && info.MaxCharSize == 2)
        for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2)
            for (unsigned byte = info.LeadByte[i]; byte <= info.LeadByte[i + 1]; ++byte)
                lead_[byte] = true;
}

std::size_t AnsiCodePage::CharacterLength(std::string_view text) const
{
    const auto first = static_cast<unsigned char>(text[0]);
    const std::size_t length = codePage_ == CP_UTF8 ? Utf8Length(first) : lead_[first] ? 2 : 1;
    return length <= text.size() ? length : 1;
}

std::optional<char32_t> AnsiCodePage::Decode(std::string_view character) const
{
    wchar_t units[2] = {};
    const int count = ::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, character.data(),
                                            static_cast<int>(character.size()), units, 2);
    if (count == 1)
        return static_cast<char32_t>(units[0]);
    if (count == 2 && units[0] >= 0xD800 && units[0] < 0xDC00 && units[1] >= 0xDC00 && units[1] < 0xE000)
        return static_cast<char32_t>(0x10000 + ((units[0] - 0xD800) << 10) + (units[1] - 0xDC00));
    return std::nullopt;
}

std::optional<std::string> AnsiCodePage::Encode(char32_t codePoint) const
{
    if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint < 0xE000))
        return std::nullopt;
    wchar_t units[2] = {};
    const int count = ToUnits(codePoint, units);
    // No best fit: a character the code page lacks must not become one
    // that merely looks like it ("ｒ" as "r" names another file). UTF-8
    // takes neither that flag nor the default-character report.
    const bool utf8 = codePage_ == CP_UTF8;
    BOOL usedDefault = FALSE;
    char bytes[8] = {};
    const int length = ::WideCharToMultiByte(codePage_, utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS, units,
                                             count, bytes, sizeof bytes, nullptr, utf8 ? nullptr : &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    // What comes back must be the same character.
    wchar_t back[2] = {};
    if (::MultiByteToWideChar(codePage_, MB_ERR_INVALID_CHARS, bytes, length, back, 2) != count || back[0] != units[0] ||
        (count == 2 && back[1] != units[1]))
        return std::nullopt;
    return std::string(bytes, static_cast<std::size_t>(length));
}

}  // namespace winui
