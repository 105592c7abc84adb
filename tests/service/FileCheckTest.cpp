// The file checks of a download: the system's SHA-256 and the mark of the
// web's text, on files of this machine.

#include <windows.h>

#include <gtest/gtest.h>

#include "service/FileCheck.h"
#include "service/FileDigest.h"
#include "service/ZoneMark.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TEST(FileDigest, KnownDigestsOfSmallAndChunkCrossingFiles)
{
    std::wstring folder = ScratchFolder(L"digests");
    struct {
        const wchar_t* name;
        std::string content;
        const char* digest;
    } rows[] = {
        {L"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {L"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // Three read chunks' worth: every chunk counts, in order.
        {L"large", std::string(3000000, 'a'), "2a152c894398719c0570f83fac34ac03a0f6e8e474b995c2403aa5434f7b9dd4"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteBytes(folder + row.name, row.content));
        std::string digest = "stale";
        EXPECT_TRUE(CFileDigest::Sha256(folder + row.name, digest));
        EXPECT_EQ(row.digest, digest);
    }
    std::string digest = "stale";
    EXPECT_FALSE(CFileDigest::Sha256(folder + L"absent", digest));
    EXPECT_EQ("", digest);
}

TEST(FileCheck, DigestsAreKeptInLowerCase)
{
    std::string digest = "kept";
    EXPECT_TRUE(NormaliseSha256(std::string(32, 'A') + std::string(32, '9'), digest));
    EXPECT_EQ(std::string(32, 'a') + std::string(32, '9'), digest);
    for (const std::string& bad : {std::string(63, 'a'), std::string(65, 'a'), std::string(63, 'a') + "g",
                                   std::string(63, 'a') + " ", std::string()}) {
        digest = "kept";
        EXPECT_FALSE(NormaliseSha256(bad, digest)) << bad;
        EXPECT_EQ("kept", digest);
    }
}

TEST(ZoneMark, TextNamesTheInternetZoneAndTheSource)
{
    EXPECT_EQ("[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://h/a.exe\r\n", CZoneMark::Text(L"https://h/a.exe"));
    // A URL cannot add lines of its own to the stream.
    EXPECT_EQ("[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://h/a.exeZoneId=0\r\n",
              CZoneMark::Text(L"https://h/a.exe\r\nZoneId=0"));
    EXPECT_EQ("[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://h/\xe5\xae\x89.exe\r\n",
              CZoneMark::Text(L"https://h/\u5b89.exe"));
    EXPECT_EQ(L"C:\\t\\a.exe:Zone.Identifier", CZoneMark::StreamPath(L"C:\\t\\a.exe"));
}

}  // namespace
