// The texts of the socket library's error numbers, as the socket components
// report them: the number, a colon and the text.
#pragma once

#include <string>
#include <string_view>

namespace larkspan::transfer {

// The table text for an error number, or "" for a number it does not hold.
std::string_view SocketErrorText(int number);

// "10061:Connection refused", or "Unknown Error No. 12345".
std::string SocketErrorMessage(int number);

}  // namespace larkspan::transfer
