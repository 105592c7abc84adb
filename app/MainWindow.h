#pragma once

#include <string>
#include <vector>

#include "ui/core/WindowImplBase.h"

class CComboUI;
class CUiSetting;
class CEditUI;
class CTextUI;

// The product page shown first: description, choice of version, install
// location and the install button. Closes with 1 after the chosen version
// has been stored, with 2 from its close button; anything else gives 0.
// UI thread only.
class CMainWindow : public WindowImplBase {
public:
    const wchar_t* WindowClassName() const override { return L"InstallerMain"; }
    std::wstring GetSkinFileName() override { return L"main.xml"; }
    std::wstring GetSkinFolder() override;
    void OnSkinLoaded() override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Notify(NotifyMsg& msg) override;

    // Steps 3 to 5 of the initialisation: the description, the location and
    // the versions from these settings. A preview of the skin calls it alone,
    // without the usage report that opening the page makes.
    void ShowSettings(const CUiSetting& settings);

    // Offers the versions in the combo, first one chosen, its drop-down as
    // tall as the versions at the combo's own height each, and no wheel.
    static void FillVersions(CComboUI& combo, const std::vector<std::wstring>& versions);

private:

    CTextUI* m_softInfo = nullptr;
    CEditUI* m_installPath = nullptr;
    CComboUI* m_versions = nullptr;
};
