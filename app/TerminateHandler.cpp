// The C++ library's default terminate handler prints the demangled type of
// an uncaught exception before it aborts: a windowed program has nowhere to
// print it, and the demangler it needs is 46 KB of setup.exe. Start-up
// installs the crash-dump path as the handler early on (InstallCrashHandling);
// until then, and wherever the library falls back to its default, a plain
// abort does what the default did, silently. Defining the default here
// keeps the library's own definition, and the demangler, out of the link.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
