#pragma once

// What the service promised about the installer it hands out: its length
// and its SHA-256 digest, each optional. Pure data, free of Windows
// headers, so that the rules are tried natively.

#include <cstdint>
#include <string>

struct FileCheck {
    bool hasSize = false;
    uint64_t size = 0;
    // 64 lower-case hexadecimal digits, or empty when no digest was given.
    std::string sha256;

    bool Any() const { return hasSize || !sha256.empty(); }
};

// The digest in the form FileCheck keeps: 64 hexadecimal digits of either
// case become lower case; false (and digest untouched) for anything else.
bool NormaliseSha256(const std::string& text, std::string& digest);
