#include "ui/controls/ListUI.h"

#include "ui/controls/IListItemUI.h"

const wchar_t* CListUI::GetClassName() const { return L"ListUI"; }

void* CListUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"List") return static_cast<CListUI*>(this);
    if (name == L"IListOwner") return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterfaceByName(name);
}

UINT CListUI::GetInputFlags() const { return UIFLAG_TABSTOP; }

void CListUI::Renumber()
{
    for (int i = 0; i < GetCount(); ++i)
        if (IListItemUI* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    CControlUI* selected = GetItemAt(m_curSel);
    if (!CVerticalLayoutUI::AddAt(control, index)) return false;
    if (IListItemUI* item = AsListItem(control)) item->SetOwner(this);
    Renumber();
    m_curSel = selected ? GetItemIndex(selected) : -1;
    return true;
}

bool CListUI::Remove(CControlUI* control)
{
    CControlUI* selected = GetItemAt(m_curSel);
    if (!CVerticalLayoutUI::Remove(control)) return false;
    Renumber();
    m_curSel = selected && selected != control ? GetItemIndex(selected) : -1;
    return true;
}

void CListUI::RemoveAll()
{
    m_curSel = -1;
    CVerticalLayoutUI::RemoveAll();
}

bool CListUI::SelectItem(int index, bool takeFocus)
{
    if (index == m_curSel) return true;
    const int previous = m_curSel;
    if (IListItemUI* old = AsListItem(GetItemAt(m_curSel))) old->Select(false);
    m_curSel = -1;
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (!item || !control->IsVisible() || !control->IsEnabled()) return false;
    m_curSel = index;
    if (takeFocus) control->SetFocus();
    item->Select(true);
    SendNotify(L"itemselect", static_cast<WPARAM>(m_curSel), static_cast<LPARAM>(previous));
    return true;
}

void CListUI::OnEvent(ControlEvent& event)
{
    if (event.type == UIEVENT_KEYDOWN && (event.key == VK_UP || event.key == VK_DOWN)) {
        const bool down = event.key == VK_DOWN;
        SelectItem(NextSelectableItem(m_curSel + (down ? 1 : -1), down), true);
        return;
    }
    CVerticalLayoutUI::OnEvent(event);
}

void CListUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (m_itemStyle.SetAttribute(name, value)) {
        Invalidate();
        return;
    }
    CVerticalLayoutUI::SetAttribute(name, value);
}
