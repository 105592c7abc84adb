#include "app/MainWindow.h"

#include <chrono>

#include "app/SkinFolder.h"
#include "app/WindowActions.h"
#include "service/UsageEvent.h"
#include "state/DataManager.h"
#include "state/UiSetting.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/ListLabelElementUI.h"
#include "ui/controls/TextUI.h"

namespace {

const UINT kWindowIcon = 107;

// Milliseconds since 1970, in whole seconds, as the service expects them.
int64_t NowInWholeSeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count() * 1000;
}

}  // namespace

std::wstring CMainWindow::GetSkinFolder()
{
    return ApplicationSkinFolder();
}

void CMainWindow::OnSkinLoaded()
{
    // 1. and 2.
    SetWindowIcons(kWindowIcon);
    UsageEvent activation;
    activation.name = "software_activation";
    activation.time = NowInWholeSeconds();
    CDataManager::GetInstance()->ReportEvent(activation);

    ShowSettings(*CUiSetting::GetInstance());
}

void CMainWindow::ShowSettings(const CUiSetting& settings)
{
    // 3. A skin without one of these controls still shows; it just stays unfilled.
    m_softInfo = FindControlAs<CTextUI>(m_manager, L"softInfoText", L"Text");
    m_installPath = FindControlAs<CEditUI>(m_manager, L"installPathEdit", L"Edit");
    m_versions = FindControlAs<CComboUI>(m_manager, L"versionCombo", L"Combo");

    // 4. and 5.
    if (m_softInfo) m_softInfo->SetText(settings.GetText(L"软件介绍"));
    if (m_installPath) m_installPath->SetText(settings.GetText(L"位置"));
    if (m_versions) FillVersions(*m_versions, settings.OfferedVersions());
}

void CMainWindow::FillVersions(CComboUI& combo, const std::vector<std::wstring>& versions)
{
    // The wheel must not change a choice the user may not even be looking at.
    combo.SetWheelSelect(false);
    int count = 0;
    for (const std::wstring& version : versions) {
        auto* item = new CListLabelElementUI;
        item->SetText(version);
        combo.Add(item);
        ++count;
    }
    combo.SetDropBoxSize(0, count * combo.GetFixedHeight());
    combo.SelectItem(0, false);
}

LRESULT CMainWindow::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A double click on the banner would otherwise maximise the fixed page.
    if (message == WM_NCLBUTTONDBLCLK) return 0;
    return WindowImplBase::ProcessMessage(message, wParam, lParam);
}

void CMainWindow::Notify(NotifyMsg& msg)
{
    if (msg.type != L"click" || !msg.sender) return;
    TraceNotification(msg);
    std::wstring name = msg.sender->GetName();
    if (name == L"closeBtn") {
        Close(2);
    } else if (name == L"installBtn") {
        CDataManager::GetInstance()->SetSoftwareVersion(m_versions ? m_versions->GetText() : std::wstring());
        Close(1);
    }
}
