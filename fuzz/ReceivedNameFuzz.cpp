// Fuzz target for the receiver's name rules: whatever name a peer announces,
// what is kept is one plain file name that the receive folder can take, its
// shown form holds no control character, and its numbered forms keep the
// length limit.
#include "core/ReceivedNames.h"

#include "FuzzTarget.h"

#include <cstdlib>
#include <string>
#include <string_view>

int FuzzReceivedName(const std::uint8_t* data, std::size_t size)
{
    namespace portal = larkspan::portal;
    const std::string_view received(reinterpret_cast<const char*>(data), size);
    for (char c : portal::PrintableName(received))
        if (static_cast<unsigned char>(c) < 32)
            std::abort();
    const auto name = portal::SafeReceivedName(received);
    if (!name)
        return 0;
    if (name->empty() || name->size() > portal::maxReceivedNameLength ||
        name->find_first_of("\\/:<>\"|?*") != std::string::npos || *name == "." || *name == ".." ||
        name->back() == '.' || name->back() == ' ' || !received.ends_with(*name))
        std::abort();
    for (char c : *name)
        if (static_cast<unsigned char>(c) < 32)
            std::abort();
    // Each number gives a name of its own (a name that already ends in the
    // same number may come back as itself, which only costs a try).
    std::string previous;
    for (int n : {2, 10, 99999}) {
        const std::string numbered = portal::NumberedName(*name, n);
        if (numbered.size() > portal::maxReceivedNameLength || numbered == previous ||
            numbered.find(" (" + std::to_string(n) + ")") == std::string::npos)
            std::abort();
        previous = numbered;
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzReceivedName)
