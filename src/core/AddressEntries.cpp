#include "AddressEntries.h"

namespace larkspan::addresses {

std::string ComposeEntry(std::string_view callName, std::string_view host)
{
    std::string entry;
    entry.reserve(callName.size() + host.size() + 3);
    return entry.append(callName).append(" <").append(host).append(">");
}

std::string SendToHost(std::string_view entry)
{
    const std::size_t open = entry.find('<');
    if (open == std::string_view::npos)
        return std::string(entry);
    // "x <" has nothing after its "<" that is not also its last character.
    if (entry.size() < open + 2)
        return {};
    return std::string(entry.substr(open + 1, entry.size() - open - 2));
}

std::optional<std::string_view> ListedHost(std::string_view entry)
{
    const std::size_t open = entry.find('<');
    const std::size_t close = entry.find('>');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return std::nullopt;
    return entry.substr(open + 1, close - open - 1);
}

}  // namespace larkspan::addresses
