// The names of files that travel through the portal: the bare name a sender
// announces, and what the receiver makes of a name that a peer announced.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace larkspan::portal {

// What the portal's senders put into a transfer: the path's part after its
// last "\" or ":".
std::string BareFileName(std::string_view path);

// A received name as a file name that is safe to create in the receive
// folder: its part after the last "\", "/" or ":". Nothing when that part
// is empty, "." or "..", longer than 255 characters, holds a character below
// 32 or one of < > " | ? *, ends in a dot or a space, or names a device
// (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, in any case, with or
// without an extension).
std::optional<std::string> SafeReceivedName(std::string_view received);

// A name as a message may show it: every character below 32 as "?".
std::string PrintableName(std::string_view name);

// The n-th name to try when `name` is taken (n from 2): "report (2).txt".
// The number goes before the last extension; the stem is shortened where
// the result would pass 255 characters.
std::string NumberedName(std::string_view name, int n);

constexpr std::size_t maxReceivedNameLength = 255;

}  // namespace larkspan::portal
