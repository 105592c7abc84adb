#pragma once

#include "app/ProgressWindowConfig.h"
#include "ui/core/WindowImplBase.h"

class CLabelUI;
class CProgressUI;

// A modal pop-up that stands in front of its owner while a background task
// runs. It knows nothing of the task: the bar creeps on a timer to just
// under 95 % and the end arrives as WM_TASK_DONE, after which the OK button
// closes the window with 1 (success) or 2 (failure). Any other way of
// closing it gives 0 and leaves the task running. UI thread only; the task
// reaches it by posting.
class CProgressdWindow : public WindowImplBase {
public:
    // The timer that moves the bar while the task runs.
    static constexpr UINT_PTR kCreepTimer = 1000;

    explicit CProgressdWindow(const ProgressWindowConfig& config) : m_config(config) {}

    const wchar_t* WindowClassName() const override { return L"InstallerProgress"; }
    std::wstring GetSkinFileName() override { return L"progress.xml"; }
    std::wstring GetSkinFolder() override;
    void OnSkinLoaded() override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(NotifyMsg& msg) override;

    bool IsEnded() const { return m_ended; }
    bool IsSucceeded() const { return m_succeeded; }

private:
    void OnTaskDone(bool succeeded);
    void OnCreepTimer();

    ProgressWindowConfig m_config;
    CProgressUI* m_progress = nullptr;
    CLabelUI* m_tip = nullptr;
    CLabelUI* m_title = nullptr;
    bool m_ended = false;
    bool m_succeeded = false;
};

// The value the creeping bar stays below while the task runs: the maximum
// times 0.95, both in single precision, truncated.
int ProgressCreepLimit(int maximum);
