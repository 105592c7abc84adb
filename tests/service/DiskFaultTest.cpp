// Faults of the disk, prepared by tests/service/disk_faults.sh as root
// (both need a file system of their own), which names them here through
// the environment:
//   VANTORIE_READONLY_CONFIGS  a configuration folder on a read-only mount,
//                              holding a whole data.json
//   VANTORIE_FULL_TEMP         an empty folder on a 1 MB file system, to be
//                              the temporary folder of an installer download

#include <windows.h>

#include <gtest/gtest.h>

#include "base/JsonValue.h"
#include "base/StringConvert.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "service/DownloadManager.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

TEST(DiskFaults, ReadOnlyConfigurationFolderKeepsTheOldDataWhole)
{
    std::wstring configs = Environment(L"VANTORIE_READONLY_CONFIGS");
    if (configs.empty()) GTEST_SKIP() << "run by disk_faults.sh only";
    testlog::Open();
    std::string before = ReadBytes(configs + L"data.json");
    ASSERT_FALSE(before.empty());

    auto* manager = new CDataManager(configs, L"localhost");
    EXPECT_EQ(L"kept-device", manager->DeviceId());
    size_t failures = testlog::Lines(L"failed to save the data configure file : " + configs).size();
    manager->SetSoftwareVersion(L"4.0");
    // The save fails and says where; the old file stays whole, nothing is
    // left beside it, and the new choice lives on in memory.
    EXPECT_EQ(failures + 1, testlog::Lines(L"failed to save the data configure file : " + configs).size());
    EXPECT_EQ(before, ReadBytes(configs + L"data.json"));
    EXPECT_EQ(std::vector<std::wstring>{L"data.json"}, FilesIn(configs));
    EXPECT_EQ(L"4.0", manager->GetSoftwareVersion());
    Json::Value data;
    ASSERT_TRUE(ParseJson(ReadBytes(configs + L"data.json"), data));
    EXPECT_EQ("3.1", data["software_version"].asString());
}

// A child whose temporary folder is the full one (a temporary folder is
// learnt once per process). The exit code names the first check that failed.
int FullTemporaryFolderRoutine(const std::vector<std::wstring>& args)
{
    g_pLogger = new CLogger(args.at(0), L"installer");
    auto* manager = new CDataManager(args.at(0), L"localhost");
    manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    manager->SetListener(&listener);
    manager->StartInstallerDownload();
    if (!listener.WaitForCompletions(1)) return 3;
    if (listener.Events()[0].value != 0) return 4;
    if (!manager->GetInstallFilePath().empty()) return 5;
    return 0;
}
REGISTER_CHILD_ROUTINE(L"full-temporary-folder", FullTemporaryFolderRoutine);

TEST(DiskFaults, FullTemporaryFolderFailsTheDownloadAndLeavesNothing)
{
    std::wstring temp = Environment(L"VANTORIE_FULL_TEMP");
    if (temp.empty()) GTEST_SKIP() << "run by disk_faults.sh only";
    // Four megabytes for a file system of one: once with the length
    // promised, once without (then only the write itself can tell).
    for (const char* file : {"ok", "nolength"}) {
        ASSERT_TRUE(standin::Reset());
        ASSERT_TRUE(standin::SetBehaviour(std::string("{\"file\": \"") + file +
                                          "\", \"filename\": \"big_installer.exe\", "
                                          "\"fileurl\": \"https://localhost/blob/4000000\"}"));
        ASSERT_TRUE(WriteBytes(temp + L"big_installer.exe", "an earlier installer"));
        std::wstring folder = ScratchFolder(L"full-temp");

        SetEnvironmentVariableW(L"TMP", temp.c_str());
        SetEnvironmentVariableW(L"TEMP", temp.c_str());
        ProcessResult result = RunProcess(ChildCommandLine(L"full-temporary-folder", {folder}), 120000);
        SetEnvironmentVariableW(L"TMP", nullptr);
        SetEnvironmentVariableW(L"TEMP", nullptr);
        EXPECT_TRUE(result.started) << file;
        EXPECT_FALSE(result.timedOut) << file;
        EXPECT_EQ(0u, result.exitCode) << file;
        EXPECT_EQ(1u, standin::RequestsTo("/blob/4000000").size()) << file;

        // Only the earlier installer is there, as it was: no part of the new one.
        EXPECT_EQ(std::vector<std::wstring>{L"big_installer.exe"}, FilesIn(temp)) << file;
        EXPECT_TRUE(ReadBytes(temp + L"big_installer.exe") == "an earlier installer") << file;
        // The log says that the file could not be written, not that the
        // connection fell short.
        std::wstring log = ReadUtf16(folder + TodayLogName());
        size_t at = log.find(L"failed to write the whole file, ");
        EXPECT_NE(std::wstring::npos, at) << file << WideToUtf8(log);
        EXPECT_EQ(std::wstring::npos, log.find(L"failed to download the whole file")) << file;
        if (at != std::wstring::npos)
            printf("%s: %s\n", file, WideToUtf8(log.substr(at, log.find(L"\r\n", at) - at)).c_str());
    }
    standin::Reset();
}

}  // namespace
