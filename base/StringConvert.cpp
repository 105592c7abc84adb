#include "base/StringConvert.h"

#include <windows.h>

std::string WideToUtf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        &out[0], size, nullptr, nullptr);
    return out;
}

size_t Utf8ToWide(const char* bytes, size_t length, wchar_t* out)
{
    if (!bytes || length == 0) return 0;
    int written = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), out, static_cast<int>(length + 1));
    return written > 0 ? static_cast<size_t>(written) : 0;
}

std::wstring Utf8ToWide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}
