// The progress window as a real window built from the product's skin
// archive (this test program carries setup.exe's resources), driven by the
// messages its owner and its timer send it.

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Thread.h"
#include "app/InstallWindow.h"
#include "app/ProgressdWindow.h"
#include "app/SkinFolder.h"
#include "base/ModuleResource.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "state/DataManager.h"
#include "state/UiSetting.h"
#include "tests/support/TestSupport.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/ResourceLocation.h"

using namespace testing_support;

namespace {

const UINT_PTR kCreepTimer = 1000;

ProgressWindowConfig DownloadConfig(int steps)
{
    ProgressWindowConfig config;
    config.title = L"下载安装包";
    config.runningText = L"正在下载安装包…";
    config.successText = L"下载成功";
    config.failureText = L"下载失败";
    config.stepCount = steps;
    return config;
}

class ProgressWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
        ModuleResource archive = FindModuleResource(nullptr, MAKEINTRESOURCEW(130), L"Zip");
        ASSERT_FALSE(archive.Empty());
        ResourceLocation::UseSkinArchiveBytes(archive.data, archive.size);
    }

    void Open(CProgressdWindow& window)
    {
        ASSERT_NE(nullptr, window.Create(nullptr, L"", WS_POPUP | WS_VISIBLE, 0));
        m_bar = static_cast<CProgressUI*>(window.Manager().FindControlByName(L"progress"));
        m_tip = window.Manager().FindControlByName(L"tip");
        ASSERT_NE(nullptr, m_bar);
        ASSERT_NE(nullptr, m_tip);
    }

    static void Tick(HWND window, int times, UINT_PTR id = kCreepTimer)
    {
        for (int i = 0; i < times; ++i) SendMessageW(window, WM_TIMER, id, 0);
    }

    CProgressUI* m_bar = nullptr;
    CControlUI* m_tip = nullptr;
};

}  // namespace

TEST_F(ProgressWindowTest, BarCreepsBelowTheLimitAndTheEndFillsItWithTheOutcome)
{
    CProgressdWindow window(DownloadConfig(20));
    Open(window);
    EXPECT_EQ(100, m_bar->GetMaxValue());
    EXPECT_EQ(0, m_bar->GetValue());
    EXPECT_EQ(L"正在下载安装包…", m_tip->GetText());
    EXPECT_EQ(L"下载安装包", window.Manager().FindControlByName(L"title")->GetText());

    Tick(window, 50);
    EXPECT_EQ(50, m_bar->GetValue());
    Tick(window, 150);
    EXPECT_EQ(94, m_bar->GetValue());  // 100 x 0.95 in single precision is 95
    Tick(window, 10, 999);             // other timers are not the bar's
    EXPECT_EQ(94, m_bar->GetValue());

    SendMessageW(window, WM_TASK_DONE, 0, 0);
    EXPECT_TRUE(window.IsEnded());
    EXPECT_FALSE(window.IsSucceeded());
    EXPECT_EQ(100, m_bar->GetValue());
    EXPECT_EQ(L"下载失败", m_tip->GetText());
    Tick(window, 5);
    EXPECT_EQ(100, m_bar->GetValue());

    // A second end re-applies its own outcome; OK then closes with its code.
    SendMessageW(window, WM_TASK_DONE, 1, 0);
    EXPECT_EQ(L"下载成功", m_tip->GetText());
    NotifyMsg click;
    click.type = L"click";
    click.sender = window.Manager().FindControlByName(L"okBtn");
    ASSERT_NE(nullptr, click.sender);
    window.Notify(click);
    EXPECT_EQ(1u, window.RunModal());
}

TEST_F(ProgressWindowTest, DefaultStepsStopAt46AndOkBeforeTheEndOnlyReminds)
{
    CProgressdWindow window(DownloadConfig(ProgressWindowConfig().stepCount));
    Open(window);
    EXPECT_EQ(50, m_bar->GetMaxValue());
    Tick(window, 100);
    EXPECT_EQ(46, m_bar->GetValue());

    // The reminder box runs its own loop; it is answered from another thread.
    std::wstring reminder;
    CThread answer([&reminder] {
        HWND box = WaitForWindow(GetCurrentProcessId(), L"提示", 10000);
        if (!box) return;
        wchar_t text[64] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 64);
        reminder = text;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    NotifyMsg click;
    click.type = L"click";
    click.sender = window.Manager().FindControlByName(L"okBtn");
    window.Notify(click);
    answer.Join();
    EXPECT_EQ(L"正在下载安装包…", reminder);
    EXPECT_FALSE(window.IsEnded());

    // Escape is a close by other means: code 0 whatever the state.
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, window.RunModal());
}

TEST_F(ProgressWindowTest, OkAfterAFailedTaskClosesWithTwo)
{
    CProgressdWindow window(DownloadConfig(20));
    Open(window);
    // Laid out by its first paint, so that the button has its place.
    UpdateWindow(window);
    PostMessageW(window, WM_TASK_DONE, 0, 0);
    // A real click on the button, posted behind the end of the task.
    CControlUI* ok = window.Manager().FindControlByName(L"okBtn");
    ASSERT_NE(nullptr, ok);
    const RECT r = ok->GetPos();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
    // A click that went nowhere ends the loop by Escape (code 0) rather than never.
    static HWND s_window = nullptr;
    s_window = window;
    const UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
        PostMessageW(s_window, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(2u, window.RunModal());
    KillTimer(nullptr, guard);
    EXPECT_TRUE(window.IsEnded());
    EXPECT_FALSE(window.IsSucceeded());
}

namespace {

// The install window with its progress window replaced: it records what
// it was asked to show and fails to make it.
class ProbedInstallWindow : public CInstallWindow {
public:
    using CInstallWindow::DownloadAndStart;
    // The install window's own way of opening a progress window.
    std::unique_ptr<CProgressdWindow> OpenReal(const ProgressWindowConfig& config)
    {
        return CInstallWindow::MakeProgressWindow(config);
    }
    std::vector<ProgressWindowConfig> asked;

protected:
    std::unique_ptr<CProgressdWindow> MakeProgressWindow(const ProgressWindowConfig& config) override
    {
        asked.push_back(config);
        return nullptr;
    }
};

class InstallProgressTest : public ProgressWindowTest {
protected:
    static void SetUpTestSuite()
    {
        ProgressWindowTest::SetUpTestSuite();
        // The product folder of the chores test: the folder helpers keep
        // the first name they were given for the whole process.
        SetProductFolderName(L"VantorieChoresTest");
        g_pLogger = GetLogger(L"installer");
    }
    static void TearDownTestSuite() { g_pLogger = nullptr; }
};

}  // namespace

TEST_F(InstallProgressTest, AProgressWindowThatCannotBeMadeIsLoggedAndStartsNothing)
{
    CDataManager* data = CDataManager::GetInstance();
    ProbedInstallWindow install;
    const size_t logBefore = ReadUtf16(g_pLogger->Path()).size();
    install.DownloadAndStart();
    // What the install window really asks the progress window to show.
    ASSERT_EQ(1u, install.asked.size());
    const ProgressWindowConfig& asked = install.asked[0];
    EXPECT_EQ(L"下载安装包", asked.title);
    EXPECT_EQ(L"正在下载安装包…", asked.runningText);
    EXPECT_EQ(L"下载成功", asked.successText);
    EXPECT_EQ(L"下载失败", asked.failureText);
    EXPECT_EQ(20, asked.stepCount);
    // No window: no download, no listener left behind, one Error line.
    EXPECT_EQ(nullptr, data->GetListener());
    EXPECT_FALSE(data->IsInstallerDownloadRunning());
    const std::wstring added = ReadUtf16(g_pLogger->Path()).substr(logBefore);
    EXPECT_NE(std::wstring::npos, added.find(L"failed to create the progress window")) << added;
    EXPECT_NE(std::wstring::npos, added.find(L"Error")) << added;

    // Opened the install window's way with what it asked, the window shows
    // the title, the running text and a bar of 20 steps, maximum 100.
    std::unique_ptr<CProgressdWindow> window = install.OpenReal(asked);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(L"下载安装包", window->Manager().FindControlByName(L"title")->GetText());
    EXPECT_EQ(L"正在下载安装包…", window->Manager().FindControlByName(L"tip")->GetText());
    auto* bar = static_cast<CProgressUI*>(window->Manager().FindControlByName(L"progress"));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(100, bar->GetMaxValue());
    PostMessageW(*window, WM_TASK_DONE, 1, 0);
    PostMessageW(*window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, window->RunModal());
    EXPECT_EQ(L"下载成功", window->Manager().FindControlByName(L"tip")->GetText());
}

TEST(ProgressCreepLimitTest, SinglePrecisionProduct)
{
    EXPECT_EQ(95, ProgressCreepLimit(100));
    EXPECT_EQ(47, ProgressCreepLimit(50));
    EXPECT_EQ(19, ProgressCreepLimit(20));
    EXPECT_EQ(0, ProgressCreepLimit(0));
}

TEST(SkinFolderTest, ResourceBesideTheProgramThenOneUp)
{
    std::wstring root = ScratchFolder(L"skin folders");
    std::wstring exe = root + L"bin\\";
    CreateDirectoryW(exe.c_str(), nullptr);
    EXPECT_EQ(L"", FindSkinFolder(false, exe));
    CreateDirectoryW((root + L"resource").c_str(), nullptr);
    EXPECT_EQ(L"..\\resource", FindSkinFolder(false, exe));
    CreateDirectoryW((exe + L"resource").c_str(), nullptr);
    EXPECT_EQ(L"resource\\", FindSkinFolder(false, exe));
    EXPECT_EQ(L"", FindSkinFolder(true, exe));
    // A file of that name is no folder.
    RemoveTree(root);
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(exe.c_str(), nullptr);
    ASSERT_TRUE(WriteBytes(exe + L"resource", "not a folder"));
    EXPECT_EQ(L"", FindSkinFolder(false, exe));
    RemoveTree(root);
}

TEST(DownloadProgressTextsTest, ProductTextsReplaceTheDefaultsOneByOne)
{
    const CUiSetting plain(R"({"文本": {"版本1": "1.0"}})");
    ProgressWindowConfig fallback = CInstallWindow::DownloadProgressConfig(plain);
    EXPECT_EQ(L"下载安装包", fallback.title);
    EXPECT_EQ(L"正在下载安装包…", fallback.runningText);
    EXPECT_EQ(L"下载成功", fallback.successText);
    EXPECT_EQ(L"下载失败", fallback.failureText);
    EXPECT_EQ(20, fallback.stepCount);

    const CUiSetting english(R"({"文本": {"下载标题": "Downloading", "下载中文案": "Fetching…",
                                          "下载成功文案": "Done", "下载失败文案": ""}})");
    ProgressWindowConfig named = CInstallWindow::DownloadProgressConfig(english);
    EXPECT_EQ(L"Downloading", named.title);
    EXPECT_EQ(L"Fetching…", named.runningText);
    EXPECT_EQ(L"Done", named.successText);
    EXPECT_EQ(L"下载失败", named.failureText);
}
