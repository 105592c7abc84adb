#pragma once

// A log of the test program's own, so tests can read what the code under
// test wrote. Every line is a UTF-16 record.

#include <string>
#include <vector>

namespace testlog {

// Opens the process-wide log in a scratch folder the first time.
void Open();
// Every record so far that contains the text.
std::vector<std::wstring> Lines(const std::wstring& containing);

}  // namespace testlog
