#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "diagnostics/Logger.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// The records of a log file, split at CR LF; the header's bare line feeds stay in the first piece.
std::vector<std::wstring> Records(const std::wstring& text)
{
    std::vector<std::wstring> records;
    size_t start = text.find(L'<');
    while (start != std::wstring::npos && start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) break;
        records.push_back(text.substr(start, end - start));
        start = text.find(L"<<", end);
    }
    return records;
}

const int kRecordsPerChild = 2000;

int AppendRecords(const std::vector<std::wstring>& args)
{
    if (args.size() != 2) return 2;
    CLogger log(args[0], L"installer");
    for (int i = 0; i < kRecordsPerChild; ++i) log.Write(Info, nullptr, 0, L"%s record %d", args[1].c_str(), i);
    return log.HasFile() ? 0 : 3;
}
REGISTER_CHILD_ROUTINE(L"append-records", AppendRecords);

}  // namespace

TEST(Logger, WritesHeaderAndRecordLayoutInUtf16)
{
    std::wstring folder = ScratchFolder(L"log-layout");
    {
        CLogger log(folder, L"installer");
        ASSERT_TRUE(log.HasFile());
        EXPECT_EQ(folder + TodayLogName(), log.Path());
        log.Write(Error, nullptr, 0, L"failed to parse the basic configure");
        log.Write(Info, "C:\\src\\app\\installer.cpp", 42, L"value %d and %s", 7, L"文本");
        log.Write(Info, "/work/main/state/SettingManager.cpp", 9, L"forward");
        log.Write(7, nullptr, 0, L"seven");
        log.Write(0, nullptr, 0, L"zero");
        log.SetThreshold(0);
        log.Write(0, nullptr, 0, L"zero again");
    }
    std::wstring text = ReadUtf16(folder + TodayLogName());
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(L"\n\n\n", text.substr(0, 3));
    EXPECT_TRUE(std::regex_search(text, std::wregex(L"^\n\n\nLog begin at:\\d{1,2}:\\d{1,2}:\\d{1,2}\n<<")));

    std::vector<std::wstring> records = Records(text);
    ASSERT_EQ(5u, records.size());
    const std::wstring stamp = L"<<\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}#";
    const std::wstring tid = L">>\\[tid:\\d{5,}\\] ";
    EXPECT_TRUE(std::regex_match(records[0], std::wregex(stamp + L"Error" + tid + L"failed to parse the basic configure")));
    EXPECT_TRUE(std::regex_match(records[1], std::wregex(stamp + L"Info" + tid + L"\\[installer\\.cpp:42\\] value 7 and 文本")));
    EXPECT_TRUE(std::regex_match(records[2], std::wregex(stamp + L"Info" + tid + L"\\[SettingManager\\.cpp:9\\] forward")));
    EXPECT_TRUE(std::regex_match(records[3], std::wregex(stamp + L"Error" + tid + L"seven")));
    // Level 0 is below the initial threshold of 1 and shows only once the threshold is lowered.
    EXPECT_TRUE(std::regex_match(records[4], std::wregex(stamp + L"Debug" + tid + L"zero again")));
}

TEST(Logger, ThresholdDropsLowerLevels)
{
    std::wstring folder = ScratchFolder(L"log-threshold");
    {
        CLogger log(folder, L"installer");
        log.SetThreshold(2);
        log.Write(Debug, nullptr, 0, L"debug");
        log.Write(Info, nullptr, 0, L"info");
        log.Write(Error, nullptr, 0, L"error");
        log.SetThreshold(4);
        log.Write(Error, nullptr, 0, L"silenced");
    }
    std::vector<std::wstring> records = Records(ReadUtf16(folder + TodayLogName()));
    ASSERT_EQ(2u, records.size());
    EXPECT_NE(std::wstring::npos, records[0].find(L"#Info>>"));
    EXPECT_NE(std::wstring::npos, records[1].find(L"#Error>>"));
}

TEST(Logger, LongMessageIsCutAndStillEndsTheLine)
{
    std::wstring folder = ScratchFolder(L"log-long");
    std::wstring message(6000, L'x');
    {
        CLogger log(folder, L"installer");
        log.Write(Info, "a\\b.cpp", 1, L"%s", message.c_str());
        log.Write(Info, nullptr, 0, L"after");
    }
    std::wstring text = ReadUtf16(folder + TodayLogName());
    size_t first = text.find(L"<<");
    size_t end = text.find(L"\r\n", first);
    ASSERT_NE(std::wstring::npos, end);
    size_t recordLength = end + 2 - first;
    EXPECT_LE(recordLength, 4999u);
    EXPECT_GE(recordLength, 4990u);
    EXPECT_EQ(L'x', text[end - 1]);
    EXPECT_NE(std::wstring::npos, text.find(L"after\r\n"));
}

TEST(Logger, PathThatDoesNotFitLeavesTheLogSilent)
{
    std::wstring folder = ScratchFolder(L"log-deep") + std::wstring(240, L'd') + L"\\";
    CLogger log(folder, L"installer");
    EXPECT_FALSE(log.HasFile());
    log.Write(Error, nullptr, 0, L"nothing happens");
}

TEST(Logger, TwoProcessesAppendToOneFile)
{
    std::wstring folder = ScratchFolder(L"log-two");
    ChildProcess first(ChildCommandLine(L"append-records", {folder, L"first"}));
    ChildProcess second(ChildCommandLine(L"append-records", {folder, L"second"}));
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(0u, first.Wait(30000));
    EXPECT_EQ(0u, second.Wait(30000));
    std::wstring text = ReadUtf16(folder + TodayLogName());
    size_t headers = 0;
    for (size_t at = text.find(L"Log begin at:"); at != std::wstring::npos; at = text.find(L"Log begin at:", at + 1))
        ++headers;
    EXPECT_EQ(2u, headers);
    std::vector<std::wstring> records = Records(text);
    EXPECT_EQ(2u * kRecordsPerChild, records.size());
    for (const std::wstring& record : records)
        EXPECT_TRUE(std::regex_search(record, std::wregex(L"\\] (first|second) record \\d+$"))) << record.c_str();
}

TEST(Logger, SourceNameTakesTheLastPathPart)
{
    EXPECT_STREQ("x.cpp", CLogger::SourceName("C:\\a\\b/x.cpp"));
    EXPECT_STREQ("x.cpp", CLogger::SourceName("a/b\\x.cpp"));
    EXPECT_STREQ("x.cpp", CLogger::SourceName("x.cpp"));
}
