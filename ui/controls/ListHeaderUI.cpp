#include "ui/controls/ListHeaderUI.h"

#include "ui/core/WindowManagerUI.h"

const wchar_t* CListHeaderUI::GetClassName() const { return L"ListHeaderUI"; }

void* CListHeaderUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListHeader") return static_cast<CListHeaderUI*>(this);
    return CHorizontalLayoutUI::GetInterfaceByName(name);
}

SIZE CListHeaderUI::MeasureSize(SIZE)
{
    // Never stretched in the list's vertical flow.
    if (m_fixedHeight != 0 || !m_manager) return SIZE{m_fixedWidth, m_fixedHeight};
    return SIZE{m_fixedWidth, m_manager->DefaultFontEntry()->metrics.tmHeight + 8};
}
