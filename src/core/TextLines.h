// Splitting of the plain-text list files written by the suite's sibling programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace larkspan {

// One entry per line; a line ends at CR LF, LF or CR, the last line needs no
// terminator, lines are kept exactly as written (an empty line is an empty
// entry). An empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace larkspan
