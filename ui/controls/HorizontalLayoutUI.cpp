#include "ui/controls/HorizontalLayoutUI.h"

#include <algorithm>

#include "ui/controls/ScrollBarUI.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

const wchar_t* CHorizontalLayoutUI::GetClassName() const { return L"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"HorizontalLayout") return static_cast<CHorizontalLayoutUI*>(this);
    return CContainerUI::GetInterfaceByName(name);
}

UINT CHorizontalLayoutUI::GetInputFlags() const
{
    return m_separator.IsActive(*this) ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CHorizontalLayoutUI::SetPos(RECT rect, bool invalidate)
{
    // 1. The control's own placement.
    CControlUI::SetPos(rect, invalidate);
    // 2. The flow area without the inset.
    RECT rc = InsetBy(m_pos, m_inset);
    // 3. Without children the bars are placed before they are taken off.
    if (m_items.empty()) {
        PlaceScrollBars(rc, 0, 0);
        return;
    }
    if (IsBarVisible(m_verticalBar)) rc.right -= m_verticalBar->GetFixedWidth();
    if (IsBarVisible(m_horizontalBar)) rc.bottom -= m_horizontalBar->GetFixedHeight();
    // 4. Available size; vertical scrolling would lengthen the cross axis.
    SIZE available{rc.right - rc.left, rc.bottom - rc.top};
    if (IsBarVisible(m_verticalBar)) available.cy += m_verticalBar->GetScrollRange();
    // 5. First pass: what the fixed-width children and all paddings need.
    int fixedTotal = 0;
    int counted = 0;
    int stretchables = 0;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat()) continue;
        SIZE size = child->MeasureSize(available);
        const RECT pad = child->GetPadding();
        if (size.cx == 0)
            ++stretchables;
        else
            size.cx = ClampChildWidth(child, size.cx);
        fixedTotal += size.cx + pad.left + pad.right;
        ++counted;
    }
    // 6. The share of each stretchable child.
    fixedTotal += (counted - 1) * m_childPadding;
    const int share = stretchables > 0 ? std::max<int>(0, (available.cx - fixedTotal) / stretchables) : 0;
    // 7. Start at the left, less what is scrolled away; no vertical scrolling.
    int x = rc.left;
    if (IsBarVisible(m_horizontalBar)) x -= m_horizontalBar->GetScrollPos();
    int remaining = available.cx;
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
        remaining -= pad.left;
        SIZE size = child->MeasureSize(SIZE{remaining, available.cy});
        fixedLeft -= pad.left + pad.right;
        // 8.2
        int width;
        if (size.cx == 0) {
            ++stretchSeen;
            width = share;
            if (stretchSeen == stretchables) width = std::max<int>(0, remaining - pad.right - fixedLeft);
            width = ClampChildWidth(child, width);
        } else {
            width = ClampChildWidth(child, size.cx);
            fixedLeft -= width;
        }
        // 8.3
        int height = child->GetFixedHeight();
        if (height == 0) height = std::max<int>(0, rc.bottom - pad.bottom - pad.top - rc.top);
        height = ClampChildHeight(child, height);
        width = std::max<int>(0, width);
        height = std::max<int>(0, height);
        // 8.4 Along the row the rectangle includes the right padding.
        child->SetPos(RECT{x + pad.left, rc.top + pad.top, x + pad.left + width + pad.right,
                           rc.top + pad.top + height},
                      false);
        // 8.5
        x += pad.left + width + pad.right + m_childPadding;
        needed += pad.left + width + pad.right;
        remaining -= width + pad.right + m_childPadding;
        fixedLeft -= m_childPadding;
    }
    needed += (counted - 1) * m_childPadding;
    // 9. This layout keeps its horizontal bar's range itself.
    if (m_horizontalBar) {
        const int width = rc.right - rc.left;
        if (needed > width) {
            if (m_horizontalBar->IsVisible()) {
                m_horizontalBar->SetScrollRange(needed - width);
            } else {
                m_horizontalBar->SetVisible(true);
                m_horizontalBar->SetScrollRange(needed - width);
                m_horizontalBar->SetScrollPos(0);
                rc.bottom -= m_horizontalBar->GetFixedHeight();
            }
        } else if (m_horizontalBar->IsVisible()) {
            m_horizontalBar->SetVisible(false);
            m_horizontalBar->SetScrollRange(0);
            m_horizontalBar->SetScrollPos(0);
            rc.bottom += m_horizontalBar->GetFixedHeight();
        }
    }
    PlaceScrollBars(rc, needed, 0);
}

void CHorizontalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (name == L"sepwidth")
        SetSepWidth(ParseInt(value));
    else if (name == L"sepimm")
        SetSepImmediate(ParseBool(value));
    else
        CContainerUI::SetAttribute(name, value);
}

// Separator --------------------------------------------------------------------

void CHorizontalLayoutUI::OnEvent(ControlEvent& event)
{
    if (m_separator.HandleEvent(*this, event)) return;
    CContainerUI::OnEvent(event);
}

void CHorizontalLayoutUI::PaintOverlay(HDC dc, const RECT& paint) { m_separator.PaintOverlay(dc, paint); }
