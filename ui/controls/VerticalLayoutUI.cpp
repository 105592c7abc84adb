#include "ui/controls/VerticalLayoutUI.h"

#include <algorithm>

#include "ui/controls/ScrollBarUI.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

const wchar_t* CVerticalLayoutUI::GetClassName() const { return L"VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"VerticalLayout") return static_cast<CVerticalLayoutUI*>(this);
    return CContainerUI::GetInterfaceByName(name);
}

UINT CVerticalLayoutUI::GetInputFlags() const
{
    return m_separator.IsActive(*this) ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CVerticalLayoutUI::SetPos(RECT rect, bool invalidate)
{
    // 1. The control's own placement.
    CControlUI::SetPos(rect, invalidate);
    // 2. The flow area: inset off, visible bars off.
    RECT rc = InnerRect();
    // 3. Nothing to place, but a bar that is no longer needed still goes.
    if (m_items.empty()) {
        PlaceScrollBars(rc, 0, 0);
        return;
    }
    // 4. Available size; horizontal scrolling widens the content.
    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (IsBarVisible(m_horizontalBar)) available.cx += m_horizontalBar->GetScrollRange();
    // 5. First pass: what the fixed-height children and all paddings need.
    int fixedTotal = 0;
    int counted = 0;
    int stretchables = 0;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat()) continue;
        SIZE size = child->MeasureSize(available);
        const RECT pad = child->GetPadding();
        if (size.cy == 0)
            ++stretchables;
        else
            size.cy = ClampChildHeight(child, size.cy);
        fixedTotal += size.cy + pad.top + pad.bottom;
        ++counted;
    }
    // 6. The share of each stretchable child.
    fixedTotal += (counted - 1) * m_childPadding;
    const int share = stretchables > 0 ? std::max<int>(0, (available.cy - fixedTotal) / stretchables) : 0;
    // 7. Start at the top, less what is scrolled away.
    int y = rc.top;
    if (IsBarVisible(m_verticalBar)) y -= m_verticalBar->GetScrollPos();
    int x = rc.left;
    if (IsBarVisible(m_horizontalBar)) x -= m_horizontalBar->GetScrollPos();
    int remaining = available.cy;
    // What the children not yet placed still need; the last stretchable
    // child takes everything else.
    int fixedLeft = fixedTotal;
    int needed = 0;
    int stretchSeen = 0;
    // 8. Second pass: place every child.
    for (size_t i = 0; i < m_items.size(); ++i) {
        CControlUI* child = m_items[i];
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatingChild(static_cast<int>(i));
            continue;
        }
        const RECT pad = child->GetPadding();
        // 8.1
        remaining -= pad.top;
        SIZE size = child->MeasureSize(SIZE{available.cx, remaining});
        fixedLeft -= pad.top + pad.bottom;
        // 8.2
        int height;
        if (size.cy == 0) {
            ++stretchSeen;
            height = share;
            if (stretchSeen == stretchables) height = std::max<int>(0, remaining - pad.bottom - fixedLeft);
            height = ClampChildHeight(child, height);
        } else {
            height = ClampChildHeight(child, size.cy);
            fixedLeft -= height;
        }
        // 8.3
        int width = child->GetFixedWidth();
        if (width == 0) width = std::max<int>(0, available.cx - pad.left - pad.right);
        width = ClampChildWidth(child, width);
        height = std::max<int>(0, height);
        width = std::max<int>(0, width);
        // 8.4 Along the stack the rectangle includes the bottom padding.
        child->SetPos(RECT{x + pad.left, y + pad.top, x + pad.left + width, y + pad.top + height + pad.bottom},
                      false);
        // 8.5
        y += pad.top + height + pad.bottom + m_childPadding;
        needed += pad.top + height + pad.bottom;
        remaining -= height + pad.bottom + m_childPadding;
        fixedLeft -= m_childPadding;
    }
    // 9.
    PlaceScrollBars(rc, 0, needed + (counted - 1) * m_childPadding);
}

void CVerticalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (name == L"sepheight")
        SetSepHeight(ParseInt(value));
    else if (name == L"sepimm")
        SetSepImmediate(ParseBool(value));
    else
        CContainerUI::SetAttribute(name, value);
}

// Separator --------------------------------------------------------------------

void CVerticalLayoutUI::OnEvent(ControlEvent& event)
{
    if (m_separator.HandleEvent(*this, event)) return;
    CContainerUI::OnEvent(event);
}

void CVerticalLayoutUI::PaintOverlay(HDC dc, const RECT& paint) { m_separator.PaintOverlay(dc, paint); }
