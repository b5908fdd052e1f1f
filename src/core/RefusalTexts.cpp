#include "RefusalTexts.h"

#include <vector>

namespace larkspan::portal {

namespace {

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Where each character of `text` starts, in code units, and the end.
std::vector<std::size_t> CharacterStarts(std::u16string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        starts.push_back(i);
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            ++i;
    }
    starts.push_back(text.size());
    return starts;
}

constexpr std::u16string_view ellipsis = u"...";

}  // namespace

std::u16string ElideMiddle(std::u16string_view text, std::size_t maxCharacters)
{
    const std::vector<std::size_t> starts = CharacterStarts(text);
    const std::size_t characters = starts.size() - 1;
    if (characters <= maxCharacters)
        return std::u16string(text);
    if (maxCharacters <= ellipsis.size())
        return std::u16string(ellipsis.substr(0, maxCharacters));
    const std::size_t kept = maxCharacters - ellipsis.size();
    const std::size_t tail = kept / 2;
    const std::size_t head = kept - tail;
    std::u16string shown(text.substr(0, starts[head]));
    shown += ellipsis;
    shown += text.substr(starts[characters - tail]);
    return shown;
}

std::string RefusalText(std::string_view shownName)
{
    return "A received file was refused: its name \"" + std::string(shownName) + "\" cannot be used here.";
}

std::string FurtherRefusalsText(std::size_t count)
{
    if (count == 1)
        return "1 further file name was refused.";
    return std::to_string(count) + " further file names were refused.";
}

}  // namespace larkspan::portal
