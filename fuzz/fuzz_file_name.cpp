// The check on file names the service hands out. Input bytes are UTF-16LE
// code units, as names are on Windows. An accepted name must name a plain
// file directly inside the temporary folder.
#include "service/ServiceProtocol.h"

#include <cstddef>
#include <cstdint>

namespace {

bool ReservedStem(std::wstring stem)
{
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices)
        if (stem == device) return true;
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        wchar_t n = stem[3];
        return (n >= L'1' && n <= L'9') || n == 0xB9 || n == 0xB2 || n == 0xB3;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring name;
    for (size_t i = 0; i + 1 < size; i += 2) name += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    if (!IsSafeFileName(name)) return 0;
    if (name.empty() || name == L"." || name == L"..") __builtin_trap();
    for (wchar_t c : name) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) __builtin_trap();
        if (c == L'\\' || c == L'/' || c == L':') __builtin_trap();
    }
    if (name.back() == L'.' || name.back() == L' ') __builtin_trap();
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    if (ReservedStem(stem)) __builtin_trap();
    return 0;
}
