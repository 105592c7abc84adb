#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "tests/support/ShellFolderOverride.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

TEST(WorkFolders, SubFoldersLiveInTheProductFolderAndAreCreated)
{
    std::wstring root = ScratchFolder(L"folders-root");
    root.pop_back();
    CWorkFolders folders(root);
    folders.SetProductFolderName(L"Vantoriesample.viewer");
    EXPECT_EQ(root + L"\\Vantoriesample.viewer\\", folders.WorkFolder());
    EXPECT_EQ(root + L"\\Vantoriesample.viewer\\data\\", folders.DataFolder());
    EXPECT_EQ(root + L"\\Vantoriesample.viewer\\Configs\\", folders.ConfigFolder());
    EXPECT_EQ(root + L"\\Vantoriesample.viewer\\Log\\", folders.LogFolder());
    EXPECT_EQ(root + L"\\Vantoriesample.viewer\\dump\\", folders.DumpFolder());
    for (const wchar_t* sub : {L"data", L"Configs", L"Log", L"dump"})
        EXPECT_TRUE(Exists(root + L"\\Vantoriesample.viewer\\" + sub)) << sub;
}

TEST(WorkFolders, EmptyProductIdentifierGivesTheBareVendorFolder)
{
    std::wstring root = ScratchFolder(L"folders-empty");
    root.pop_back();
    CWorkFolders folders(root);
    folders.SetProductFolderName(L"Vantorie" + std::wstring());
    EXPECT_EQ(root + L"\\Vantorie\\", folders.WorkFolder());
    EXPECT_TRUE(Exists(root + L"\\Vantorie"));
}

TEST(WorkFolders, PathsAreCachedAndADeletedDumpFolderIsNotRecreated)
{
    std::wstring root = ScratchFolder(L"folders-cache");
    root.pop_back();
    CWorkFolders folders(root);
    folders.SetProductFolderName(L"Vantorieone");
    std::wstring dump = folders.DumpFolder();
    ASSERT_TRUE(Exists(dump));
    RemoveTree(dump);
    // A later product name changes nothing either: the first result is kept.
    folders.SetProductFolderName(L"Vantorietwo");
    EXPECT_EQ(dump, folders.DumpFolder());
    EXPECT_FALSE(Exists(dump));
    EXPECT_EQ(root + L"\\Vantorieone\\", folders.WorkFolder());
}

TEST(WorkFolders, MissingParentIsNotCreated)
{
    std::wstring root = ScratchFolder(L"folders-missing") + L"absent";
    CWorkFolders folders(root);
    folders.SetProductFolderName(L"Vantoriex");
    EXPECT_EQ(root + L"\\Vantoriex\\", folders.WorkFolder());
    EXPECT_FALSE(Exists(root));
    EXPECT_FALSE(Exists(folders.LogFolder()));
}

TEST(WorkFolders, ProcessHelpersUseTheShellFolders)
{
    wchar_t local[MAX_PATH] = {};
    ASSERT_EQ(S_OK, SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local));
    SetProductFolderName(L"Vantorietest.folders");
    EXPECT_EQ(std::wstring(local) + L"\\Vantorietest.folders\\", GetWorkFolder());
    std::wstring temp = GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(L'\\', temp.back());
    EXPECT_EQ(TestProgramFolder(), GetExeFolder());
    RemoveTree(GetWorkFolder());
}

TEST(WorkFolders, NoFolderFromTheShellOrTheSystemGivesEmptyPathsAndCreatesNothing)
{
    std::wstring scratch = ScratchFolder(L"folders-no-shell");
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryW(scratch.c_str()));
    std::wstring work, log, config, temp;
    {
        CShellFolderOverride local(L"Local AppData", L"Q:\\no such drive\\Local");
        CWorkFolders folders;
        folders.SetProductFolderName(L"Vantoriex");
        work = folders.WorkFolder();
        log = folders.LogFolder();
        config = folders.ConfigFolder();
        folders.DataFolder();
        folders.DumpFolder();
    }
    // Wine, like Windows, gives no temporary path when TMP is too long for one.
    std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
    SetEnvironmentVariableW(L"TMP", tooLong.c_str());
    SetEnvironmentVariableW(L"TEMP", tooLong.c_str());
    temp = CWorkFolders().TempFolder();
    SetEnvironmentVariableW(L"TMP", nullptr);
    SetEnvironmentVariableW(L"TEMP", nullptr);
    // A log without a folder stays silent rather than writing here.
    CLogger logger(L"", L"installer");
    SetCurrentDirectoryW(current);

    EXPECT_EQ(L"", work);
    EXPECT_EQ(L"", log);
    EXPECT_EQ(L"", config);
    EXPECT_EQ(L"", temp);
    EXPECT_FALSE(logger.HasFile());
    // Nothing appeared in the current folder.
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((scratch + L"*").c_str(), &found);
    int entries = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do entries += wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..") ? 1 : 0;
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(0, entries);
}
