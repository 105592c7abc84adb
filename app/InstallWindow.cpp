#include "app/InstallWindow.h"

#include <shlwapi.h>

#include "app/ProgressdWindow.h"
#include "app/SkinFolder.h"
#include "app/WindowActions.h"
#include "diagnostics/Logger.h"
#include "state/DataManager.h"
#include "state/UiSetting.h"
#include "ui/controls/LabelUI.h"

namespace {

const UINT kWindowIcon = 107;

}  // namespace

CInstallWindow::~CInstallWindow()
{
    // A download may outlive this window; its end must not reach a dead object.
    CDataManager::GetInstance()->SetListener(nullptr);
}

std::wstring CInstallWindow::GetSkinFolder()
{
    return ApplicationSkinFolder();
}

void CInstallWindow::OnSkinLoaded()
{
    SetWindowIcons(kWindowIcon);
    ShowSettings(*CUiSetting::GetInstance());
}

void CInstallWindow::ShowSettings(const CUiSetting& settings)
{
    if (CControlUI* tip = m_manager.FindControlByName(L"tip")) tip->SetText(settings.GetText(L"安装主页提示文案"));
}

namespace {

// A product in another language names its own download texts; without them
// the window says what it has always said.
std::wstring TextOr(const CUiSetting& settings, const wchar_t* key, const wchar_t* fallback)
{
    std::wstring text = settings.GetText(key);
    return text.empty() ? fallback : text;
}

}  // namespace

ProgressWindowConfig CInstallWindow::DownloadProgressConfig(const CUiSetting& settings)
{
    ProgressWindowConfig config;
    config.title = TextOr(settings, L"下载标题", L"下载安装包");
    config.runningText = TextOr(settings, L"下载中文案", L"正在下载安装包…");
    config.successText = TextOr(settings, L"下载成功文案", L"下载成功");
    config.failureText = TextOr(settings, L"下载失败文案", L"下载失败");
    config.stepCount = 20;
    return config;
}

LRESULT CInstallWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::ProcessMessage(message, wParam, lParam);
}

void CInstallWindow::Notify(NotifyMsg& msg)
{
    if (msg.type != L"click" || !msg.sender) return;
    TraceNotification(msg);
    std::wstring name = msg.sender->GetName();
    CUiSetting* settings = CUiSetting::GetInstance();
    if (name == L"closeBtn")
        Close(2);
    else if (name == L"installHelpBtn")
        OpenThroughShell(settings->GetLink(L"安装教程"));
    else if (name == L"useHelpBtn")
        OpenThroughShell(settings->GetLink(L"使用教程"));
    else if (name == L"customerServiceBtn")
        OpenThroughShell(settings->GetLink(L"联系客服"));
    else if (name == L"installBtn")
        Install();
}

void CInstallWindow::Install()
{
    CDataManager* data = CDataManager::GetInstance();
    bool alwaysDownload = CUiSetting::GetInstance()->GetOther(L"总是下载最新安装包") == L"1";
    std::wstring earlier = data->GetInstallFilePath();
    // While a download runs, the installer on disk is about to be replaced:
    // the press waits for that download and starts what it brings. An
    // installer that no longer has the digest it came with is fetched anew.
    if (!alwaysDownload && !data->IsInstallerDownloadRunning() && !earlier.empty() &&
        PathFileExistsW(earlier.c_str()) && data->IsInstallFileUnchanged(earlier)) {
        OpenThroughShell(earlier);
        return;
    }
    DownloadAndStart();
}

std::unique_ptr<CProgressdWindow> CInstallWindow::MakeProgressWindow(const ProgressWindowConfig& config)
{
    auto progress = std::make_unique<CProgressdWindow>(config);
    if (!progress->Create(m_hWnd, L"", WS_POPUP | WS_VISIBLE, 0)) return nullptr;
    progress->CenterOnOwner();
    return progress;
}

void CInstallWindow::DownloadAndStart()
{
    CDataManager* data = CDataManager::GetInstance();
    data->SetListener(this);

    std::unique_ptr<CProgressdWindow> progress = MakeProgressWindow(DownloadProgressConfig(*CUiSetting::GetInstance()));
    if (!progress) {
        // Without the window nobody would show the download or hear its
        // end, so none is started and the data manager forgets this window.
        LOG_ERROR(L"failed to create the progress window, error: %u", static_cast<unsigned>(GetLastError()));
        data->SetListener(nullptr);
        return;
    }
    // Recorded before the download starts, so that even an instant failure
    // finds the window to tell.
    m_progressWindow = progress->GetHWND();
    data->StartInstallerDownload();
    UINT code = progress->RunModal();
    m_progressWindow = nullptr;
    if (code == 1) OpenThroughShell(data->GetInstallFilePath());
}

void CInstallWindow::OnDownloadProgress(int, int)
{
}

void CInstallWindow::OnDownloadComplete(int, bool success)
{
    HWND progress = m_progressWindow;
    if (progress) ::PostMessageW(progress, WM_TASK_DONE, success ? 1 : 0, 0);
}
