#pragma once

#include <string>

// SHA-256 of a file, computed by the system's own cryptography (CNG), so
// that no hand-made hash has to be trusted. Any thread; no shared state.
class CFileDigest {
public:
    // The digest as 64 lower-case hexadecimal digits; false when the file
    // cannot be read or the system cannot hash, and then digest is empty.
    static bool Sha256(const std::wstring& path, std::string& digest);
};
