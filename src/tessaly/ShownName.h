// A received name as a message box shows it.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

// `name`, in `codePage`, with its middle elided to at most 100 characters.
// Counted on the decoded text, so that a double-byte character is never cut
// in two.
std::string ShownName(const std::string& name, UINT codePage = CP_ACP);

}  // namespace tessaly
