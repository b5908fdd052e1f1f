#include "ReceivedNames.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace larkspan::portal {

namespace {

std::string_view AfterLast(std::string_view path, std::string_view separators)
{
    const std::size_t cut = path.find_last_of(separators);
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

// The platform opens a device for these names, whatever extension follows
// and with spaces before it ("nul.txt", "CON .log").
bool NamesADevice(std::string_view name)
{
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    static constexpr std::array<std::string_view, 4> plain{"CON", "PRN", "AUX", "NUL"};
    for (std::string_view device : plain)
        if (EqualsIgnoringCase(base, device))
            return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
        return EqualsIgnoringCase(base.substr(0, 3), "COM") || EqualsIgnoringCase(base.substr(0, 3), "LPT");
    return false;
}

bool IsForbidden(char c)
{
    return static_cast<unsigned char>(c) < 32 || std::string_view("<>\"|?*").find(c) != std::string_view::npos;
}

}  // namespace

std::string BareFileName(std::string_view path)
{
    return std::string(AfterLast(path, "\\:"));
}

std::optional<std::string> SafeReceivedName(std::string_view received)
{
    const std::string_view name = AfterLast(received, "\\/:");
    if (name.empty() || name == "." || name == ".." || name.size() > maxReceivedNameLength)
        return std::nullopt;
    if (std::any_of(name.begin(), name.end(), IsForbidden))
        return std::nullopt;
    if (name.back() == '.' || name.back() == ' ' || NamesADevice(name))
        return std::nullopt;
    return std::string(name);
}

std::string PrintableName(std::string_view name)
{
    std::string shown(name);
    std::replace_if(shown.begin(), shown.end(), [](char c) { return static_cast<unsigned char>(c) < 32; }, '?');
    return shown;
}

std::string NumberedName(std::string_view name, int n)
{
    const std::string number = " (" + std::to_string(n) + ")";
    // A leading dot starts no extension (".profile" is all stem), nor does a
    // dot so early that the number would not fit before what follows it.
    const std::size_t dot = name.rfind('.');
    const bool extended = dot != std::string_view::npos && dot != 0 &&
                          number.size() + (name.size() - dot) < maxReceivedNameLength;
    const std::size_t cut = extended ? dot : name.size();
    std::string_view stem = name.substr(0, cut);
    const std::string_view extension = name.substr(cut);
    const std::size_t room = maxReceivedNameLength - std::min(maxReceivedNameLength, number.size() + extension.size());
    if (stem.size() > room)
        stem = stem.substr(0, room);
    return std::string(stem) + number + std::string(extension);
}

}  // namespace larkspan::portal
