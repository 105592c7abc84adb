#include "service/FileCheck.h"

namespace {
const size_t kSha256HexLength = 64;
}

bool NormaliseSha256(const std::string& text, std::string& digest)
{
    if (text.size() != kSha256HexLength) return false;
    std::string lower;
    lower.reserve(text.size());
    for (char c : text) {
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
        bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        if (!hex) return false;
        lower += c;
    }
    digest = lower;
    return true;
}
