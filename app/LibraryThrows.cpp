// The C++ library reports a failed precondition (a string grown past its
// largest size, an index out of range) by calling one of these functions,
// which throw the standard error classes. Those classes keep their message
// in a reference-counted string whose implementation, with its own
// instantiation of every string operation, is about 50 KB of setup.exe.
// Nothing in the program catches such an error: like any uncaught throw it
// ends in std::terminate and the crash dump. The definitions here take the
// library's place in this program alone, throw the classes that carry no
// string as they are, and the rest as one class that keeps the library's
// message text, so that a throw still ends where it ended before.
#include <exception>
#include <functional>
#include <new>
#include <typeinfo>

namespace {

class LibraryError : public std::exception {
public:
    explicit LibraryError(const char* message) : m_message(message ? message : "library error") {}
    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw LibraryError(message); }
void __throw_domain_error(const char* message) { throw LibraryError(message); }
void __throw_invalid_argument(const char* message) { throw LibraryError(message); }
void __throw_length_error(const char* message) { throw LibraryError(message); }
void __throw_out_of_range(const char* message) { throw LibraryError(message); }
// The format's arguments are left out: the message is never shown.
void __throw_out_of_range_fmt(const char* format, ...) { throw LibraryError(format); }
void __throw_runtime_error(const char* message) { throw LibraryError(message); }
void __throw_range_error(const char* message) { throw LibraryError(message); }
void __throw_overflow_error(const char* message) { throw LibraryError(message); }
void __throw_underflow_error(const char* message) { throw LibraryError(message); }

}  // namespace std
