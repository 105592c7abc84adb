#include "state/DeviceIdentity.h"

#include <cwchar>

#include "base/StringConvert.h"

namespace {

const unsigned long kEthernet = 6;

bool DescribedAsVirtual(const std::wstring& description)
{
    // Only ASCII letters fold: the Chinese word has no case.
    std::wstring folded = description;
    for (wchar_t& c : folded) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return folded.find(L"virtual") != std::wstring::npos ||
           folded.find(L"\u865a\u62df") != std::wstring::npos;
}

}  // namespace

std::wstring AdapterDeviceId(const std::vector<AdapterRecord>& adapters)
{
    for (const AdapterRecord& adapter : adapters) {
        if (adapter.interfaceType != kEthernet) continue;
        if (DescribedAsVirtual(adapter.description)) continue;
        // The first real Ethernet adapter decides, even without an address.
        std::wstring id;
        for (unsigned char byte : adapter.address) {
            wchar_t digits[3];
            _snwprintf(digits, 3, L"%02x", byte);
            id += digits;
        }
        return id;
    }
    return std::wstring();
}

std::wstring VendorIdFromModulePath(const std::wstring& modulePath)
{
    size_t slash = modulePath.find_last_of(L'\\');
    std::wstring name = slash == std::wstring::npos ? modulePath : modulePath.substr(slash + 1);
    size_t underscore = name.find_last_of(L'_');
    size_t dot = name.find_last_of(L'.');
    if (underscore == std::wstring::npos || dot == std::wstring::npos || underscore > dot)
        return std::wstring();
    return name.substr(underscore + 1, dot - underscore - 1);
}

std::string FormatOsVersion(int major, int minor, const std::wstring& build)
{
    return WideToUtf8(DecimalText(major) + L"." + DecimalText(minor) + L"." + build);
}
