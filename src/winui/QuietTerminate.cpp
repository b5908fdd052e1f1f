// The terminate handler of GNU's C++ runtime. The runtime's own names the
// type of an uncaught exception with its demangler (some 45 KB in every
// executable); this one says only what the exception says, on the standard
// error stream (which the test programs have and a windowed program does
// not), and ends the program as the runtime's does, by abort().
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            // Not printf: its formatting engine would bring back much of what was saved.
            std::fputs("terminate called after throwing an exception: ", stderr);
            std::fputs(e.what(), stderr);
            std::fputs("\n", stderr);
        } catch (...) {
            std::fputs("terminate called after throwing an exception\n", stderr);
        }
    } else {
        std::fputs("terminate called without an active exception\n", stderr);
    }
    std::abort();
}

}  // namespace __gnu_cxx
