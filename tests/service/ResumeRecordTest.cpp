// Judging what a cut download kept and the server's answer to the request
// for the rest, on plain strings.

#include <gtest/gtest.h>

#include "service/ResumeRecord.h"

namespace {

TEST(ResumeRecord, WritesAndReadsBackOneLineEach)
{
    ResumeRecord record{L"https://h/\u5b89\u88c5.exe?a=1", L"\"abc\"", 8589934592ULL};
    std::string text = WriteResumeRecord(record);
    EXPECT_EQ("https://h/\xe5\xae\x89\xe8\xa3\x85.exe?a=1\n\"abc\"\n8589934592\n", text);
    ResumeRecord read;
    ASSERT_TRUE(ReadResumeRecord(text, read));
    EXPECT_EQ(record.url, read.url);
    EXPECT_EQ(record.validator, read.validator);
    EXPECT_EQ(record.total, read.total);

    // A line break inside a value would shift the lines.
    EXPECT_EQ("", WriteResumeRecord(ResumeRecord{L"u\r\nX: y", L"\"a\"", 1}));
    EXPECT_EQ("", WriteResumeRecord(ResumeRecord{L"u", L"\"a\"\n", 1}));
    for (const char* bad : {"", "u\n\"a\"\n", "u\n\"a\"\n12", "u\n\"a\"\n12\nmore\n", "\n\"a\"\n1\n", "u\n\n1\n",
                            "u\n\"a\"\n-1\n", "u\n\"a\"\n1x\n", "u\n\"a\"\n99999999999999999999\n", "u\r\n\"a\"\n1\n"}) {
        ResumeRecord kept{L"kept", L"kept", 7};
        EXPECT_FALSE(ReadResumeRecord(bad, kept)) << bad;
        EXPECT_EQ(L"kept", kept.url) << bad;
    }
}

TEST(ResumeRecord, ValidatorIsAStrongETagOrLastModified)
{
    struct {
        const wchar_t* headers;
        const wchar_t* validator;
    } rows[] = {
        {L"HTTP/1.1 200 OK\r\nETag: \"v1\"\r\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n", L"\"v1\""},
        {L"HTTP/1.1 200 OK\r\netag:   \"v1\"  \r\n", L"\"v1\""},
        // A weak tag vouches for the meaning, not for every byte.
        {L"HTTP/1.1 200 OK\r\nETag: W/\"v1\"\r\nLast-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\n",
         L"Tue, 01 Dec 2026 10:00:00 GMT"},
        {L"HTTP/1.1 200 OK\r\nETag: v1\r\n", L""},
        {L"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", L""},
        {L"", L""},
    };
    for (const auto& row : rows) EXPECT_EQ(row.validator, ValidatorOf(row.headers)) << row.headers;
}

TEST(ResumeRecord, ContentRangeMustBeWholeNumbersInsideTheFile)
{
    struct {
        const wchar_t* value;
        bool ok;
        uint64_t first, last, total;
    } rows[] = {
        {L"bytes 100-199/200", true, 100, 199, 200},
        {L"bytes 0-0/1", true, 0, 0, 1},
        {L"bytes 5000000000-5000000009/5000000010", true, 5000000000ULL, 5000000009ULL, 5000000010ULL},
        {L"bytes 100-199/*", false, 0, 0, 0},
        {L"bytes */200", false, 0, 0, 0},
        {L"bytes 100-200/200", false, 0, 0, 0},
        {L"bytes 200-100/300", false, 0, 0, 0},
        {L"bytes -5-9/10", false, 0, 0, 0},
        {L"items 1-2/3", false, 0, 0, 0},
        {L"", false, 0, 0, 0},
    };
    for (const auto& row : rows) {
        ContentRange range;
        EXPECT_EQ(row.ok, ParseContentRange(row.value, range)) << row.value;
        if (row.ok) {
            EXPECT_EQ(row.first, range.first) << row.value;
            EXPECT_EQ(row.last, range.last) << row.value;
            EXPECT_EQ(row.total, range.total) << row.value;
        }
    }
}

TEST(ResumeRecord, OnlyTheExactRestOfTheSameFileContinuesIt)
{
    ResumeRecord kept{L"https://h/a.exe", L"\"v1\"", 200};
    EXPECT_EQ(L"Range: bytes=100-\r\nIf-Range: \"v1\"\r\n", RangeRequestHeaders(100, kept.validator));
    EXPECT_EQ(L"", RangeRequestHeaders(100, L"\"v1\"\r\nX: y"));
    struct {
        const wchar_t* headers;
        bool continues;
    } rows[] = {
        {L"HTTP/1.1 206 Partial\r\nETag: \"v1\"\r\nContent-Range: bytes 100-199/200\r\n", true},
        {L"HTTP/1.1 206 Partial\r\nETag: \"v2\"\r\nContent-Range: bytes 100-199/200\r\n", false},
        {L"HTTP/1.1 206 Partial\r\nContent-Range: bytes 100-199/200\r\n", false},
        {L"HTTP/1.1 206 Partial\r\nETag: \"v1\"\r\nContent-Range: bytes 101-199/200\r\n", false},
        {L"HTTP/1.1 206 Partial\r\nETag: \"v1\"\r\nContent-Range: bytes 100-149/200\r\n", false},
        {L"HTTP/1.1 206 Partial\r\nETag: \"v1\"\r\nContent-Range: bytes 100-299/300\r\n", false},
        {L"HTTP/1.1 206 Partial\r\nETag: \"v1\"\r\n", false},
    };
    for (const auto& row : rows) EXPECT_EQ(row.continues, ContinuesPartial(kept, 100, row.headers)) << row.headers;
    // A part kept without a known length takes the length the server names now.
    ResumeRecord unknown{L"https://h/a.exe", L"\"v1\"", 0};
    EXPECT_TRUE(ContinuesPartial(unknown, 100, L"ETag: \"v1\"\r\nContent-Range: bytes 100-299/300\r\n"));
    ResumeRecord byDate{L"https://h/a.exe", L"Tue, 01 Dec 2026 10:00:00 GMT", 200};
    EXPECT_TRUE(ContinuesPartial(
        byDate, 100, L"Last-Modified: Tue, 01 Dec 2026 10:00:00 GMT\r\nContent-Range: bytes 100-199/200\r\n"));
    EXPECT_FALSE(ContinuesPartial(
        byDate, 100, L"Last-Modified: Wed, 02 Dec 2026 10:00:00 GMT\r\nContent-Range: bytes 100-199/200\r\n"));
}

}  // namespace
