#pragma once

// An ungrouped option read as a check box: checking is selecting.
// UI thread only.

#include "ui/controls/OptionUI.h"

class CCheckBoxUI : public COptionUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;

    bool GetCheck() const { return IsSelected(); }
    void SetCheck(bool check) { SetSelected(check); }
};
