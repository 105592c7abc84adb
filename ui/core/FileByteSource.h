#pragma once

// A file on disk as an IByteSource, opened by name for shared reading or
// taken over from a handle the caller owns (the handle is duplicated, so the
// caller may close its own at once). The platform's file calls live behind
// this class: FileByteSourceWin.cpp for Windows, FileByteSourcePosix.cpp for
// the native build, where a "handle" is a file descriptor.

#include "ui/core/ByteSource.h"

#include <cstdint>
#include <string>

class CFileByteSource : public IByteSource {
public:
    enum OpenResult { kOpened, kOpenFailed, kDuplicateFailed, kNotDiskFile };

    CFileByteSource() = default;
    ~CFileByteSource() override;
    CFileByteSource(const CFileByteSource&) = delete;
    CFileByteSource& operator=(const CFileByteSource&) = delete;

    OpenResult OpenName(const std::wstring& path);
    // handle: a Windows HANDLE, or a file descriptor in the native build.
    OpenResult OpenHandle(intptr_t handle);
    void Close();
    bool IsOpen() const { return m_open; }

    uint64_t Size() const override { return m_size; }
    bool ReadAt(uint64_t offset, void* buffer, size_t length) override;

private:
    intptr_t m_handle = 0;
    bool m_open = false;
    uint64_t m_size = 0;
};
