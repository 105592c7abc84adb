#pragma once

#include <string>

#include "app/InstallWindow.h"
#include "app/MainWindow.h"
#include "app/ProgressdWindow.h"

class CUiSetting;

// The application's three windows as the flow shows them, but with their
// skin read from a folder named by full path and their texts from a
// settings document handed in, and without what opening them in the flow
// also does: no usage report, no data manager, no window icons, no
// creeping bar.

// `Window` is CMainWindow or CInstallWindow. An install window is not to be
// destroyed before the process ends: its destructor takes its listener back
// from the data manager, which would bring the data manager up.
template <class Window>
class CPreviewSettingsWindow : public Window {
public:
    CPreviewSettingsWindow(const std::wstring& skinFolder, const CUiSetting& settings)
        : m_folder(skinFolder), m_settings(settings) {}
    std::wstring GetSkinFolder() override { return m_folder; }
    void OnSkinLoaded() override { this->ShowSettings(m_settings); }

private:
    std::wstring m_folder;
    const CUiSetting& m_settings;
};

using CPreviewMainWindow = CPreviewSettingsWindow<CMainWindow>;
using CPreviewInstallWindow = CPreviewSettingsWindow<CInstallWindow>;

// The installer download's progress window, held still.
class CPreviewProgressWindow : public CProgressdWindow {
public:
    CPreviewProgressWindow(const std::wstring& skinFolder, const CUiSetting& settings)
        : CProgressdWindow(CInstallWindow::DownloadProgressConfig(settings)), m_folder(skinFolder) {}
    std::wstring GetSkinFolder() override { return m_folder; }
    void OnSkinLoaded() override;

    // The running window with the bar at this percentage of its maximum.
    void ShowRunning(int percent);
    // The window after the download's end, as the install window reports it.
    void ShowEnded(bool succeeded);

private:
    std::wstring m_folder;
};
