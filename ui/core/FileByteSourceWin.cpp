#include "ui/core/FileByteSource.h"

#include <windows.h>

namespace {

HANDLE AsHandle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

bool QuerySize(HANDLE file, uint64_t& size)
{
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length) || length.QuadPart < 0) return false;
    size = static_cast<uint64_t>(length.QuadPart);
    return true;
}

}  // namespace

CFileByteSource::~CFileByteSource() { Close(); }

void CFileByteSource::Close()
{
    if (m_open) CloseHandle(AsHandle(m_handle));
    m_open = false;
    m_handle = 0;
    m_size = 0;
}

CFileByteSource::OpenResult CFileByteSource::OpenName(const std::wstring& path)
{
    Close();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kOpenFailed;
    m_handle = reinterpret_cast<intptr_t>(file);
    m_open = true;
    if (!QuerySize(file, m_size)) {
        Close();
        return kOpenFailed;
    }
    return kOpened;
}

CFileByteSource::OpenResult CFileByteSource::OpenHandle(intptr_t handle)
{
    Close();
    HANDLE copy = nullptr;
    HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, AsHandle(handle), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return kDuplicateFailed;
    m_handle = reinterpret_cast<intptr_t>(copy);
    m_open = true;
    if (GetFileType(copy) != FILE_TYPE_DISK || !QuerySize(copy, m_size)) {
        Close();
        return kNotDiskFile;
    }
    return kOpened;
}

bool CFileByteSource::ReadAt(uint64_t offset, void* buffer, size_t length)
{
    if (!m_open || offset > m_size || length > m_size - offset) return false;
    // Positioned reads: the duplicated handle shares its file pointer with the
    // caller's, so the reader never relies on where that pointer stands.
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD want = length > 0x10000000u ? 0x10000000u : static_cast<DWORD>(length);
        DWORD got = 0;
        if (!ReadFile(AsHandle(m_handle), out, want, &got, &at) || got == 0) return false;
        out += got;
        offset += got;
        length -= got;
    }
    return true;
}
