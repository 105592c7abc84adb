#include "ui/core/SkinSource.h"

#include "ui/core/FileByteSource.h"

namespace {

const wchar_t kMemoryArchiveName[] = L"membuffer";

}  // namespace

CSkinSource& CSkinSource::Process()
{
    // Never destroyed: windows may read skin files until the process ends.
    static CSkinSource* source = new CSkinSource;
    return *source;
}

CSkinSource::~CSkinSource() { CloseArchive(); }

void CSkinSource::CloseArchive()
{
    if (m_archive) ::CloseArchive(m_archive);
    m_archive = nullptr;
}

void CSkinSource::Reset()
{
    CloseArchive();
    m_folder.clear();
    m_archiveName.clear();
    m_cacheArchive = true;
    m_bytes = nullptr;
    m_length = 0;
}

void CSkinSource::SetFolder(const std::wstring& folder)
{
    if (folder == m_folder) return;
    m_folder = folder;
}

void CSkinSource::SetCacheArchive(bool cache)
{
    if (cache == m_cacheArchive) return;
    m_cacheArchive = cache;
    if (!cache) CloseArchive();
}

void CSkinSource::UseArchive(const std::wstring& name)
{
    if (m_archive && m_cacheArchive && name == m_archiveName) return;
    CloseArchive();
    m_archiveName = name;
    m_bytes = nullptr;
    m_length = 0;
    m_cacheArchive = true;
    // A failed open leaves no archive, and every later read then fails with
    // "Error opening zip file".
    m_archive = OpenForRead();
}

void CSkinSource::UseArchiveBytes(const void* bytes, uint32_t length)
{
    if (m_archiveName == kMemoryArchiveName) return;
    CloseArchive();
    m_archiveName = kMemoryArchiveName;
    m_bytes = bytes;
    m_length = length;
    if (m_cacheArchive) m_archive = OpenForRead();
}

HZIPARCHIVE CSkinSource::OpenForRead() const
{
    if (m_archiveName == kMemoryArchiveName) return m_bytes ? OpenArchive(m_bytes, m_length, kZipMemory) : nullptr;
    std::wstring path = m_folder + m_archiveName;
    return OpenArchive(path.c_str(), 0, kZipFile);
}

bool CSkinSource::Read(const std::wstring& name, uint32_t limit, std::string& bytes, const wchar_t** failure)
{
    bytes.clear();
    const wchar_t* reason = nullptr;
    bool read = m_archiveName.empty() ? ReadFromFolder(name, limit, bytes, &reason)
                                      : ReadFromArchive(name, limit, bytes, &reason);
    if (failure) *failure = reason;
    if (!read) bytes.clear();
    return read;
}

bool CSkinSource::ReadFromArchive(const std::wstring& name, uint32_t limit, std::string& bytes,
                                  const wchar_t** failure)
{
    // 1. The kept archive, or one opened for this read alone.
    HZIPARCHIVE archive = m_cacheArchive ? m_archive : OpenForRead();
    if (!archive) {
        *failure = L"Error opening zip file";
        return false;
    }
    struct Closer {
        HZIPARCHIVE archive;
        bool owned;
        ~Closer() { if (owned) ::CloseArchive(archive); }
    } closer{archive, archive != m_archive};

    // 2. The entry and its size.
    int index = -1;
    ZipEntryInfo info;
    if (FindEntry(archive, name.c_str(), &index, &info) != kZipOk) {
        *failure = L"Could not find ziped file";
        return false;
    }
    if (info.uncompressedSize == 0) {
        *failure = L"File is empty";
        return false;
    }
    if (info.uncompressedSize > limit) {
        *failure = L"File too large";
        return false;
    }

    // 3. Extract whole. A stream that ends before its stated size yields
    // only the bytes it really holds.
    bytes.resize(info.uncompressedSize);
    uint32_t produced = 0;
    uint32_t result = ExtractEntry(archive, index, &bytes[0], info.uncompressedSize, &produced);
    if (result != kZipOk && result != kZipMore) {
        *failure = L"Could not unzip file";
        return false;
    }
    bytes.resize(produced);
    if (bytes.empty()) {
        *failure = L"File is empty";
        return false;
    }
    return true;
}

bool CSkinSource::ReadFromFolder(const std::wstring& name, uint32_t limit, std::string& bytes,
                                 const wchar_t** failure)
{
    // 4. The file of the resource folder, read whole.
    CFileByteSource file;
    if (file.OpenName(m_folder + name) != CFileByteSource::kOpened) {
        *failure = L"Error opening file";
        return false;
    }
    uint64_t size = file.Size();
    if (size == 0) {
        *failure = L"File is empty";
        return false;
    }
    if (size > limit) {
        *failure = L"File too large";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    if (!file.ReadAt(0, &bytes[0], bytes.size())) {
        *failure = L"Could not read file";
        return false;
    }
    return true;
}
