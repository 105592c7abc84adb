#include "PreviewWindows.h"

#include "app/ProgressWindowConfig.h"
#include "app/WindowActions.h"
#include "ui/controls/ProgressUI.h"

void CPreviewProgressWindow::OnSkinLoaded()
{
    CProgressdWindow::OnSkinLoaded();
    // A picture must not depend on how long it took to take.
    ::KillTimer(m_hWnd, kCreepTimer);
}

void CPreviewProgressWindow::ShowRunning(int percent)
{
    auto* bar = FindControlAs<CProgressUI>(m_manager, L"progress", L"Progress");
    if (!bar) return;
    bar->SetValue(bar->GetMaxValue() * percent / 100);
}

void CPreviewProgressWindow::ShowEnded(bool succeeded)
{
    ::SendMessageW(m_hWnd, WM_TASK_DONE, succeeded ? 1 : 0, 0);
}
