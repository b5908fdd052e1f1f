// Fuzz target for the receiver's header parsing: arbitrary bytes, fed in
// pieces whose sizes come from the input itself. Whatever arrives, the
// parser must not read past what it was given, and a header it accepts must
// be exactly the bytes it took.
#include "core/StreamHeader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FuzzTarget.h"

int FuzzStreamHeader(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 16;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    larkspan::transfer::HeaderParser parser;
    std::size_t taken = 0;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        const std::string_view chunk = bytes.substr(at, piece);
        const std::size_t used = parser.Feed(chunk);
        if (used > chunk.size())
            std::abort();
        taken += used;
        if (used < chunk.size())
            break;  // the header ended (or failed) inside this piece
    }
    if (parser.Complete()) {
        const std::string& name = parser.Name();
        if (taken != 4 + name.size() + 10 || bytes.substr(4, name.size()) != name)
            std::abort();
        // The sender never puts a NUL into a name, but the receiver passes
        // on whatever bytes arrive; other names must round-trip through the
        // encoder (the size field may carry leading zeros it would not write).
        if (name.find('\0') == std::string::npos) {
            const auto again = larkspan::transfer::EncodeHeader(name, parser.ContentSize());
            if (!again || again->substr(0, 4 + name.size()) != bytes.substr(0, 4 + name.size()))
                std::abort();
        }
    }
    return 0;
}

LARKSPAN_FUZZ_TARGET(FuzzStreamHeader)
