#include "CodePage.h"

namespace larkspan {

std::optional<std::string> NarrowExactly(std::u16string_view text, const CodePage& codePage)
{
    std::string narrow;
    narrow.reserve(text.size());
    bool exact = true;
    ForEachCodePoint(text, [&](char32_t codePoint) {
        if (!exact)
            return;
        const std::optional<std::string> bytes = IsSurrogate(codePoint) ? std::nullopt : codePage.Encode(codePoint);
        if (bytes)
            narrow += *bytes;
        else
            exact = false;
    });
    if (!exact)
        return std::nullopt;
    return narrow;
}

std::string NarrowReplacing(std::u16string_view text, const CodePage& codePage)
{
    std::string narrow;
    ForEachCodePoint(text, [&](char32_t codePoint) {
        const std::optional<std::string> bytes = IsSurrogate(codePoint) ? std::nullopt : codePage.Encode(codePoint);
        narrow += bytes ? *bytes : "_";
    });
    return narrow;
}

std::optional<std::u16string> Widen(std::string_view text, const CodePage& codePage)
{
    std::u16string wide;
    wide.reserve(text.size());
    Characters characters(text, codePage);
    for (std::string_view character = characters.Next(); !character.empty(); character = characters.Next()) {
        const std::optional<char32_t> codePoint = codePage.Decode(character);
        if (!codePoint || IsSurrogate(*codePoint) || *codePoint > 0x10FFFF)
            return std::nullopt;
        if (*codePoint >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((*codePoint - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((*codePoint - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(*codePoint);
        }
    }
    return wide;
}

}  // namespace larkspan
