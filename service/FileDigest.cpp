#include "service/FileDigest.h"

#include <windows.h>

#include <bcrypt.h>

#include <vector>

#include "base/FileHandle.h"

namespace {

const ULONG kSha256Length = 32;
const DWORD kChunk = 1 << 20;

bool Succeeded(NTSTATUS status) { return status >= 0; }

// The provider and the hash object live for one digest each.
class CAlgorithm {
public:
    CAlgorithm()
    {
        if (!Succeeded(BCryptOpenAlgorithmProvider(&m_handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
            m_handle = nullptr;
    }
    ~CAlgorithm()
    {
        if (m_handle) BCryptCloseAlgorithmProvider(m_handle, 0);
    }
    CAlgorithm(const CAlgorithm&) = delete;
    CAlgorithm& operator=(const CAlgorithm&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};

class CHash {
public:
    explicit CHash(BCRYPT_ALG_HANDLE algorithm)
    {
        // The system keeps the hash object's memory itself (Windows 7 on).
        if (!algorithm || !Succeeded(BCryptCreateHash(algorithm, &m_handle, nullptr, 0, nullptr, 0, 0)))
            m_handle = nullptr;
    }
    ~CHash()
    {
        if (m_handle) BCryptDestroyHash(m_handle);
    }
    CHash(const CHash&) = delete;
    CHash& operator=(const CHash&) = delete;
    BCRYPT_HASH_HANDLE Get() const { return m_handle; }

private:
    BCRYPT_HASH_HANDLE m_handle = nullptr;
};

}  // namespace

bool CFileDigest::Sha256(const std::wstring& path, std::string& digest)
{
    digest.clear();
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen()) return false;
    CAlgorithm algorithm;
    CHash hash(algorithm.Get());
    if (!hash.Get()) return false;
    std::vector<unsigned char> buffer(kChunk);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.data(), kChunk, &got, nullptr)) return false;
        if (got == 0) break;
        if (!Succeeded(BCryptHashData(hash.Get(), buffer.data(), got, 0))) return false;
    }
    unsigned char value[kSha256Length];
    if (!Succeeded(BCryptFinishHash(hash.Get(), value, kSha256Length, 0))) return false;
    static const char kHex[] = "0123456789abcdef";
    for (unsigned char byte : value) {
        digest += kHex[byte >> 4];
        digest += kHex[byte & 0xF];
    }
    return true;
}
