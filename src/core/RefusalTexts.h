// What the portal says about received files it refused: the name, shortened
// to what a message box can show, and the count of those refused while a
// box was open.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace larkspan::portal {

// A received name may run to thousands of characters; a box shows at most
// this many of it.
constexpr std::size_t maxShownNameLength = 100;

// `text` with its middle replaced by "..." so that it is at most
// `maxCharacters` characters long; text that fits is returned unchanged.
// Characters are counted as code points: a surrogate pair is one character
// and is never split (a lone surrogate counts as one). The beginning keeps
// the larger half when the two halves cannot be equal.
std::u16string ElideMiddle(std::u16string_view text, std::size_t maxCharacters);

// The warning about one refused name, `shownName` as the box shows it.
std::string RefusalText(std::string_view shownName);

// The warning that follows the closing of a box while `count` further names
// were refused: "1 further file name was refused.", "2 further file names
// were refused.".
std::string FurtherRefusalsText(std::size_t count);

}  // namespace larkspan::portal
