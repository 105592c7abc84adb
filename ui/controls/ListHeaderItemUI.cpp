#include "ui/controls/ListHeaderItemUI.h"

#include "ui/core/WindowManagerUI.h"

const wchar_t* CListHeaderItemUI::GetClassName() const { return L"ListHeaderItemUI"; }

void* CListHeaderItemUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListHeaderItem") return static_cast<CListHeaderItemUI*>(this);
    return CControlUI::GetInterfaceByName(name);
}

void CListHeaderItemUI::PaintText(HDC dc)
{
    if (m_text.empty() || !m_manager) return;
    RECT rc = m_pos;
    CDrawKit::DrawPlainText(dc, m_manager, rc, m_text, m_manager->GetDefaultTextColor(), -1,
                            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}
