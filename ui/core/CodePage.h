#pragma once

// Text conversions that the markup parser and the archive reader need,
// kept behind this small seam so that both also build without Windows
// headers. The Windows build converts through the system's code pages; the
// native build (fuzzing, benchmarks) decodes UTF-8 itself and reads the
// "ANSI" code page as Latin-1.

#include <cstddef>
#include <string>

namespace codepage {

// UTF-8 to wide text; malformed sequences become U+FFFD.
std::wstring DecodeUtf8(const char* bytes, size_t length);

// UTF-8 to wide text in the caller's buffer, which has room for length + 1
// units; returns the units written, without a terminator.
size_t DecodeUtf8(const char* bytes, size_t length, wchar_t* out);

// Bytes of the system ANSI code page to wide text.
std::wstring DecodeAnsi(const char* bytes, size_t length);

// Wide text to UTF-8.
std::string EncodeUtf8(const std::wstring& text);

// Wide text to the system ANSI code page. False when a character has no
// exact form there, so that a caller never matches on a substitute '?'.
bool EncodeAnsi(const std::wstring& text, std::string& bytes);

}  // namespace codepage
