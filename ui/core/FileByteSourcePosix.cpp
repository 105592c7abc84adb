#include "ui/core/FileByteSource.h"

#include "ui/core/CodePage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFileByteSource::~CFileByteSource() { Close(); }

void CFileByteSource::Close()
{
    if (m_open) ::close(static_cast<int>(m_handle));
    m_open = false;
    m_handle = 0;
    m_size = 0;
}

CFileByteSource::OpenResult CFileByteSource::OpenName(const std::wstring& path)
{
    Close();
    std::string name = codepage::EncodeUtf8(path);
    int fd = ::open(name.c_str(), O_RDONLY);
    if (fd < 0) return kOpenFailed;
    m_handle = fd;
    m_open = true;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return kOpenFailed;
    }
    m_size = static_cast<uint64_t>(info.st_size);
    return kOpened;
}

CFileByteSource::OpenResult CFileByteSource::OpenHandle(intptr_t handle)
{
    Close();
    int fd = ::dup(static_cast<int>(handle));
    if (fd < 0) return kDuplicateFailed;
    m_handle = fd;
    m_open = true;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        Close();
        return kNotDiskFile;
    }
    m_size = static_cast<uint64_t>(info.st_size);
    return kOpened;
}

bool CFileByteSource::ReadAt(uint64_t offset, void* buffer, size_t length)
{
    if (!m_open || offset > m_size || length > m_size - offset) return false;
    unsigned char* out = static_cast<unsigned char*>(buffer);
    while (length > 0) {
        ssize_t got = ::pread(static_cast<int>(m_handle), out, length, static_cast<off_t>(offset));
        if (got <= 0) return false;
        out += got;
        offset += static_cast<uint64_t>(got);
        length -= static_cast<size_t>(got);
    }
    return true;
}
