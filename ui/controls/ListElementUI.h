#pragma once

// The base of the list items: a control that knows its owner and its index
// there, can be selected, and draws its background from the owner's item
// style. UI thread only.

#include "ui/controls/ControlUI.h"
#include "ui/controls/IListItemUI.h"
#include "ui/controls/IListOwnerUI.h"

struct ListItemStyle;

class CListElementUI : public CControlUI, public IListItemUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    bool Activate() override;
    void SetEnabled(bool enabled) override;
    void OnEvent(ControlEvent& event) override;

    // IListItemUI
    int GetIndex() const override;
    void SetIndex(int index) override;
    IListOwnerUI* GetOwner() const override;
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override;
    bool Select(bool select = true) override;
    bool IsExpanded() const override;
    bool Expand(bool expand = true) override;
    void DrawItemText(HDC dc, const RECT& rect) override;

    bool IsHot() const { return (m_state & kHot) != 0; }

    // The item's background from the owner's style: colour, state image or
    // background image, and the line along the bottom edge.
    void DrawItemBk(HDC dc, const RECT& item);

protected:
    static constexpr UINT kHot = 0x08;

    // The style of the owner, or null without an owner.
    ListItemStyle* Style() const;

    int m_index = -1;
    IListOwnerUI* m_owner = nullptr;
    bool m_selected = false;
    UINT m_state = 0;
};
