#include "ui/core/CodePage.h"

#include <windows.h>

#include "base/StringConvert.h"

namespace codepage {
namespace {

std::wstring Decode(UINT page, const char* bytes, size_t length)
{
    if (!bytes || length == 0) return std::wstring();
    int size = static_cast<int>(length);
    int wide = MultiByteToWideChar(page, 0, bytes, size, nullptr, 0);
    if (wide <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(page, 0, bytes, size, &text[0], wide);
    return text;
}

}  // namespace

std::wstring DecodeUtf8(const char* bytes, size_t length) { return Decode(CP_UTF8, bytes, length); }

size_t DecodeUtf8(const char* bytes, size_t length, wchar_t* out) { return Utf8ToWide(bytes, length, out); }

std::wstring DecodeAnsi(const char* bytes, size_t length) { return Decode(CP_ACP, bytes, length); }

std::string EncodeUtf8(const std::wstring& text) { return WideToUtf8(text); }

bool EncodeAnsi(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    if (text.empty()) return true;
    const int size = static_cast<int>(text.size());
    // Under the "Unicode UTF-8" system option the ANSI code page is 65001,
    // for which the documented rule is: no best-fit flag and no default-used
    // pointer; the call fails otherwise and no entry name without the UTF-8
    // bit could be matched. UTF-8 has a form for every character, and the
    // invalid-characters flag (allowed there) refuses lone surrogates, which
    // would otherwise become a substitute. Wine accepts the other flags
    // with UTF-8 and keeps its ANSI code page at 1252, so it cannot show
    // this path.
    if (GetACP() == CP_UTF8) {
        const int count = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, nullptr, 0,
                                              nullptr, nullptr);
        if (count <= 0) return false;
        bytes.assign(static_cast<size_t>(count), '\0');
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, &bytes[0], count, nullptr, nullptr);
        return true;
    }
    BOOL substituted = FALSE;
    int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr,
                                    &substituted);
    if (count > 0) {
        if (substituted) return false;
        bytes.assign(static_cast<size_t>(count), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, &bytes[0], count, nullptr,
                            &substituted);
        return !substituted;
    }
    // Any other code page that refuses those arguments: plain conversion,
    // accepted only when it reads back as the same text, so a substitute
    // still never matches.
    const DWORD error = GetLastError();
    if (error != ERROR_INVALID_FLAGS && error != ERROR_INVALID_PARAMETER) return false;
    count = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return false;
    bytes.assign(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, &bytes[0], count, nullptr, nullptr);
    if (DecodeAnsi(bytes.data(), bytes.size()) == text) return true;
    bytes.clear();
    return false;
}

}  // namespace codepage
