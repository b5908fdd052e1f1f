// The entries of the address book: one line each, "call name <host>". The
// book's Send To and discovery's duplicate check read an entry each by a
// rule of its own; both are kept exactly, as hand-written lines in
// IPAddress.dat rely on them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace larkspan::addresses {

// The call name, a blank, "<", the host and ">".
std::string ComposeEntry(std::string_view callName, std::string_view host);

// What Send To puts into the portal's host field: the characters after the
// first "<" except the entry's last one (its closing ">"); a line without
// "<" is the host as a whole.
std::string SendToHost(std::string_view entry);

// The host that discovery compares with: the text between the first "<"
// and the first ">"; nothing when there is no such pair in that order.
std::optional<std::string_view> ListedHost(std::string_view entry);

}  // namespace larkspan::addresses
