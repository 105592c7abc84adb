#pragma once

// Reads ZIP archives held in memory, in a file or behind a file handle: finds
// one entry by name and extracts it whole. Stored entries are copied and
// everything else is inflated as raw deflate through zlib. Builds without
// Windows headers; files are reached through CFileByteSource.
//
// One reader keeps a current position and the state of one extraction, so a
// reader (and a handle of the free functions below) belongs to one thread.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class IByteSource;

// Result codes of the archive reader.
enum : uint32_t {
    kZipOk = 0,
    kZipDuplicateFailed = 0x100,
    kZipOpenFailed = 0x200,
    kZipNotFound = 0x500,
    kZipMore = 0x600,
    kZipCorrupt = 0x700,
    kZipReadFailed = 0x800,
    kZipInvalidArgument = 0x10000,
    kZipNotArchiveHandle = 0x80000,
    kZipAlreadyOpen = 0x1000000,
    kZipNotDiskFile = 0x2000000,
    kZipInflateFailed = 0x5000000,
};

// What the archive holds: kZipHandle passes a file handle (a HANDLE on
// Windows, a file descriptor natively), kZipFile a wide file name,
// kZipMemory a block of memory that the caller keeps alive.
enum ZipSourceKind { kZipHandle = 1, kZipFile = 2, kZipMemory = 3 };

// File attribute bits as Windows defines them.
enum : uint32_t {
    kZipAttrReadOnly = 0x01,
    kZipAttrHidden = 0x02,
    kZipAttrSystem = 0x04,
    kZipAttrDirectory = 0x10,
    kZipAttrArchive = 0x20,
    kZipAttrNormal = 0x80,
};

struct ZipEntryInfo {
    int index = 0;             // or the number of entries, when asked for index -1
    wchar_t name[260] = {};    // at most 259 characters
    uint32_t attributes = 0;
    // Times as FILETIME values: 100-nanosecond ticks since 1601-01-01.
    uint64_t creationTime = 0;
    uint64_t accessTime = 0;
    uint64_t writeTime = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
};

class CZipReader {
public:
    CZipReader();
    ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    // source is a handle, a const wchar_t* name or a memory block, by kind;
    // length counts the bytes of a memory block and is ignored otherwise.
    uint32_t Open(const void* source, uint32_t length, int kind);
    void Close();
    bool IsOpen() const { return m_source != nullptr; }

    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    // Index -1 reports the number of entries in info.index.
    uint32_t GetEntry(int index, ZipEntryInfo& info) const;
    // ASCII letters fold and '\' matches '/'; the first equal entry wins.
    // Ends any extraction in progress.
    uint32_t FindEntry(const wchar_t* name, int& index, ZipEntryInfo& info);
    // Fills buffer with the next part of the entry: kZipMore when this call
    // produced bytes, kZipOk when the entry had nothing more to give (it is
    // then finished). produced, when given, receives the byte count.
    uint32_t Extract(int index, void* buffer, uint32_t size, uint32_t* produced = nullptr);

    // CRC-32 of what the extraction in progress has produced so far.
    uint32_t ExtractedCrc() const;

private:
    struct Extraction;

    uint32_t OpenSource(const void* source, uint32_t length, int kind);
    uint32_t ReadDirectory();
    const unsigned char* Header(int index) const { return m_directory.data() + m_entries[index]; }
    uint32_t BeginExtraction(int index);
    uint32_t Produce(unsigned char* out, uint32_t size, uint32_t& produced);
    void EndExtraction();

    std::unique_ptr<IByteSource> m_source;
    std::vector<unsigned char> m_directory;   // the central directory, read once
    std::vector<uint32_t> m_entries;          // offset of each header in m_directory
    uint64_t m_shift = 0;                     // bytes of a stub before the first entry
    int m_current = 0;
    std::unique_ptr<Extraction> m_extraction;
};

// The same reader behind an opaque handle; every call records its result in
// LastZipResult.
struct ZipArchive;
using HZIPARCHIVE = ZipArchive*;

HZIPARCHIVE OpenArchive(const void* source, uint32_t length, int kind);
uint32_t FindEntry(HZIPARCHIVE archive, const wchar_t* name, int* index, ZipEntryInfo* info);
uint32_t GetEntry(HZIPARCHIVE archive, int index, ZipEntryInfo* info);
uint32_t ExtractEntry(HZIPARCHIVE archive, int index, void* buffer, uint32_t size,
                      uint32_t* produced = nullptr);
uint32_t CloseArchive(HZIPARCHIVE archive);
uint32_t LastZipResult();
