// The progress window as a real window built from the product's skin
// archive (this test program carries setup.exe's resources), driven by the
// messages its owner and its timer send it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/ProgressdWindow.h"
#include "app/SkinFolder.h"
#include "base/ModuleResource.h"
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
    std::thread answer([&reminder] {
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
    answer.join();
    EXPECT_EQ(L"正在下载安装包…", reminder);
    EXPECT_FALSE(window.IsEnded());

    // Escape is a close by other means: code 0 whatever the state.
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(0u, window.RunModal());
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
