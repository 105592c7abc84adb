#pragma once

// One column title of a list header: centred text in the default colour.

#include "ui/controls/ControlUI.h"

class CListHeaderItemUI : public CControlUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    void PaintText(HDC dc) override;
};
