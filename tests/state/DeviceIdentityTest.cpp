// The identifier rules on made-up machines and file names.

#include <gtest/gtest.h>

#include "state/DeviceIdentity.h"

namespace {

AdapterRecord Adapter(unsigned long type, const std::wstring& description,
                      std::vector<unsigned char> address)
{
    AdapterRecord record;
    record.interfaceType = type;
    record.description = description;
    record.address = std::move(address);
    return record;
}

const std::vector<unsigned char> kMac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
const std::vector<unsigned char> kOtherMac = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x01};

TEST(AdapterDeviceId, FirstRealEthernetAdapterDecides)
{
    struct {
        const char* what;
        std::vector<AdapterRecord> adapters;
        std::wstring id;
    } rows[] = {
        {"one adapter", {Adapter(6, L"Intel(R) Ethernet", kMac)}, L"001a2b3c4d5e"},
        {"virtual first, any case",
         {Adapter(6, L"Hyper-V Virtual Ethernet Adapter", kOtherMac), Adapter(6, L"Realtek", kMac)},
         L"001a2b3c4d5e"},
        {"upper-case VIRTUAL", {Adapter(6, L"VIRTUALBOX HOST", kOtherMac), Adapter(6, L"x", kMac)},
         L"001a2b3c4d5e"},
        {"Chinese virtual", {Adapter(6, L"\u865a\u62df\u7f51\u5361", kOtherMac), Adapter(6, L"x", kMac)},
         L"001a2b3c4d5e"},
        {"only wireless", {Adapter(71, L"Wi-Fi", kMac)}, L""},
        {"loopback and tunnel skipped",
         {Adapter(24, L"Loopback", {}), Adapter(131, L"Teredo", kOtherMac), Adapter(6, L"eth", kMac)},
         L"001a2b3c4d5e"},
        {"empty address ends the walk", {Adapter(6, L"eth0", {}), Adapter(6, L"eth1", kMac)}, L""},
        {"no adapters", {}, L""},
        {"longer address", {Adapter(6, L"eth", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0xff})},
         L"01020304050607ff"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.id, AdapterDeviceId(row.adapters)) << row.what;
}

TEST(VendorIdFromModulePath, TextBetweenLastUnderscoreAndLastStop)
{
    struct {
        const wchar_t* path;
        const wchar_t* vendor;
    } rows[] = {
        {L"C:\\Downloads\\setup_1234.exe", L"1234"},
        {L"C:\\Downloads\\setup.exe", L""},
        {L"C:\\a_b\\a_b_c.d.exe", L"c.d"},
        {L"x_.exe", L""},
        {L"C:\\x._y", L""},
        {L"C:\\dir_7.1\\setup", L""},
        {L"setup_\u5382\u5546.exe", L"\u5382\u5546"},
        {L"", L""},
    };
    for (const auto& row : rows) EXPECT_EQ(row.vendor, VendorIdFromModulePath(row.path)) << row.path;
}

TEST(FormatOsVersion, MajorMinorBuild)
{
    EXPECT_EQ("10.0.19045", FormatOsVersion(10, 0, L"19045"));
    EXPECT_EQ("0.0.7601", FormatOsVersion(0, 0, L"7601"));
    EXPECT_EQ("6.1.0", FormatOsVersion(6, 1, L"0"));
}

}  // namespace
