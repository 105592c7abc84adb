// The C++ library's own default terminate handler prints the demangled type
// of an uncaught exception before it aborts: a windowed program has nowhere
// to print it, and the demangler it needs is 46 KB of setup.exe. Start-up
// installs the crash-dump path as the handler early on (InstallCrashHandling);
// until then a plain abort does what the default did, silently. The library
// keeps its default in an object of its own so that a program can define
// this variable instead; set_terminate still replaces the value as usual.
#include <cstdlib>
#include <exception>

namespace __cxxabiv1 {
std::terminate_handler __terminate_handler = std::abort;
}
