// What Tessaly says about itself to the local network's service discovery,
// and how the machines found that way read in the discovery window.
#pragma once

#include "core/ServiceDiscovery.h"

#include <string>
#include <vector>

namespace tessaly {

// This computer's name in UTF-8, as its instance is called.
std::string ComputerName();

// The discovery window's four lines for each machine found: its instance
// name in the program's code page (a character that has none there becomes
// "_", never a lookalike), its address as a connection path, the provider,
// and an empty line.
std::vector<std::string> FoundLines(const std::vector<larkspan::discovery::Found>& found);

}  // namespace tessaly
