#include "ReceivedNames.h"

#include <algorithm>
#include <array>

namespace larkspan::portal {

namespace {

// What follows the last character of the path that is one of the single
// bytes in `separators`.
std::string_view AfterLast(std::string_view path, std::string_view separators, const CodePage& codePage)
{
    std::size_t cut = 0;
    Characters characters(path, codePage);
    for (std::string_view character = characters.Next(); !character.empty(); character = characters.Next())
        if (character.size() == 1 && separators.find(character[0]) != std::string_view::npos)
            cut = characters.Offset();
    return path.substr(cut);
}

// The UTF-16 units of one character, as the file system counts it.
std::size_t Units(std::string_view character, const CodePage& codePage)
{
    const std::optional<char32_t> codePoint = codePage.Decode(character);
    return codePoint && *codePoint >= 0x10000 ? 2 : 1;
}

char16_t Upper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Upper(x) == Upper(y); });
}

// The platform opens a device for these names, whatever extension follows
// and with spaces before it ("nul.txt", "CON .log"). It takes the digits
// 0 to 9 and the superscripts 1 to 3 after COM and LPT; those are decided
// on as characters, since their bytes are other characters in other code
// pages.
bool NamesADevice(std::u16string_view name)
{
    std::u16string_view base = name.substr(0, name.find(u'.'));
    while (!base.empty() && base.back() == u' ')
        base.remove_suffix(1);
    static constexpr std::array<std::u16string_view, 4> plain{u"CON", u"PRN", u"AUX", u"NUL"};
    for (std::u16string_view device : plain)
        if (EqualsIgnoringCase(base, device))
            return true;
    if (base.size() != 4)
        return false;
    const char16_t number = base[3];
    const bool digit = (number >= u'0' && number <= u'9') || number == u'\u00B9' || number == u'\u00B2' ||
                       number == u'\u00B3';
    return digit && (EqualsIgnoringCase(base.substr(0, 3), u"COM") || EqualsIgnoringCase(base.substr(0, 3), u"LPT"));
}

bool IsForbidden(char16_t c)
{
    return c < 32 || std::u16string_view(u"<>\"|?*").find(c) != std::u16string_view::npos;
}

}  // namespace

std::string BareFileName(std::string_view path, const CodePage& codePage)
{
    return std::string(AfterLast(path, "\\:", codePage));
}

std::string AnnouncedName(std::u16string_view path, const CodePage& codePage)
{
    const std::size_t cut = path.find_last_of(u"\\:");
    return NarrowReplacing(cut == std::u16string_view::npos ? path : path.substr(cut + 1), codePage);
}

std::optional<std::string> SafeReceivedName(std::string_view received, const CodePage& codePage)
{
    const std::string_view name = AfterLast(received, "\\/:", codePage);
    if (name.empty() || name == "." || name == "..")
        return std::nullopt;
    // The rest is decided on the characters the file system will see.
    const std::optional<std::u16string> wide = Widen(name, codePage);
    if (!wide || wide->size() > maxReceivedNameLength)
        return std::nullopt;
    if (std::any_of(wide->begin(), wide->end(), IsForbidden))
        return std::nullopt;
    if (wide->back() == u'.' || wide->back() == u' ' || NamesADevice(*wide))
        return std::nullopt;
    return std::string(name);
}

std::string PrintableName(std::string_view name)
{
    // No code page has a trail byte below 32: bytes are enough here.
    std::string shown(name);
    std::replace_if(shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, '?');
    return shown;
}

std::size_t NameLength(std::string_view name, const CodePage& codePage)
{
    std::size_t units = 0;
    Characters characters(name, codePage);
    for (std::string_view character = characters.Next(); !character.empty(); character = characters.Next())
        units += Units(character, codePage);
    return units;
}

std::string NumberedName(std::string_view name, int n, const CodePage& codePage)
{
    const std::string number = " (" + std::to_string(n) + ")";
    // A leading dot starts no extension (".profile" is all stem), nor does a
    // dot so early that the number would not fit before what follows it.
    std::size_t dot = std::string_view::npos;
    {
        Characters characters(name, codePage);
        for (std::string_view character = characters.Next(); !character.empty(); character = characters.Next())
            if (IsByte(character, '.'))
                dot = characters.Offset() - 1;
    }
    const bool extended = dot != std::string_view::npos && dot != 0 &&
                          number.size() + NameLength(name.substr(dot), codePage) < maxReceivedNameLength;
    const std::size_t cut = extended ? dot : name.size();
    const std::string_view extension = name.substr(cut);
    const std::size_t room =
        maxReceivedNameLength - std::min(maxReceivedNameLength, number.size() + NameLength(extension, codePage));
    // As many whole characters of the stem as the room takes.
    std::string_view stem = name.substr(0, cut);
    std::size_t kept = 0;
    std::size_t units = 0;
    Characters characters(stem, codePage);
    for (std::string_view character = characters.Next(); !character.empty(); character = characters.Next()) {
        units += Units(character, codePage);
        if (units > room)
            break;
        kept = characters.Offset();
    }
    return std::string(stem.substr(0, kept)) + number + std::string(extension);
}

}  // namespace larkspan::portal
