#include "ui/core/ZipReader.h"

#include "UiTestData.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using ui_test::ArchivePath;
using ui_test::ExpectedEntries;

struct ArchiveCase {
    const wchar_t* file;
    bool utf8Names;   // the maker marks non-ASCII names as UTF-8 (bit 11)
};

// Three real zip writers; stored and deflated entries, data descriptors
// (cmake always, Info-ZIP when writing to a pipe) and a prepended stub.
const ArchiveCase kArchives[] = {
    {L"python_deflated.zip", true}, {L"python_stored.zip", true}, {L"python_stub.zip", true},
    {L"cmake_tar.zip", true},       {L"infozip.zip", false},      {L"infozip_stored.zip", false},
    {L"infozip_stream.zip", false},
};

// Extracts an entry whole through repeated calls with a buffer of chunk bytes.
std::string ExtractAll(HZIPARCHIVE archive, int index, uint32_t chunk, uint32_t& calls)
{
    std::string out;
    std::string buffer(chunk, '\0');
    calls = 0;
    for (;;) {
        uint32_t produced = 0;
        uint32_t result = ExtractEntry(archive, index, &buffer[0], chunk, &produced);
        ++calls;
        if (result == kZipOk) {
            EXPECT_EQ(0u, produced);
            return out;
        }
        EXPECT_EQ(kZipMore, result);
        if (result != kZipMore || calls > 100000) return out;
        out.append(buffer, 0, produced);
    }
}

class ArchiveTest : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchiveTest, EveryEntryIsFoundAndExtractsToItsBytes)
{
    const ArchiveCase& c = GetParam();
    std::string bytes = testing_support::ReadBytes(ArchivePath(c.file));
    ASSERT_FALSE(bytes.empty());
    HZIPARCHIVE archive = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory);
    ASSERT_NE(nullptr, archive) << LastZipResult();

    ZipEntryInfo info;
    ASSERT_EQ(kZipOk, GetEntry(archive, -1, &info));
    EXPECT_EQ(static_cast<int>(ExpectedEntries().size()), info.index);
    EXPECT_EQ(0u, info.uncompressedSize);

    for (const ui_test::ExpectedEntry& entry : ExpectedEntries()) {
        bool ascii = entry.name.find_first_not_of(L"abcdefghijklmnopqrstuvwxyz_./") == std::wstring::npos;
        if (!ascii && !c.utf8Names) continue;
        int index = -1;
        ASSERT_EQ(kZipOk, FindEntry(archive, entry.name.c_str(), &index, &info)) << entry.name;
        EXPECT_EQ(kZipOk, LastZipResult());
        EXPECT_EQ(index, info.index);
        EXPECT_EQ(entry.name, std::wstring(info.name));
        EXPECT_EQ(entry.bytes.size(), info.uncompressedSize) << entry.name;
        EXPECT_EQ(0u, info.attributes & kZipAttrDirectory);
        EXPECT_NE(0u, info.writeTime);

        // One call with the exact size fills the buffer, the next finishes.
        std::string out(info.uncompressedSize, '\0');
        uint32_t produced = 0;
        uint32_t first = ExtractEntry(archive, index, out.empty() ? nullptr : &out[0], info.uncompressedSize, &produced);
        EXPECT_EQ(entry.bytes.empty() ? kZipOk : kZipMore, first) << entry.name;
        EXPECT_EQ(entry.bytes.size(), produced);
        EXPECT_TRUE(out == entry.bytes) << entry.name;
        if (!entry.bytes.empty()) {
            EXPECT_EQ(kZipOk, ExtractEntry(archive, index, &out[0], 1, &produced));
        }
    }

    // Small buffers see the same bytes in pieces.
    int index = -1;
    ASSERT_EQ(kZipOk, FindEntry(archive, L"window.xml", &index, &info));
    uint32_t calls = 0;
    EXPECT_TRUE(ExtractAll(archive, index, 100, calls) == ui_test::ExpectedBytes(L"window.xml"));
    EXPECT_EQ((info.uncompressedSize + 99) / 100 + 1, calls);

    EXPECT_EQ(kZipOk, CloseArchive(archive));
}

TEST_P(ArchiveTest, LookupsFoldAsciiCaseAndSeparators)
{
    const ArchiveCase& c = GetParam();
    std::wstring path = ArchivePath(c.file);
    HZIPARCHIVE archive = OpenArchive(path.c_str(), 0, kZipFile);
    ASSERT_NE(nullptr, archive) << LastZipResult();
    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(kZipOk, FindEntry(archive, L"images\\Close.PNG", &index, &info));
    EXPECT_STREQ(L"images/close.png", info.name);
    EXPECT_EQ(kZipOk, FindEntry(archive, L"WINDOW.XML", &index, &info));
    if (c.utf8Names) {
        EXPECT_EQ(kZipOk, FindEntry(archive, L"\u56FE\u7247\\\u5173\u95ED\u6309\u94AE.PNG", &index, &info));
        EXPECT_STREQ(L"\u56FE\u7247/\u5173\u95ED\u6309\u94AE.png", info.name);
    }
    // Only a to z fold: a name that differs outside ASCII letters is another name.
    EXPECT_EQ(kZipNotFound, FindEntry(archive, L"window.xm", &index, &info));
    EXPECT_EQ(kZipNotFound, LastZipResult());
    EXPECT_EQ(-1, index);
    EXPECT_EQ(kZipNotFound, FindEntry(archive, L"images/close.png ", &index, &info));
    EXPECT_EQ(kZipInvalidArgument, FindEntry(archive, std::wstring(256, L'a').c_str(), &index, &info));
    EXPECT_EQ(kZipNotFound, FindEntry(archive, std::wstring(255, L'a').c_str(), &index, &info));
    EXPECT_EQ(kZipOk, CloseArchive(archive));
}

std::string ArchiveName(const ::testing::TestParamInfo<ArchiveCase>& info)
{
    std::string name;
    for (const wchar_t* c = info.param.file; *c && *c != L'.'; ++c) name.push_back(static_cast<char>(*c));
    return name;
}

INSTANTIATE_TEST_SUITE_P(RealWriters, ArchiveTest, ::testing::ValuesIn(kArchives), ArchiveName);

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE && m_handle) CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

TEST(ZipReaderTest, FileHandleIsDuplicatedAndMustBeADiskFile)
{
    std::wstring path = ArchivePath(L"cmake_tar.zip");
    HZIPARCHIVE archive = nullptr;
    {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
        archive = OpenArchive(file.Get(), 0, kZipHandle);
        ASSERT_NE(nullptr, archive) << LastZipResult();
    }
    // The caller's handle is closed; the reader's own copy still reads.
    int index = -1;
    ZipEntryInfo info;
    ASSERT_EQ(kZipOk, FindEntry(archive, L"progress.xml", &index, &info));
    std::string out(info.uncompressedSize, '\0');
    EXPECT_EQ(kZipMore, ExtractEntry(archive, index, &out[0], info.uncompressedSize));
    EXPECT_TRUE(out == ui_test::ExpectedBytes(L"progress.xml"));
    EXPECT_EQ(kZipOk, CloseArchive(archive));

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, nullptr, 0));
    FileHandle reading(readEnd), writing(writeEnd);
    EXPECT_EQ(nullptr, OpenArchive(reading.Get(), 0, kZipHandle));
    EXPECT_EQ(kZipNotDiskFile, LastZipResult());
    EXPECT_EQ(nullptr, OpenArchive(reinterpret_cast<void*>(static_cast<intptr_t>(0x7FFC)), 0, kZipHandle));
    EXPECT_EQ(kZipDuplicateFailed, LastZipResult());
}

TEST(ZipReaderTest, NamesWithoutTheUtf8BitAreInTheAnsiCodePage)
{
    // Info-ZIP stored the raw byte E9 without bit 11: in code page 1252 that
    // is e with an acute accent, and its UTF-8 form C3 A9 is another name.
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP();
    std::wstring path = ArchivePath(L"infozip_ansi.zip");
    HZIPARCHIVE archive = OpenArchive(path.c_str(), 0, kZipFile);
    ASSERT_NE(nullptr, archive) << LastZipResult();
    ZipEntryInfo info;
    ASSERT_EQ(kZipOk, GetEntry(archive, 0, &info));
    EXPECT_STREQ(L"caf\u00E9.png", info.name);
    int index = -1;
    EXPECT_EQ(kZipOk, FindEntry(archive, L"CAF\u00E9.png", &index, &info));
    EXPECT_EQ(0, index);
    // Only a to z fold.
    EXPECT_EQ(kZipNotFound, FindEntry(archive, L"caf\u00C9.png", &index, &info));
    EXPECT_EQ(kZipOk, CloseArchive(archive));
}

TEST(ZipReaderTest, BadArgumentsGiveTheirResultCodes)
{
    EXPECT_EQ(nullptr, OpenArchive(L"Z:\\no\\such\\archive.zip", 0, kZipFile));
    EXPECT_EQ(kZipOpenFailed, LastZipResult());
    EXPECT_EQ(nullptr, OpenArchive("PK", 2, 7));
    EXPECT_EQ(kZipInvalidArgument, LastZipResult());
    EXPECT_EQ(nullptr, OpenArchive(nullptr, 0, kZipMemory));
    EXPECT_EQ(kZipInvalidArgument, LastZipResult());

    ZipEntryInfo info;
    int index = 0;
    EXPECT_EQ(kZipInvalidArgument, FindEntry(nullptr, L"a", &index, &info));
    EXPECT_EQ(kZipInvalidArgument, CloseArchive(nullptr));
    uint32_t notAnArchive[64] = {0x12345678};
    HZIPARCHIVE fake = reinterpret_cast<HZIPARCHIVE>(notAnArchive);
    EXPECT_EQ(kZipNotArchiveHandle, FindEntry(fake, L"a", &index, &info));
    EXPECT_EQ(kZipNotArchiveHandle, ExtractEntry(fake, 0, nullptr, 0));
    EXPECT_EQ(kZipNotArchiveHandle, LastZipResult());

    std::string bytes = testing_support::ReadBytes(ArchivePath(L"python_deflated.zip"));
    HZIPARCHIVE archive = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory);
    ASSERT_NE(nullptr, archive);
    char buffer[16];
    EXPECT_EQ(kZipInvalidArgument, ExtractEntry(archive, 7, buffer, sizeof buffer));
    EXPECT_EQ(kZipInvalidArgument, ExtractEntry(archive, -1, buffer, sizeof buffer));
    EXPECT_EQ(kZipInvalidArgument, GetEntry(archive, 7, &info));
    EXPECT_EQ(kZipOk, CloseArchive(archive));

    CZipReader reader;
    ASSERT_EQ(kZipOk, reader.Open(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory));
    EXPECT_EQ(kZipAlreadyOpen, reader.Open(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory));
    EXPECT_EQ(7, reader.EntryCount());
}

uint32_t Read32(const std::string& bytes, size_t at)
{
    uint32_t value;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint16_t Read16(const std::string& bytes, size_t at)
{
    uint16_t value;
    memcpy(&value, bytes.data() + at, 2);
    return value;
}

void Write32(std::string& bytes, size_t at, uint32_t value) { memcpy(&bytes[at], &value, 4); }

void Write16(std::string& bytes, size_t at, uint16_t value) { memcpy(&bytes[at], &value, 2); }

TEST(ZipReaderTest, CorruptArchivesFailWithResultCodes)
{
    const std::string good = testing_support::ReadBytes(ArchivePath(L"python_deflated.zip"));
    ASSERT_GT(good.size(), 100u);
    const size_t end = good.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(std::string::npos, end);
    const size_t directory = Read32(good, end + 16);

    auto open = [](const std::string& bytes) {
        return OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory);
    };

    // The directory cannot be found or does not fit: the open fails.
    struct Mutation {
        const char* what;
        void (*apply)(std::string& bytes, size_t end, size_t directory);
    } broken[] = {
        {"no end record", [](std::string& b, size_t e, size_t) { b[e] = 'X'; }},
        {"cut before the record", [](std::string& b, size_t e, size_t) { b.resize(e + 10); }},
        {"entry counts differ", [](std::string& b, size_t e, size_t) { Write16(b, e + 8, 6); }},
        {"disk number", [](std::string& b, size_t e, size_t) { Write16(b, e + 4, 1); }},
        {"directory larger than the file", [](std::string& b, size_t e, size_t) { Write32(b, e + 12, 0x7FFFFFF0); }},
        {"offset past the directory", [](std::string& b, size_t e, size_t) { Write32(b, e + 16, static_cast<uint32_t>(e)); }},
        {"header signature", [](std::string& b, size_t, size_t d) { b[d] = 'Q'; }},
        {"name longer than the directory", [](std::string& b, size_t, size_t d) { Write16(b, d + 28, 0xFFFF); }},
        {"more entries than headers", [](std::string& b, size_t e, size_t) { Write16(b, e + 8, 60); Write16(b, e + 10, 60); }},
    };
    for (const Mutation& m : broken) {
        std::string bytes = good;
        m.apply(bytes, end, directory);
        EXPECT_EQ(nullptr, open(bytes)) << m.what;
        EXPECT_EQ(kZipReadFailed, LastZipResult()) << m.what;
    }
    EXPECT_EQ(nullptr, open(std::string("PK\x05\x06", 4)));
    EXPECT_EQ(kZipReadFailed, LastZipResult());

    // A broken local header or data stream fails the extraction only.
    std::string bytes = good;
    Write32(bytes, 0, 0x11111111);   // the local signature of entry 0
    HZIPARCHIVE archive = open(bytes);
    ASSERT_NE(nullptr, archive);
    char buffer[64];
    EXPECT_EQ(kZipCorrupt, ExtractEntry(archive, 0, buffer, sizeof buffer));
    EXPECT_EQ(kZipCorrupt, LastZipResult());
    CloseArchive(archive);

    // Entry 1's local header placed past the end of the archive.
    bytes = good;
    size_t second = directory + 46 + Read16(good, directory + 28) + Read16(good, directory + 30) +
                    Read16(good, directory + 32);
    ASSERT_EQ(0x02014B50u, Read32(bytes, second));
    Write32(bytes, second + 42, static_cast<uint32_t>(end + 5));
    archive = open(bytes);
    ASSERT_NE(nullptr, archive);
    EXPECT_EQ(kZipCorrupt, ExtractEntry(archive, 1, buffer, sizeof buffer));
    // The method in the local header disagrees with the directory.
    bytes = good;
    Write16(bytes, 8, 0);
    CloseArchive(archive);
    archive = open(bytes);
    ASSERT_NE(nullptr, archive);
    EXPECT_EQ(kZipCorrupt, ExtractEntry(archive, 0, buffer, sizeof buffer));
    CloseArchive(archive);

    // Deflated data overwritten with garbage.
    bytes = good;
    size_t data = 30 + 10;   // local header and the name "window.xml"
    for (size_t i = data; i < data + 40; ++i) bytes[i] = static_cast<char>(0xFF);
    archive = open(bytes);
    ASSERT_NE(nullptr, archive);
    std::string out(20000, '\0');
    EXPECT_EQ(kZipInflateFailed, ExtractEntry(archive, 0, &out[0], static_cast<uint32_t>(out.size())));
    EXPECT_EQ(kZipInflateFailed, LastZipResult());
    CloseArchive(archive);
}

TEST(ZipReaderTest, TruncatedDeflateStreamIsAnError)
{
    std::string bytes = testing_support::ReadBytes(ArchivePath(L"python_deflated.zip"));
    size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
    size_t directory = Read32(bytes, end + 16);
    // Entry 0 claims half its compressed size: the stream ends early.
    uint32_t compressed = Read32(bytes, directory + 20);
    Write32(bytes, directory + 20, compressed / 2);
    HZIPARCHIVE archive = OpenArchive(bytes.data(), static_cast<uint32_t>(bytes.size()), kZipMemory);
    ASSERT_NE(nullptr, archive);
    std::string out(Read32(bytes, directory + 24), '\0');
    EXPECT_EQ(kZipInflateFailed, ExtractEntry(archive, 0, &out[0], static_cast<uint32_t>(out.size())));
    CloseArchive(archive);
}

}  // namespace
