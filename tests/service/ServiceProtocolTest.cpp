// The service's request and reply rules on plain strings.

#include <gtest/gtest.h>

#include "service/ServiceProtocol.h"

namespace {

TEST(PercentEncode, EveryByteOutsideUnreservedIsEncoded)
{
    struct {
        std::string in, out;
    } rows[] = {
        {"3.2", "3.2"},
        {"a-b_c.d~e", "a-b_c.d~e"},
        {"3.2 beta", "3.2%20beta"},
        {"a&b=c#d+e/f?g%h", "a%26b%3Dc%23d%2Be%2Ff%3Fg%25h"},
        {u8"\u6b63\u5f0f\u7248", "%E6%AD%A3%E5%BC%8F%E7%89%88"},
        {"", ""},
        {std::string("\0\x7f", 2), "%00%7F"},
    };
    for (const auto& row : rows) EXPECT_EQ(row.out, PercentEncode(row.in)) << row.in;
}

TEST(BuildDownloadInfoPath, EncodesTheVersionAndRefusesOverlongQueries)
{
    std::wstring path;
    ASSERT_TRUE(BuildDownloadInfoPath(L"3.2 \u6b63\u5f0f\u7248 &#+", path));
    EXPECT_EQ(L"/v1/getDownloadInfo?orderId=predownload&version=3.2%20%E6%AD%A3%E5%BC%8F%E7%89%88%20%26%23%2B",
              path);

    // The query's fixed part is 28 characters; the encoded version fills the rest.
    const size_t room = kMaxQueryLength - std::string("orderId=predownload&version=").size();
    EXPECT_TRUE(BuildDownloadInfoPath(std::wstring(room, L'v'), path));
    EXPECT_EQ(20 + kMaxQueryLength, path.size());
    std::wstring kept = path;
    EXPECT_FALSE(BuildDownloadInfoPath(std::wstring(room + 1, L'v'), path));
    EXPECT_EQ(kept, path);
    // Each of these encodes to nine characters.
    EXPECT_TRUE(BuildDownloadInfoPath(std::wstring(room / 9, L'\u7248'), path));
    EXPECT_FALSE(BuildDownloadInfoPath(std::wstring(room / 9 + 1, L'\u7248'), path));
    // Far beyond the old 200-unit buffer and still whole.
    EXPECT_TRUE(BuildDownloadInfoPath(std::wstring(600, L'x'), path));
    EXPECT_EQ(std::wstring(600, L'x'), path.substr(path.size() - 600));
}

TEST(IsSafeFileName, OnlyPlainNamesInsideTheFolder)
{
    struct {
        std::wstring name;
        bool safe;
    } rows[] = {
        {L"sample_installer.exe", true},
        {L"\u6674\u5ddd\u770b\u56fe 3.2.exe", true},
        {L"setup (1).exe", true},
        {L"..\\evil.exe", false},
        {L"../evil.exe", false},
        {L"sub\\a.exe", false},
        {L"C:evil.exe", false},
        {L"a.exe:stream", false},
        {L".", false},
        {L"..", false},
        {L"", false},
        {L"a\tb.exe", false},
        {std::wstring(L"a\nb.exe"), false},
        {L"setup.exe.", false},
        {L"setup.exe ", false},
        {L"CON", false},
        {L"con.exe", false},
        {L"Nul.txt", false},
        {L"aux", false},
        {L"PRN.tar.gz", false},
        {L"COM1.exe", false},
        {L"lpt9", false},
        {L"COM\u00b9.exe", false},
        {L"com\u00b2", false},
        {L"LPT\u00b3.txt", false},
        {L"lpt\u00b9", false},
        {L"CONIN$", false},
        {L"conout$.exe", false},
        {L"CONIN$x.exe", true},
        {L"setup\u0085.exe", false},
        {L"\u009fsetup.exe", false},
        {L"setup\u0080.exe", false},
        {L"setup\u00a0.exe", true},
        {L"COM\u2074.exe", true},
        {L"COM0.exe", true},
        {L"COM10.exe", true},
        {L"CONSOLE.exe", true},
        {std::wstring(200, L'a'), true},
        {std::wstring(201, L'a'), false},
    };
    for (const auto& row : rows) EXPECT_EQ(row.safe, IsSafeFileName(row.name)) << row.name.size();
}

TEST(ParseServiceReply, EnvelopeMembersMustExistAndBeReadable)
{
    struct {
        std::string body;
        ReplyParse result;
        int error;
        std::wstring msg;
    } rows[] = {
        {"{\"error\": 0, \"msg\": \"\", \"data\": {\"filename\": \"a\"}}", ReplyParse::Ok, 0, L""},
        {"{\"error\": 7, \"msg\": \"\u65e0\", \"data\": null}", ReplyParse::Ok, 7, L"\u65e0"},
        {"{\"error\": 0, \"data\": {}}", ReplyParse::FieldLacked, 0, L""},
        {"{\"msg\": \"\", \"data\": {}}", ReplyParse::FieldLacked, 0, L""},
        {"{\"error\": 0, \"msg\": \"\"}", ReplyParse::FieldLacked, 0, L""},
        {"[{\"error\": 0, \"msg\": \"\", \"data\": {}}]", ReplyParse::NotJson, 0, L""},
        {"<html>gateway</html>", ReplyParse::NotJson, 0, L""},
        {"", ReplyParse::NotJson, 0, L""},
        {"{\"error\": {}, \"msg\": \"\", \"data\": {}}", ReplyParse::NotJson, 0, L""},
        {"{\"error\": \"0\", \"msg\": \"\", \"data\": {}}", ReplyParse::NotJson, 0, L""},
        {"{\"error\": 0, \"msg\": [1], \"data\": {}}", ReplyParse::NotJson, 0, L""},
        {"{\"error\": 1e300, \"msg\": \"\", \"data\": {}}", ReplyParse::NotJson, 0, L""},
        // The reader throws past 1000 levels; a hostile reply fails like any other.
        {"{\"error\": 0, \"msg\": \"\", \"data\": " + std::string(1001, '[') + std::string(1001, ']') + "}",
         ReplyParse::NotJson, 0, L""},
        {std::string(100000, '['), ReplyParse::NotJson, 0, L""},
    };
    for (const auto& row : rows) {
        ServiceReply reply;
        EXPECT_EQ(row.result, ParseServiceReply(row.body, reply)) << row.body;
        if (row.result != ReplyParse::Ok) continue;
        EXPECT_EQ(row.error, reply.error) << row.body;
        EXPECT_EQ(row.msg, reply.msg) << row.body;
    }
    ServiceReply reply;
    ASSERT_EQ(ReplyParse::Ok,
              ParseServiceReply("{\"error\":0,\"msg\":\"\",\"data\":{\"fileurl\":\"u\"}}", reply));
    EXPECT_EQ("u", reply.data["fileurl"].asString());
}

TEST(ReadDownloadInfo, NeedsTextMembersAndASafeName)
{
    struct {
        const char* data;
        DownloadInfoRead result;
    } rows[] = {
        {"{\"filename\": \"a.exe\", \"fileurl\": \"https://h/a.exe\"}", DownloadInfoRead::Ok},
        {"{\"filename\": \"a.exe\"}", DownloadInfoRead::FormatWrong},
        {"{\"filename\": {}, \"fileurl\": \"u\"}", DownloadInfoRead::FormatWrong},
        {"[\"filename\", \"fileurl\"]", DownloadInfoRead::FormatWrong},
        {"{\"filename\": \"\", \"fileurl\": \"u\"}", DownloadInfoRead::Empty},
        {"{\"filename\": \"a.exe\", \"fileurl\": null}", DownloadInfoRead::Empty},
        {"{\"filename\": \"..\\\\a.exe\", \"fileurl\": \"u\"}", DownloadInfoRead::UnsafeName},
    };
    for (const auto& row : rows) {
        ServiceReply reply;
        ASSERT_EQ(ReplyParse::Ok, ParseServiceReply(std::string("{\"error\":0,\"msg\":\"\",\"data\":") +
                                                        row.data + "}", reply)) << row.data;
        std::wstring name = L"kept", url = L"kept";
        EXPECT_EQ(row.result, ReadDownloadInfo(reply.data, name, url)) << row.data;
        bool ok = row.result == DownloadInfoRead::Ok;
        EXPECT_EQ(ok ? L"a.exe" : L"kept", name) << row.data;
        EXPECT_EQ(ok ? L"https://h/a.exe" : L"kept", url) << row.data;
    }
}

TEST(ReadDownloadInfo, OptionalSizeAndDigestAreReadOrRefused)
{
    const std::string digest = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    std::string upper = digest;
    for (char& c : upper)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    const std::string base = "\"filename\": \"a.exe\", \"fileurl\": \"https://h/a.exe\"";
    struct {
        std::string members;
        DownloadInfoRead result;
        bool hasSize;
        uint64_t size;
        std::string sha256;
    } rows[] = {
        // Neither: nothing to check, exactly as before.
        {"", DownloadInfoRead::Ok, false, 0, ""},
        {", \"md5\": \"x\", \"size_kb\": 3", DownloadInfoRead::Ok, false, 0, ""},
        {", \"size\": 1234", DownloadInfoRead::Ok, true, 1234, ""},
        {", \"size\": 0", DownloadInfoRead::Ok, true, 0, ""},
        {", \"size\": 8589934592", DownloadInfoRead::Ok, true, 8589934592ULL, ""},
        {", \"sha256\": \"" + digest + "\"", DownloadInfoRead::Ok, false, 0, digest},
        {", \"sha256\": \"" + upper + "\", \"size\": 3", DownloadInfoRead::Ok, true, 3, digest},
        // Present but unusable: the file could not be checked as promised.
        {", \"size\": \"1234\"", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"size\": -1", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"size\": 1.5", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"size\": null", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"size\": true", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"sha256\": \"" + digest.substr(1) + "\"", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"sha256\": \"" + digest.substr(1) + "g\"", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"sha256\": \"\"", DownloadInfoRead::CheckMalformed, false, 0, ""},
        {", \"sha256\": 12", DownloadInfoRead::CheckMalformed, false, 0, ""},
    };
    for (const auto& row : rows) {
        std::string data = "{" + base + row.members + "}";
        ServiceReply reply;
        ASSERT_EQ(ReplyParse::Ok,
                  ParseServiceReply("{\"error\":0,\"msg\":\"\",\"data\":" + data + "}", reply))
            << data;
        std::wstring name, url;
        FileCheck check;
        check.size = 99;
        EXPECT_EQ(row.result, ReadDownloadInfo(reply.data, name, url, check)) << data;
        if (row.result != DownloadInfoRead::Ok) {
            EXPECT_TRUE(name.empty()) << data;
            EXPECT_EQ(99u, check.size) << data;
            continue;
        }
        EXPECT_EQ(row.hasSize, check.hasSize) << data;
        if (row.hasSize) {
            EXPECT_EQ(row.size, check.size) << data;
        }
        EXPECT_EQ(row.sha256, check.sha256) << data;
        EXPECT_EQ(row.hasSize || !row.sha256.empty(), check.Any()) << data;
    }
}

TEST(BuildEventBody, WriterDefaultForm)
{
    EXPECT_EQ("{\n\t\"ct\" : 1700000000000,\n\t\"evt\" : \"software_activation\",\n"
              "\t\"host\" : \n\t{\n\t\t\"os\" : \"10.0.19045\"\n\t}\n}",
              BuildEventBody("software_activation", 1700000000000LL, "10.0.19045"));
}

}  // namespace
