#pragma once

// Where skin files come from: the resource folder on disk, or one archive
// opened once and kept open for the whole process (a file in the resource
// folder, or bytes handed over in memory, then named "membuffer"). The
// markup loader and the image loader both read through it. UI thread only.
// Builds without Windows headers; ResourceLocation is its Windows face.

#include "ui/core/ZipReader.h"

#include <cstdint>
#include <string>

class CSkinSource {
public:
    static CSkinSource& Process();

    CSkinSource() = default;
    ~CSkinSource();
    CSkinSource(const CSkinSource&) = delete;
    CSkinSource& operator=(const CSkinSource&) = delete;

    void SetFolder(const std::wstring& folder);
    const std::wstring& Folder() const { return m_folder; }
    const std::wstring& ArchiveName() const { return m_archiveName; }

    // Opens the named archive of the resource folder and keeps it, unless
    // it is the one already kept.
    void UseArchive(const std::wstring& name);
    // The first archive handed over in memory stays in force; the bytes are
    // not copied and must outlive the process's use of them.
    void UseArchiveBytes(const void* bytes, uint32_t length);
    void SetCacheArchive(bool cache);
    bool HasOpenArchive() const { return m_archive != nullptr; }

    // Reads one file whole: from the archive in use when there is one,
    // otherwise from the resource folder. Files above limit bytes are
    // refused. On failure, *failure names the reason in the loader's words.
    bool Read(const std::wstring& name, uint32_t limit, std::string& bytes, const wchar_t** failure);

    // Back to the start: no archive, no folder.
    void Reset();

private:
    void CloseArchive();
    HZIPARCHIVE OpenForRead() const;
    bool ReadFromArchive(const std::wstring& name, uint32_t limit, std::string& bytes,
                         const wchar_t** failure);
    bool ReadFromFolder(const std::wstring& name, uint32_t limit, std::string& bytes,
                        const wchar_t** failure);

    std::wstring m_folder;
    std::wstring m_archiveName;
    bool m_cacheArchive = true;
    HZIPARCHIVE m_archive = nullptr;
    const void* m_bytes = nullptr;
    uint32_t m_length = 0;
};
