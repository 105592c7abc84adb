// Starts the real setup.exe the way a user does and looks at what it leaves.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <json/json.h>

#include "diagnostics/ModuleResource.h"
#include "diagnostics/StringConvert.h"
#include "state/JsonValue.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// The UI settings resource of the built executable, read as a data file.
Json::Value SetupSettings()
{
    Json::Value root;
    HMODULE module = LoadLibraryExW(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return root;
    ParseJson(FindModuleResource(module, MAKEINTRESOURCEW(133), L"Json").Bytes(), root);
    FreeLibrary(module);
    return root;
}

std::wstring Other(const char* key)
{
    return Utf8ToWide(SetupSettings()[WideToUtf8(L"其它")][key].asString());
}

std::wstring WorkFolder()
{
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::wstring(local) + L"\\Vantorie" + Other(WideToUtf8(L"产品标识").c_str()) + L"\\";
}

std::wstring TodayLog()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[64];
    swprintf(name, 64, L"installer.%04d%02d%02d.log", now.wYear, now.wMonth, now.wDay);
    return WorkFolder() + L"Log\\" + name;
}

DWORD RunSetup()
{
    ProcessResult result = RunProcess(L"\"" + SetupExePath() + L"\"", 60000);
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    return result.exitCode;
}

size_t Count(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveTree(WorkFolder()); }
    void TearDown() override { RemoveTree(WorkFolder()); }

    void WriteConfig(const std::string& content)
    {
        CreateDirectoryW(WorkFolder().c_str(), nullptr);
        CreateDirectoryW((WorkFolder() + L"Configs").c_str(), nullptr);
        WriteBytes(WorkFolder() + L"Configs\\configs.json", content);
    }
};

}  // namespace

TEST_F(StartupTest, SampleProductSettingsAreComplete)
{
    EXPECT_EQ(L"sample.viewer", Other(WideToUtf8(L"产品标识").c_str()));
    std::wstring appId = Other("APPID");
    ASSERT_EQ(38u, appId.size());
    EXPECT_EQ(L'{', appId.front());
    EXPECT_EQ(L'}', appId.back());
}

TEST_F(StartupTest, CreatesTheWorkingFolderAndTheDaysLog)
{
    EXPECT_EQ(0u, RunSetup());
    for (const wchar_t* sub : {L"Log", L"Configs", L"dump"})
        EXPECT_TRUE(Exists(WorkFolder() + sub)) << sub;
    std::wstring text = ReadUtf16(TodayLog());
    EXPECT_EQ(0u, text.find(L"\n\n\nLog begin at:"));
    // Without a configuration file the threshold is Info.
    EXPECT_EQ(1u, Count(text, L"#Info>>"));
    EXPECT_EQ(1u, Count(text, L"[installer.cpp:"));
    EXPECT_NE(std::wstring::npos, text.find(L"successful to set ui zip resource\r\n"));

    // A second start on the same day appends with its own header.
    EXPECT_EQ(0u, RunSetup());
    text = ReadUtf16(TodayLog());
    EXPECT_EQ(2u, Count(text, L"Log begin at:"));
    EXPECT_EQ(2u, Count(text, L"successful to set ui zip resource"));
}

TEST_F(StartupTest, ConfigurationFileSetsTheThreshold)
{
    WriteConfig("{\"log_level\": 3}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"#Info>>"));

    WriteConfig("{\"log_level\": 4}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"<<"));

    WriteConfig("{\"log_level\": 1}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(1u, Count(ReadUtf16(TodayLog()), L"#Info>>"));
}

TEST_F(StartupTest, ArchiveSwitchOffSkipsTheSkinResource)
{
    WriteConfig("{\"load_resource_from_zip\": 0}");
    EXPECT_EQ(0u, RunSetup());
    EXPECT_EQ(0u, Count(ReadUtf16(TodayLog()), L"successful to set ui zip resource"));
}

TEST_F(StartupTest, SecondInstanceIsRefusedWithAMessageBox)
{
    HANDLE mutex = CreateMutexW(nullptr, TRUE, Other("APPID").c_str());
    ASSERT_NE(nullptr, mutex);
    ASSERT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());

    ChildProcess setup(L"\"" + SetupExePath() + L"\"");
    ASSERT_TRUE(setup.Started());
    HWND box = WaitForWindow(setup.Id(), L"提示", 30000);
    ASSERT_NE(nullptr, box);
    wchar_t text[64] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 64);
    EXPECT_STREQ(L"程序已经在运行", text);
    // Still waiting for the user.
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), setup.Wait(300));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, setup.Wait(30000));
    CloseHandle(mutex);
    EXPECT_FALSE(Exists(WorkFolder()));
}
