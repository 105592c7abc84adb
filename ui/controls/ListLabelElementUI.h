#pragma once

// A list item that shows one line of text in its owner's item style: the
// items of a combo box. UI thread only.

#include "ui/controls/ListElementUI.h"

class CListLabelElementUI : public CListElementUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    void OnEvent(ControlEvent& event) override;
    SIZE MeasureSize(SIZE available) override;
    void Paint(HDC dc, const RECT& paint) override;
    void DrawItemText(HDC dc, const RECT& rect) override;
};
