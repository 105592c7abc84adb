#pragma once

// Places its children from left to right, sharing the width that the
// fixed-width children leave among the stretchable ones, and manages its
// horizontal scroll bar itself. An optional separator strip along one edge
// lets the user drag the layout's width. UI thread only.

#include "ui/controls/ContainerUI.h"
#include "ui/controls/LayoutSeparator.h"

class CHorizontalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintOverlay(HDC dc, const RECT& paint) override;

    int GetSepWidth() const { return m_separator.GetSize(); }
    void SetSepWidth(int width) { m_separator.SetSize(width); }
    bool IsSepImmediate() const { return m_separator.IsImmediate(); }
    void SetSepImmediate(bool immediate) { m_separator.SetImmediate(immediate); }

private:
    CLayoutSeparator m_separator{false};
};
