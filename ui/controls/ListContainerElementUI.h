#pragma once

// A list item that is itself a container of controls: it lays out its
// children like a horizontal layout, paints the owner's item background
// behind them and sends "itemclick", "itemrclick" and "itemactivate".

#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/IListItemUI.h"
#include "ui/controls/IListOwnerUI.h"

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    void OnEvent(ControlEvent& event) override;
    void PaintBackgroundColor(HDC dc) override;

    int GetIndex() const override { return m_index; }
    void SetIndex(int index) override { m_index = index; }
    IListOwnerUI* GetOwner() const override { return m_owner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_selected; }
    bool Select(bool select = true) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool) override { return false; }
    void DrawItemText(HDC, const RECT&) override {}

private:
    int m_index = -1;
    IListOwnerUI* m_owner = nullptr;
    bool m_selected = false;
    bool m_hot = false;
};
