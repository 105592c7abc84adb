#include "ui/controls/ListContainerElementUI.h"

#include "ui/controls/ListItemStyle.h"

const wchar_t* CListContainerElementUI::GetClassName() const { return L"ListContainerElementUI"; }

void* CListContainerElementUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListItem") return static_cast<IListItemUI*>(this);
    if (name == L"ListContainerElement") return static_cast<CListContainerElementUI*>(this);
    return CHorizontalLayoutUI::GetInterfaceByName(name);
}

void CListContainerElementUI::SetOwner(CControlUI* owner)
{
    m_owner = owner ? static_cast<IListOwnerUI*>(owner->GetInterfaceByName(L"IListOwner")) : nullptr;
}

bool CListContainerElementUI::Select(bool select)
{
    if (!IsEnabled()) return false;
    if (select == m_selected) return true;
    m_selected = select;
    if (select && m_owner) m_owner->SelectItem(m_index, false);
    Invalidate();
    return true;
}

void CListContainerElementUI::OnEvent(ControlEvent& event)
{
    if (!IsEnabled()) {
        CHorizontalLayoutUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEVENT_BUTTONDOWN:
        SendNotify(L"itemclick");
        Select(true);
        return;
    case UIEVENT_RBUTTONDOWN:
        SendNotify(L"itemrclick");
        Select(true);
        return;
    case UIEVENT_DBLCLICK:
        if (Activate()) SendNotify(L"itemactivate");
        return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        m_hot = event.type == UIEVENT_MOUSEENTER;
        Invalidate();
        return;
    case UIEVENT_KEYDOWN:
        if (m_owner) {
            m_owner->OwnerEvent(event);
            return;
        }
        break;
    default:
        break;
    }
    CHorizontalLayoutUI::OnEvent(event);
}

void CListContainerElementUI::PaintBackgroundColor(HDC dc)
{
    ListItemStyle* style = m_owner ? m_owner->GetListItemStyle() : nullptr;
    DWORD colour = style ? style->bkColor : 0;
    if (style && m_selected) colour = style->selectedBkColor;
    if (style && m_hot) colour = style->hotBkColor;
    if (colour != 0)
        CDrawKit::FillColor(dc, m_paintRect, colour);
    else
        CHorizontalLayoutUI::PaintBackgroundColor(dc);
}
