#include "ui/core/CodePage.h"

#include <windows.h>

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

std::wstring DecodeAnsi(const char* bytes, size_t length) { return Decode(CP_ACP, bytes, length); }

std::string EncodeUtf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int size = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, &out[0], bytes, nullptr, nullptr);
    return out;
}

bool EncodeAnsi(const std::wstring& text, std::string& bytes)
{
    bytes.clear();
    if (text.empty()) return true;
    int size = static_cast<int>(text.size());
    BOOL substituted = FALSE;
    int count = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0,
                                    nullptr, &substituted);
    if (count <= 0 || substituted) return false;
    bytes.assign(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, &bytes[0], count, nullptr,
                        &substituted);
    return !substituted;
}

}  // namespace codepage
