#pragma once

#include <atomic>
#include <memory>

#include "app/ProgressWindowConfig.h"
#include "service/DownloadCallback.h"
#include "ui/core/WindowImplBase.h"

// The install page: guide and customer-service links and the install
// button, which starts an installer already on disk or has the data
// manager download one while a progress window stands in front. Stays open
// until its close button; any number of installs can run from it.
//
// Threads: everything runs on the UI thread except OnDownloadComplete,
// which a download thread calls; it only posts to the progress window whose
// handle the UI thread records before the download can end and clears
// after that window's loop.
class CProgressdWindow;
class CUiSetting;

class CInstallWindow : public WindowImplBase, public IDownloadCallback {
public:
    ~CInstallWindow() override;

    const wchar_t* WindowClassName() const override { return L"InstallerInstall"; }
    std::wstring GetSkinFileName() override { return L"install.xml"; }
    std::wstring GetSkinFolder() override;
    void OnSkinLoaded() override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(NotifyMsg& msg) override;

    // The tip line from these settings: the initialisation apart from the
    // window icons, for a preview of the skin.
    void ShowSettings(const CUiSetting& settings);
    // What the progress window of the installer download shows.
    static ProgressWindowConfig DownloadProgressConfig(const CUiSetting& settings);

    void OnDownloadProgress(int taskId, int percent) override;
    void OnDownloadComplete(int taskId, bool success) override;

protected:
    // Has the data manager download the installer while a progress window
    // stands in front, and starts what arrives.
    void DownloadAndStart();
    // The progress window of one download, created in front of this window
    // and not yet run; null when it cannot be made. Tests replace it to see
    // what this window asks for.
    virtual std::unique_ptr<CProgressdWindow> MakeProgressWindow(const ProgressWindowConfig& config);

private:
    void Install();

    std::atomic<HWND> m_progressWindow{nullptr};
};
