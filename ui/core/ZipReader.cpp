#include "ui/core/ZipReader.h"

#include "ui/core/ByteSource.h"
#include "ui/core/CodePage.h"
#include "ui/core/FileByteSource.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

const uint32_t kEndSignature = 0x06054B50;
const uint32_t kCentralSignature = 0x02014B50;
const uint32_t kLocalSignature = 0x04034B50;
const size_t kEndRecordSize = 22;
const size_t kCentralHeaderSize = 46;
const size_t kLocalHeaderSize = 30;
const uint64_t kEndSearchSpan = 65535;
const size_t kSearchWindow = 1024;
const size_t kInputChunk = 16 * 1024;
const uint16_t kFlagUtf8 = 0x0800;
const size_t kMaxFindName = 255;

uint16_t Get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t Get32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Offsets of the fields of a central directory header.
enum CentralField {
    kMadeBy = 4, kFlags = 8, kMethod = 10, kDosTime = 12, kDosDate = 14, kCrc = 16,
    kCompressed = 20, kUncompressed = 24, kNameLength = 28, kExtraLength = 30,
    kCommentLength = 32, kExternal = 38, kLocalOffset = 42,
};

const uint64_t kTicksPerSecond = 10000000ull;
const uint64_t kSecondsFrom1601To1970 = 11644473600ull;

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// The DOS stamp as written; it carries no zone, so it is taken as is.
uint64_t TicksFromDos(uint16_t date, uint16_t time)
{
    unsigned month = (date >> 5) & 0x0F, day = date & 0x1F;
    if (month < 1 || month > 12 || day < 1) return 0;
    int64_t days = DaysFromCivil(1980 + (date >> 9), month, day);
    int64_t seconds = days * 86400 + (time >> 11) * 3600 + ((time >> 5) & 0x3F) * 60 + (time & 0x1F) * 2;
    return static_cast<uint64_t>(seconds + static_cast<int64_t>(kSecondsFrom1601To1970)) * kTicksPerSecond;
}

uint64_t TicksFromUnix(uint32_t seconds)
{
    return (static_cast<uint64_t>(seconds) + kSecondsFrom1601To1970) * kTicksPerSecond;
}

char FoldName(char c)
{
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    if (c == '\\') return '/';
    return c;
}

bool SameName(const unsigned char* stored, size_t storedLength, const std::string& wanted)
{
    if (storedLength != wanted.size()) return false;
    for (size_t i = 0; i < storedLength; ++i)
        if (FoldName(static_cast<char>(stored[i])) != FoldName(wanted[i])) return false;
    return true;
}

uint32_t AttributesOf(const unsigned char* header)
{
    uint32_t external = Get32(header + kExternal);
    uint32_t attributes = external & (kZipAttrReadOnly | kZipAttrHidden | kZipAttrSystem |
                                      kZipAttrDirectory | kZipAttrArchive);
    // Unix makers keep the file mode in the high half.
    if ((Get16(header + kMadeBy) >> 8) == 3) {
        uint32_t mode = external >> 16;
        if ((mode & 0170000) == 0040000) attributes |= kZipAttrDirectory;
        if (mode != 0 && (mode & 0222) == 0) attributes |= kZipAttrReadOnly;
    }
    if (attributes == 0) attributes = kZipAttrNormal;
    return attributes;
}

}  // namespace

struct CZipReader::Extraction {
    int index = -1;
    bool finished = false;
    uint16_t method = 0;
    uint64_t next = 0;        // archive offset of the next compressed byte
    uint64_t remaining = 0;   // compressed bytes not yet read
    uint32_t crc = 0;
    bool inflating = false;
    z_stream stream{};
    std::vector<unsigned char> input;
};

CZipReader::CZipReader() = default;

CZipReader::~CZipReader() { Close(); }

void CZipReader::Close()
{
    EndExtraction();
    m_source.reset();
    m_directory.clear();
    m_entries.clear();
    m_shift = 0;
    m_current = 0;
}

uint32_t CZipReader::Open(const void* source, uint32_t length, int kind)
{
    if (IsOpen()) return kZipAlreadyOpen;
    uint32_t result = OpenSource(source, length, kind);
    if (result == kZipOk) result = ReadDirectory();
    if (result != kZipOk) Close();
    return result;
}

uint32_t CZipReader::OpenSource(const void* source, uint32_t length, int kind)
{
    switch (kind) {
    case kZipHandle: {
        std::unique_ptr<CFileByteSource> file(new CFileByteSource);
        CFileByteSource::OpenResult opened = file->OpenHandle(reinterpret_cast<intptr_t>(source));
        if (opened == CFileByteSource::kDuplicateFailed) return kZipDuplicateFailed;
        if (opened != CFileByteSource::kOpened) return kZipNotDiskFile;
        m_source = std::move(file);
        return kZipOk;
    }
    case kZipFile: {
        if (!source) return kZipInvalidArgument;
        std::unique_ptr<CFileByteSource> file(new CFileByteSource);
        if (file->OpenName(static_cast<const wchar_t*>(source)) != CFileByteSource::kOpened)
            return kZipOpenFailed;
        m_source = std::move(file);
        return kZipOk;
    }
    case kZipMemory:
        if (!source) return kZipInvalidArgument;
        m_source.reset(new CMemoryByteSource(source, length));
        return kZipOk;
    default:
        return kZipInvalidArgument;
    }
}

uint32_t CZipReader::ReadDirectory()
{
    // 1. Find the end record: search backwards through the last 64 KiB in
    // windows that overlap by the signature's length.
    const uint64_t size = m_source->Size();
    if (size < kEndRecordSize) return kZipReadFailed;
    const uint64_t lowest = size > kEndSearchSpan + kEndRecordSize ? size - kEndSearchSpan - kEndRecordSize : 0;
    unsigned char window[kSearchWindow + 4];
    uint64_t found = UINT64_MAX;
    uint64_t windowEnd = size;
    while (found == UINT64_MAX && windowEnd > lowest) {
        uint64_t windowStart = windowEnd > lowest + kSearchWindow ? windowEnd - kSearchWindow : lowest;
        size_t span = static_cast<size_t>(std::min<uint64_t>(windowEnd + 4, size) - windowStart);
        if (!m_source->ReadAt(windowStart, window, span)) return kZipReadFailed;
        for (size_t i = span >= 4 ? span - 4 + 1 : 0; i-- > 0;) {
            uint64_t at = windowStart + i;
            if (Get32(window + i) == kEndSignature && at + kEndRecordSize <= size) {
                found = at;
                break;
            }
        }
        windowEnd = windowStart;
    }
    if (found == UINT64_MAX) return kZipReadFailed;

    // 2. Read the record and check that the directory fits before it.
    unsigned char record[kEndRecordSize];
    if (!m_source->ReadAt(found, record, sizeof record)) return kZipReadFailed;
    uint16_t disk = Get16(record + 4), directoryDisk = Get16(record + 6);
    uint16_t entriesHere = Get16(record + 8), entriesTotal = Get16(record + 10);
    uint32_t directorySize = Get32(record + 12), directoryOffset = Get32(record + 16);
    if (disk != 0 || directoryDisk != 0 || entriesHere != entriesTotal) return kZipReadFailed;
    if (directorySize > found) return kZipReadFailed;
    uint64_t actualOffset = found - directorySize;
    if (directoryOffset > actualOffset) return kZipReadFailed;
    // A stub before the archive shifts every stored offset by its length.
    m_shift = actualOffset - directoryOffset;

    // 3. Read the directory once and walk it, so that every later lookup
    // works on headers known to lie inside it.
    m_directory.resize(directorySize);
    if (directorySize && !m_source->ReadAt(actualOffset, m_directory.data(), directorySize))
        return kZipReadFailed;
    size_t at = 0;
    for (unsigned i = 0; i < entriesTotal; ++i) {
        if (directorySize - at < kCentralHeaderSize) return kZipReadFailed;
        const unsigned char* header = m_directory.data() + at;
        if (Get32(header) != kCentralSignature) return kZipReadFailed;
        size_t length = kCentralHeaderSize + Get16(header + kNameLength) +
                        Get16(header + kExtraLength) + Get16(header + kCommentLength);
        if (directorySize - at < length) return kZipReadFailed;
        m_entries.push_back(static_cast<uint32_t>(at));
        at += length;
    }
    m_current = 0;
    return kZipOk;
}

uint32_t CZipReader::GetEntry(int index, ZipEntryInfo& info) const
{
    info = ZipEntryInfo();
    if (!IsOpen()) return kZipInvalidArgument;
    if (index == -1) {
        info.index = EntryCount();
        return kZipOk;
    }
    if (index < 0 || index >= EntryCount()) return kZipInvalidArgument;
    const unsigned char* header = Header(index);
    info.index = index;

    // Bit 11 marks a UTF-8 name; any other name is in the ANSI code page.
    const char* name = reinterpret_cast<const char*>(header + kCentralHeaderSize);
    size_t nameLength = Get16(header + kNameLength);
    std::wstring wide = (Get16(header + kFlags) & kFlagUtf8) ? codepage::DecodeUtf8(name, nameLength)
                                                             : codepage::DecodeAnsi(name, nameLength);
    size_t copied = std::min<size_t>(wide.size(), 259);
    std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(copied), info.name);
    info.name[copied] = 0;

    info.attributes = AttributesOf(header);
    info.compressedSize = Get32(header + kCompressed);
    info.uncompressedSize = Get32(header + kUncompressed);
    uint64_t stamp = TicksFromDos(Get16(header + kDosDate), Get16(header + kDosTime));
    info.creationTime = info.accessTime = info.writeTime = stamp;

    // The "UT" extra field holds Unix times that override the DOS stamp; the
    // directory's copy usually carries only the modification time.
    const unsigned char* extra = header + kCentralHeaderSize + nameLength;
    size_t extraLength = Get16(header + kExtraLength);
    for (size_t at = 0; at + 4 <= extraLength;) {
        uint16_t id = Get16(extra + at), length = Get16(extra + at + 2);
        if (at + 4 + length > extraLength) break;
        if (id == 0x5455 && length >= 1) {
            const unsigned char* field = extra + at + 4;
            unsigned flags = field[0];
            size_t pos = 1;
            uint64_t* targets[3] = {&info.writeTime, &info.accessTime, &info.creationTime};
            for (int bit = 0; bit < 3; ++bit) {
                if (!(flags & (1u << bit))) continue;
                if (pos + 4 > length) break;
                *targets[bit] = TicksFromUnix(Get32(field + pos));
                pos += 4;
            }
        }
        at += 4 + length;
    }
    return kZipOk;
}

uint32_t CZipReader::FindEntry(const wchar_t* name, int& index, ZipEntryInfo& info)
{
    info = ZipEntryInfo();
    index = -1;
    if (!IsOpen() || !name) return kZipInvalidArgument;
    // A lookup starts the entry anew: a caller that finds an entry again
    // means to read it from its first byte.
    EndExtraction();
    std::wstring wanted(name);
    if (wanted.size() > kMaxFindName) return kZipInvalidArgument;
    std::replace(wanted.begin(), wanted.end(), L'\\', L'/');

    // Entries with bit 11 compare with the UTF-8 form of the name, all others
    // with its ANSI form; a name without an exact ANSI form matches no entry
    // of the second kind.
    std::string utf8 = codepage::EncodeUtf8(wanted);
    std::string ansi;
    bool hasAnsi = codepage::EncodeAnsi(wanted, ansi);

    int previous = m_current;
    for (int i = 0; i < EntryCount(); ++i) {
        const unsigned char* header = Header(i);
        bool isUtf8 = (Get16(header + kFlags) & kFlagUtf8) != 0;
        if (!isUtf8 && !hasAnsi) continue;
        if (SameName(header + kCentralHeaderSize, Get16(header + kNameLength), isUtf8 ? utf8 : ansi)) {
            m_current = i;
            index = i;
            return GetEntry(i, info);
        }
    }
    m_current = previous;
    return kZipNotFound;
}

uint32_t CZipReader::BeginExtraction(int index)
{
    EndExtraction();
    const unsigned char* header = Header(index);

    // The local header must agree with the directory on its signature, the
    // method and the name. Entries written with a data descriptor carry zero
    // sizes and CRC here, so those are taken from the directory alone.
    unsigned char local[kLocalHeaderSize];
    uint64_t localOffset = Get32(header + kLocalOffset) + m_shift;
    if (!m_source->ReadAt(localOffset, local, sizeof local)) return kZipCorrupt;
    if (Get32(local) != kLocalSignature) return kZipCorrupt;
    uint16_t method = Get16(header + kMethod);
    if (Get16(local + 8) != method) return kZipCorrupt;
    uint16_t nameLength = Get16(header + kNameLength);
    if (Get16(local + 26) != nameLength) return kZipCorrupt;
    std::vector<unsigned char> localName(nameLength);
    if (nameLength && !m_source->ReadAt(localOffset + kLocalHeaderSize, localName.data(), nameLength))
        return kZipCorrupt;
    if (nameLength && std::memcmp(localName.data(), header + kCentralHeaderSize, nameLength) != 0)
        return kZipCorrupt;

    uint64_t dataStart = localOffset + kLocalHeaderSize + nameLength + Get16(local + 28);
    uint64_t compressed = Get32(header + kCompressed);
    if (dataStart > m_source->Size() || compressed > m_source->Size() - dataStart) return kZipCorrupt;

    std::unique_ptr<Extraction> extraction(new Extraction);
    extraction->index = index;
    extraction->method = method;
    extraction->next = dataStart;
    extraction->remaining = compressed;
    extraction->crc = static_cast<uint32_t>(crc32(0, Z_NULL, 0));
    if (method != 0) {
        // Raw deflate with a 32 KiB window: the archive has no zlib header.
        if (inflateInit2(&extraction->stream, -MAX_WBITS) != Z_OK) return kZipInflateFailed;
        extraction->inflating = true;
        extraction->input.resize(kInputChunk);
    }
    m_extraction = std::move(extraction);
    return kZipOk;
}

void CZipReader::EndExtraction()
{
    if (m_extraction && m_extraction->inflating) inflateEnd(&m_extraction->stream);
    m_extraction.reset();
}

uint32_t CZipReader::Produce(unsigned char* out, uint32_t size, uint32_t& produced)
{
    Extraction& x = *m_extraction;
    produced = 0;
    if (x.method == 0) {
        // Stored: the entry's bytes are copied as they are.
        uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(size, x.remaining));
        if (take && !m_source->ReadAt(x.next, out, take)) return kZipReadFailed;
        x.next += take;
        x.remaining -= take;
        produced = take;
        if (x.remaining == 0) x.finished = true;
        return kZipOk;
    }
    z_stream& s = x.stream;
    s.next_out = out;
    s.avail_out = size;
    while (s.avail_out > 0 && !x.finished) {
        if (s.avail_in == 0 && x.remaining > 0) {
            uInt take = static_cast<uInt>(std::min<uint64_t>(kInputChunk, x.remaining));
            if (!m_source->ReadAt(x.next, x.input.data(), take)) return kZipReadFailed;
            x.next += take;
            x.remaining -= take;
            s.next_in = x.input.data();
            s.avail_in = take;
        }
        uInt before = s.avail_out, inBefore = s.avail_in;
        int status = inflate(&s, Z_NO_FLUSH);
        if (status == Z_STREAM_END) {
            x.finished = true;
        } else if (status != Z_OK && status != Z_BUF_ERROR) {
            return kZipInflateFailed;
        } else if (s.avail_out == before && s.avail_in == inBefore && x.remaining == 0) {
            // No progress and nothing left to read: the stream was cut short.
            return kZipInflateFailed;
        }
    }
    produced = size - s.avail_out;
    return kZipOk;
}

uint32_t CZipReader::Extract(int index, void* buffer, uint32_t size, uint32_t* produced)
{
    if (produced) *produced = 0;
    if (!IsOpen() || index < 0 || index >= EntryCount() || (!buffer && size > 0)) return kZipInvalidArgument;
    if (!m_extraction || m_extraction->index != index) {
        uint32_t begun = BeginExtraction(index);
        if (begun != kZipOk) {
            EndExtraction();
            return begun;
        }
    }
    uint32_t count = 0;
    uint32_t result = m_extraction->finished ? kZipOk : Produce(static_cast<unsigned char*>(buffer), size, count);
    if (result != kZipOk) {
        EndExtraction();
        return result;
    }
    m_extraction->crc = static_cast<uint32_t>(crc32(m_extraction->crc, static_cast<const Bytef*>(buffer), count));
    if (produced) *produced = count;
    // The CRC is kept for callers that want it, but a mismatch is not an
    // error of the extraction.
    if (count > 0) return kZipMore;
    EndExtraction();
    return kZipOk;
}

uint32_t CZipReader::ExtractedCrc() const { return m_extraction ? m_extraction->crc : 0; }

// The opaque handle of the free functions.
struct ZipArchive {
    static const uint32_t kMagic = 0x5A495052;   // "ZIPR"
    uint32_t magic = kMagic;
    CZipReader reader;
};

namespace {

uint32_t g_lastResult = kZipOk;

uint32_t Record(uint32_t result)
{
    g_lastResult = result;
    return result;
}

uint32_t Check(HZIPARCHIVE archive)
{
    if (!archive) return kZipInvalidArgument;
    if (archive->magic != ZipArchive::kMagic) return kZipNotArchiveHandle;
    return kZipOk;
}

}  // namespace

HZIPARCHIVE OpenArchive(const void* source, uint32_t length, int kind)
{
    std::unique_ptr<ZipArchive> archive(new ZipArchive);
    if (Record(archive->reader.Open(source, length, kind)) != kZipOk) return nullptr;
    return archive.release();
}

uint32_t FindEntry(HZIPARCHIVE archive, const wchar_t* name, int* index, ZipEntryInfo* info)
{
    if (uint32_t bad = Check(archive)) return Record(bad);
    if (!index || !info) return Record(kZipInvalidArgument);
    return Record(archive->reader.FindEntry(name, *index, *info));
}

uint32_t GetEntry(HZIPARCHIVE archive, int index, ZipEntryInfo* info)
{
    if (uint32_t bad = Check(archive)) return Record(bad);
    if (!info) return Record(kZipInvalidArgument);
    return Record(archive->reader.GetEntry(index, *info));
}

uint32_t ExtractEntry(HZIPARCHIVE archive, int index, void* buffer, uint32_t size, uint32_t* produced)
{
    if (uint32_t bad = Check(archive)) return Record(bad);
    return Record(archive->reader.Extract(index, buffer, size, produced));
}

uint32_t CloseArchive(HZIPARCHIVE archive)
{
    if (uint32_t bad = Check(archive)) return Record(bad);
    archive->magic = 0;
    delete archive;
    return Record(kZipOk);
}

uint32_t LastZipResult() { return g_lastResult; }
