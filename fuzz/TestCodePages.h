// Code pages from tables, for the name rules where no platform answers:
// Windows-1252 whole, and Windows-932 (Shift JIS) with its whole lead-byte
// ranges, its single-byte characters and a handful of its double-byte ones,
// among them characters whose second byte is "\" or "|". Used by the core
// tests and the fuzz targets alike.
#pragma once

#include "core/CodePage.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace larkspan::test_code_pages {

class TableCodePage final : public CodePage {
public:
    static constexpr char32_t none = 0xFFFFFFFF;

    std::size_t CharacterLength(std::string_view text) const override
    {
        return lead[static_cast<unsigned char>(text[0])] && text.size() >= 2 ? 2 : 1;
    }
    std::optional<char32_t> Decode(std::string_view character) const override
    {
        if (character.size() == 1 && !lead[static_cast<unsigned char>(character[0])]) {
            const char32_t codePoint = single[static_cast<unsigned char>(character[0])];
            return codePoint == none ? std::nullopt : std::optional<char32_t>(codePoint);
        }
        for (const auto& [bytes, codePoint] : doubles)
            if (bytes == character)
                return codePoint;
        return std::nullopt;
    }
    std::optional<std::string> Encode(char32_t codePoint) const override
    {
        for (std::size_t byte = 0; byte < single.size(); ++byte)
            if (single[byte] == codePoint && !lead[byte])
                return std::string(1, static_cast<char>(byte));
        for (const auto& [bytes, mapped] : doubles)
            if (mapped == codePoint)
                return bytes;
        return std::nullopt;
    }

    std::array<bool, 256> lead{};
    std::array<char32_t, 256> single{};
    std::vector<std::pair<std::string, char32_t>> doubles;
};

// Western European: one byte per character; the five bytes that the
// standard leaves open stand for the C1 controls of their value, as the
// platform's table has it.
inline const CodePage& Windows1252()
{
    static const TableCodePage table = [] {
        TableCodePage t;
        for (std::size_t byte = 0; byte < 256; ++byte)
            t.single[byte] = static_cast<char32_t>(byte);
        constexpr std::array<char32_t, 32> high{
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        for (std::size_t i = 0; i < high.size(); ++i)
            t.single[0x80 + i] = high[i];
        return t;
    }();
    return table;
}

// Japanese: lead bytes 0x81 to 0x9F and 0xE0 to 0xFC; ASCII and the
// half-width katakana (0xA1 to 0xDF, where 0xB2, 0xB3 and 0xB9 are "ｲ", "ｳ"
// and "ｹ", not superscripts) as single bytes.
inline const CodePage& Windows932()
{
    static const TableCodePage table = [] {
        TableCodePage t;
        t.single.fill(TableCodePage::none);
        for (std::size_t byte = 0; byte < 0x80; ++byte)
            t.single[byte] = static_cast<char32_t>(byte);
        for (std::size_t byte = 0xA1; byte <= 0xDF; ++byte)
            t.single[byte] = static_cast<char32_t>(0xFF61 + (byte - 0xA1));
        t.single[0x80] = 0x0080;
        t.single[0xA0] = 0xF8F0;
        t.single[0xFD] = 0xF8F1;
        t.single[0xFE] = 0xF8F2;
        t.single[0xFF] = 0xF8F3;
        for (std::size_t byte = 0x81; byte <= 0x9F; ++byte)
            t.lead[byte] = true;
        for (std::size_t byte = 0xE0; byte <= 0xFC; ++byte)
            t.lead[byte] = true;
        t.doubles = {
            {"\x95\x5C", U'\u8868'},  // 表
            {"\x83\x5C", U'\u30BD'},  // ソ
            {"\x83\x7C", U'\u30DD'},  // ポ
            {"\x94\x5C", U'\u80FD'},  // 能
            {"\x82\x92", U'\uFF52'},  // ｒ (full width)
            {"\x84\x4F", U'\u041E'},  // О
            {"\x84\x84", U'\u0442'},  // т
            {"\x84\x89", U'\u0447'},  // ч
            {"\x84\x76", U'\u0451'},  // ё
        };
        return t;
    }();
    return table;
}

}  // namespace larkspan::test_code_pages
