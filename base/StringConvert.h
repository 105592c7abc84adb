#pragma once

#include <string>

// UTF-16 is the program's text everywhere; JSON documents and usage-event
// names are UTF-8 and are converted only at that boundary.
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
