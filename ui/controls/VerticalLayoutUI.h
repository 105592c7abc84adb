#pragma once

// Stacks its children from top to bottom, sharing the height that the
// fixed-height children leave among the stretchable ones. An optional
// separator strip along one edge lets the user drag the layout's height.
// UI thread only.

#include "ui/controls/ContainerUI.h"

class CVerticalLayoutUI : public CContainerUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintOverlay(HDC dc, const RECT& paint) override;

    int GetSepHeight() const { return m_sepHeight; }
    void SetSepHeight(int height) { m_sepHeight = height; }
    bool IsSepImmediate() const { return m_sepImmediate; }
    void SetSepImmediate(bool immediate) { m_sepImmediate = immediate; }

private:
    RECT SeparatorRect() const;
    // The fixed height that the separator's drag to y gives.
    int DraggedHeight(int y) const;

    int m_sepHeight = 0;
    bool m_sepImmediate = false;
    bool m_dragging = false;
    int m_dragStartY = 0;
    int m_dragStartHeight = 0;
    RECT m_dragLine{0, 0, 0, 0};
};
