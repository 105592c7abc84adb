#pragma once

// The rules behind the device, vendor and OS identifiers, as pure functions
// of what the system reports, so they can be checked on made-up machines.

#include <string>
#include <vector>

// One network adapter as the IP helper lists it.
struct AdapterRecord {
    unsigned long interfaceType = 0;  // IF_TYPE_ETHERNET_CSMACD is 6
    std::wstring description;
    std::vector<unsigned char> address;
};

// The physical address of the first Ethernet adapter that is not described
// as virtual, as lowercase hexadecimal without separators; empty when there
// is none or when that adapter has no address.
std::wstring AdapterDeviceId(const std::vector<AdapterRecord>& adapters);

// The text between the last underscore and the last full stop of the
// program's file name (the part after the last backslash), or empty.
std::wstring VendorIdFromModulePath(const std::wstring& modulePath);

// "major.minor.build" as UTF-8.
std::string FormatOsVersion(int major, int minor, const std::wstring& build);
