#pragma once

// Stacks its children from top to bottom, sharing the height that the
// fixed-height children leave among the stretchable ones. An optional
// separator strip along one edge lets the user drag the layout's height.
// UI thread only.

#include "ui/controls/ContainerUI.h"
#include "ui/controls/LayoutSeparator.h"

class CVerticalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintOverlay(HDC dc, const RECT& paint) override;

    int GetSepHeight() const { return m_separator.GetSize(); }
    void SetSepHeight(int height) { m_separator.SetSize(height); }
    bool IsSepImmediate() const { return m_separator.IsImmediate(); }
    void SetSepImmediate(bool immediate) { m_separator.SetImmediate(immediate); }

private:
    CLayoutSeparator m_separator{true};
};
