#include "ui/controls/ListElementUI.h"

#include "ui/controls/ListItemStyle.h"
#include "ui/core/WindowManagerUI.h"

const wchar_t* CListElementUI::GetClassName() const { return L"ListElementUI"; }

void* CListElementUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListItem") return static_cast<IListItemUI*>(this);
    if (name == L"ListElement") return static_cast<CListElementUI*>(this);
    return CControlUI::GetInterfaceByName(name);
}

bool CListElementUI::Activate()
{
    if (!CControlUI::Activate()) return false;
    SendNotify(L"itemactivate");
    return true;
}

void CListElementUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!enabled) m_state = 0;
}

void CListElementUI::OnEvent(ControlEvent& event)
{
    if ((event.type == UIEVENT_DBLCLICK || (event.type == UIEVENT_KEYDOWN && event.key == VK_RETURN)) &&
        IsEnabled()) {
        Activate();
        Invalidate();
        return;
    }
    if (m_owner)
        m_owner->OwnerEvent(event);
    else
        CControlUI::OnEvent(event);
}

int CListElementUI::GetIndex() const { return m_index; }
void CListElementUI::SetIndex(int index) { m_index = index; }
IListOwnerUI* CListElementUI::GetOwner() const { return m_owner; }

void CListElementUI::SetOwner(CControlUI* owner)
{
    m_owner = owner ? static_cast<IListOwnerUI*>(owner->GetInterfaceByName(L"IListOwner")) : nullptr;
}

bool CListElementUI::IsSelected() const { return m_selected; }

bool CListElementUI::Select(bool select)
{
    if (!IsEnabled()) return false;
    if (select == m_selected) return true;
    m_selected = select;
    if (select && m_owner) m_owner->SelectItem(m_index, false);
    Invalidate();
    return true;
}

bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool) { return false; }
void CListElementUI::DrawItemText(HDC, const RECT&) {}

ListItemStyle* CListElementUI::Style() const { return m_owner ? m_owner->GetListItemStyle() : nullptr; }

void CListElementUI::DrawItemBk(HDC dc, const RECT& item)
{
    ListItemStyle* style = Style();
    if (!style) return;
    const bool odd = (m_index % 2) != 0;
    // 1. The colour: later states win over earlier ones.
    DWORD colour = style->bkColor;
    if (style->alternateBk && odd) colour = 0;
    if (m_selected) colour = style->selectedBkColor;
    if (IsHot()) colour = style->hotBkColor;
    if (!IsEnabled()) colour = style->disabledBkColor;
    if (colour != 0) CDrawKit::FillColor(dc, item, Adjusted(colour));
    // 2. A state image ends the background when it draws.
    if (!IsEnabled() && CDrawKit::DrawImageDescriptor(dc, m_manager, item, m_paintRect, style->disabledImage))
        return;
    if (m_selected && CDrawKit::DrawImageDescriptor(dc, m_manager, item, m_paintRect, style->selectedImage))
        return;
    if (IsHot() && CDrawKit::DrawImageDescriptor(dc, m_manager, item, m_paintRect, style->hotImage)) return;
    // 3. The item's own image, else the style's (on even rows only when the
    //    rows alternate).
    if (!CDrawKit::DrawImageDescriptor(dc, m_manager, item, m_paintRect, m_bkImage)) {
        if ((!style->alternateBk || !odd) &&
            CDrawKit::DrawImageDescriptor(dc, m_manager, item, m_paintRect, style->bkImage))
            return;
    }
    // 4. The separating line on the item's last row.
    if (style->lineColor != 0)
        CDrawKit::DrawLine(dc, RECT{item.left, item.bottom - 1, item.right, item.bottom - 1}, 1,
                           Adjusted(style->lineColor));
}
