// The terminate handler of GNU's C++ runtime. The runtime's own writes the
// demangled type of an uncaught exception to the standard error stream, which
// a windowed program does not have, and brings the demangler (some 45 KB)
// into every executable. This one ends the program as abort() does, which is
// what the runtime's does after writing.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler()
{
    std::abort();
}

}  // namespace __gnu_cxx
