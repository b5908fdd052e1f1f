// An ANSI code page as the name rules need it: where its characters begin
// and end, what each one is, and which bytes stand exactly for a character.
// The program's active code page implements it on the platform side; the
// rules themselves never ask the platform.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace larkspan {

class CodePage {
public:
    virtual ~CodePage() = default;

    // The bytes of the character that begins `text` (not empty): 1, or
    // more for a lead byte followed by its trail bytes; never past the end
    // (a lead byte at the end is a character of its own, which Decode refuses).
    virtual std::size_t CharacterLength(std::string_view text) const = 0;
    // The code point of one character, as CharacterLength cut it; nothing
    // when these bytes are no character of the code page.
    virtual std::optional<char32_t> Decode(std::string_view character) const = 0;
    // The bytes that stand for this code point and decode back to it;
    // nothing when the code page holds no such character (a character that
    // only looks alike is no such character).
    virtual std::optional<std::string> Encode(char32_t codePoint) const = 0;
};

// The characters of a text, one after the other, as byte ranges of it.
class Characters {
public:
    Characters(std::string_view text, const CodePage& codePage) : text_(text), codePage_(codePage) {}
    // The next character, or an empty view at the end.
    std::string_view Next()
    {
        if (at_ >= text_.size())
            return {};
        const std::size_t length = codePage_.CharacterLength(text_.substr(at_));
        const std::string_view character = text_.substr(at_, length);
        at_ += character.size();
        return character;
    }
    // Where the next character begins.
    std::size_t Offset() const noexcept { return at_; }

private:
    std::string_view text_;
    const CodePage& codePage_;
    std::size_t at_ = 0;
};

// Whether `character` is the single byte `c` (a trail byte with that value
// belongs to a character of its own and is not it).
inline bool IsByte(std::string_view character, char c)
{
    return character.size() == 1 && character[0] == c;
}

// The code points of a UTF-16 text in order; a lone surrogate stands for
// itself (it can be named but never converted).
template <typename Visit>
void ForEachCodePoint(std::u16string_view text, Visit visit)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            visit(static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00)));
            ++i;
        } else {
            visit(static_cast<char32_t>(unit));
        }
    }
}

inline bool IsSurrogate(char32_t codePoint)
{
    return codePoint >= 0xD800 && codePoint < 0xE000;
}

// A UTF-16 text in the code page, each character by its exact bytes;
// nothing when any character has none there. Paths are narrowed only so:
// a character mapped to a lookalike ("ｒ" to "r") would name another file.
std::optional<std::string> NarrowExactly(std::u16string_view text, const CodePage& codePage);

// A UTF-16 text in the code page, each character by its exact bytes and
// "_" for each character it does not hold: a name to show or announce,
// never a path to open.
std::string NarrowReplacing(std::u16string_view text, const CodePage& codePage);

// A text of the code page in UTF-16; nothing when it holds bytes that are
// no character of the code page.
std::optional<std::u16string> Widen(std::string_view text, const CodePage& codePage);

}  // namespace larkspan
