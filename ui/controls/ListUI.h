#pragma once

// A vertical list of items with one selection, drawn in the shared item
// style; an optional header (CListHeaderUI) is an ordinary child. The
// skins here use no list, so it stays small: items are its children, the
// arrow keys and clicks move the selection. UI thread only.

#include "ui/controls/IListOwnerUI.h"
#include "ui/controls/ListItemStyle.h"
#include "ui/controls/VerticalLayoutUI.h"

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    void RemoveAll() override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    ListItemStyle* GetListItemStyle() override { return &m_itemStyle; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index, bool takeFocus = false) override;
    void OwnerEvent(ControlEvent& event) override { OnEvent(event); }

private:
    void Renumber();

    ListItemStyle m_itemStyle;
    int m_curSel = -1;
};
