// The names of files that travel through the portal: the name a sender
// announces, and what the receiver makes of a name that a peer announced.
// Names travel in the ANSI code page, byte for byte; the rules walk them by
// character of that code page, since in a double-byte one the second byte
// of a character may have the value of "\" or "|".
#pragma once

#include "CodePage.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace larkspan::portal {

// A path's part after its last "\" or ":".
std::string BareFileName(std::string_view path, const CodePage& codePage);

// What a sender announces for the file at this path: its part after the
// last "\" or ":" in the code page, each character that the code page
// cannot hold exactly as "_" (one for a surrogate pair too), so the file
// is still sent, under a name that keeps its length and extension.
std::string AnnouncedName(std::u16string_view path, const CodePage& codePage);

// A received name as a file name that is safe to create in the receive
// folder: its part after the last "\", "/" or ":". Nothing when that part
// is empty, "." or "..", holds bytes that are no character of the code
// page, is longer than 255 characters, holds a character below 32 or one
// of < > " | ? *, ends in a dot or a space, or names a device (CON, PRN,
// AUX, NUL, COM and LPT followed by a digit 0 to 9 or a superscript 1, 2 or
// 3, in any case, with or without an extension).
std::optional<std::string> SafeReceivedName(std::string_view received, const CodePage& codePage);

// A name as a message may show it: every character below 32 as "?".
std::string PrintableName(std::string_view name);

// The n-th name to try when `name` is taken (n from 2): "report (2).txt".
// The number goes before the last extension; the stem is shortened, by
// whole characters, where the result would pass 255 characters.
std::string NumberedName(std::string_view name, int n, const CodePage& codePage);

// A name's length as the file system counts it: in UTF-16 units.
std::size_t NameLength(std::string_view name, const CodePage& codePage);

constexpr std::size_t maxReceivedNameLength = 255;

}  // namespace larkspan::portal
