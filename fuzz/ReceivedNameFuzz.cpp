// Fuzz target for the name rules, in Windows-1252 or in Shift JIS (the
// first byte chooses): whatever name a peer announces, what is kept is one
// plain file name of whole characters that the receive folder can take, its
// shown form holds no control character, and its numbered forms keep the
// length limit; whatever a sender's path holds, the name it announces is one
// character of the code page for each of its own.
#include "core/ReceivedNames.h"

#include "FuzzTarget.h"
#include "TestCodePages.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

namespace portal = larkspan::portal;

void CheckReceived(std::string_view received, const larkspan::CodePage& codePage)
{
    for (char c : portal::PrintableName(received))
        if (static_cast<unsigned char>(c) < 32)
            std::abort();
    const auto name = portal::SafeReceivedName(received, codePage);
    if (!name)
        return;
    const auto wide = larkspan::Widen(*name, codePage);
    if (!wide || wide->empty() || wide->size() > portal::maxReceivedNameLength ||
        wide->find_first_of(u"\\/:<>\"|?*") != std::u16string::npos || *wide == u"." || *wide == u".." ||
        wide->back() == u'.' || wide->back() == u' ' || !received.ends_with(*name))
        std::abort();
    for (char16_t c : *wide)
        if (c < 32)
            std::abort();
    // Kept from a character boundary of what came, never from a second byte.
    larkspan::Characters walk(received, codePage);
    while (walk.Offset() < received.size() - name->size())
        walk.Next();
    if (walk.Offset() != received.size() - name->size())
        std::abort();
    // Each number gives a name of its own (a name that already ends in the
    // same number may come back as itself, which only costs a try), of
    // whole characters.
    std::string previous;
    for (int n : {2, 10, 99999}) {
        const std::string numbered = portal::NumberedName(*name, n, codePage);
        if (portal::NameLength(numbered, codePage) > portal::maxReceivedNameLength || numbered == previous ||
            numbered.find(" (" + std::to_string(n) + ")") == std::string::npos ||
            !larkspan::Widen(numbered, codePage))
            std::abort();
        previous = numbered;
    }
}

void CheckAnnounced(std::string_view bytes, const larkspan::CodePage& codePage)
{
    std::u16string path;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        path += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      static_cast<unsigned char>(bytes[i + 1]) << 8);
    const std::string announced = portal::AnnouncedName(path, codePage);
    const std::size_t cut = path.find_last_of(u"\\:");
    const std::u16string_view bare = cut == std::u16string::npos ? std::u16string_view(path)
                                                                 : std::u16string_view(path).substr(cut + 1);
    std::size_t characters = 0;
    larkspan::ForEachCodePoint(bare, [&](char32_t) { ++characters; });
    std::size_t announcedCharacters = 0;
    larkspan::Characters walk(announced, codePage);
    while (!walk.Next().empty())
        ++announcedCharacters;
    const auto back = larkspan::Widen(announced, codePage);
    if (!back || announcedCharacters != characters || back->find_first_of(u"\\:") != std::u16string::npos)
        std::abort();
    // A name the code page holds is announced as it is.
    if (const auto exact = larkspan::NarrowExactly(bare, codePage); exact && *exact != announced)
        std::abort();
}

}  // namespace

int FuzzReceivedName(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    namespace pages = larkspan::test_code_pages;
    const larkspan::CodePage& codePage = data[0] & 1 ? pages::Windows932() : pages::Windows1252();
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    CheckReceived(rest, codePage);
    CheckAnnounced(rest, codePage);
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzReceivedName)
