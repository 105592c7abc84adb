#include "app/ProgressdWindow.h"

#include "app/SkinFolder.h"
#include "app/WindowActions.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/ProgressUI.h"

namespace {

const UINT kCreepPeriodMs = 200;

}  // namespace

int ProgressCreepLimit(int maximum)
{
    // Held in a float variable so that an x87 build cannot keep the product
    // in extended precision: 100 must give 95, not 94.
    volatile float limit = static_cast<float>(maximum) * 0.95f;
    return static_cast<int>(limit);
}

std::wstring CProgressdWindow::GetSkinFolder()
{
    return ApplicationSkinFolder();
}

void CProgressdWindow::OnSkinLoaded()
{
    m_progress = FindControlAs<CProgressUI>(m_manager, L"progress", L"Progress");
    m_tip = FindControlAs<CLabelUI>(m_manager, L"tip", L"Label");
    m_title = FindControlAs<CLabelUI>(m_manager, L"title", L"Label");
    if (m_title) m_title->SetText(m_config.title);
    if (m_tip) m_tip->SetText(m_config.runningText);
    if (m_progress) {
        m_progress->SetMaxValue(m_config.stepCount * 5);
        m_progress->Invalidate();
    }
    ::SetTimer(m_hWnd, kCreepTimer, kCreepPeriodMs, nullptr);
}

LRESULT CProgressdWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCLBUTTONDBLCLK:
        return 0;
    case WM_TASK_DONE:
        OnTaskDone(wParam != 0);
        return 0;
    case WM_TIMER:
        if (wParam != kCreepTimer) break;
        OnCreepTimer();
        return 0;
    default:
        break;
    }
    return WindowImplBase::ProcessMessage(message, wParam, lParam);
}

void CProgressdWindow::OnTaskDone(bool succeeded)
{
    ::KillTimer(m_hWnd, kCreepTimer);
    if (m_progress) m_progress->SetValue(m_progress->GetMaxValue());
    m_ended = true;
    m_succeeded = succeeded;
    if (m_tip) m_tip->SetText(succeeded ? m_config.successText : m_config.failureText);
}

void CProgressdWindow::OnCreepTimer()
{
    if (!m_progress) return;
    int next = m_progress->GetValue() + 1;
    if (next < ProgressCreepLimit(m_progress->GetMaxValue())) m_progress->SetValue(next);
}

void CProgressdWindow::Notify(NotifyMsg& msg)
{
    if (msg.type != L"click" || !msg.sender) return;
    TraceNotification(msg);
    if (msg.sender->GetName() != L"okBtn") return;
    if (!m_ended) {
        // The box runs its own loop, so an end that arrives meanwhile is shown at once.
        ::MessageBoxW(m_hWnd, m_config.runningText.c_str(), L"提示", MB_OK);
        return;
    }
    Close(m_succeeded ? 1 : 2);
}
