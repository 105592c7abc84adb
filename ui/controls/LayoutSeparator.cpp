#include "ui/controls/LayoutSeparator.h"

#include <algorithm>

#include "ui/controls/ControlUI.h"
#include "ui/core/DrawKit.h"
#include "ui/core/WindowManagerUI.h"

bool CLayoutSeparator::IsActive(const CControlUI& owner) const
{
    return m_size != 0 && owner.IsEnabled();
}

RECT CLayoutSeparator::StripRect(const CControlUI& owner) const
{
    RECT r = owner.GetPos();
    LONG& nearEdge = m_vertical ? r.top : r.left;
    LONG& farEdge = m_vertical ? r.bottom : r.right;
    if (m_size >= 0)
        nearEdge = farEdge - m_size;
    else
        farEdge = nearEdge - m_size;
    return r;
}

int CLayoutSeparator::DraggedSize(const CControlUI& owner, POINT point) const
{
    const int delta = m_size >= 0 ? Along(point) - m_dragStart : m_dragStart - Along(point);
    const int low = m_vertical ? owner.GetMinHeight() : owner.GetMinWidth();
    const int high = m_vertical ? owner.GetMaxHeight() : owner.GetMaxWidth();
    return std::clamp(m_dragStartSize + delta, low, high);
}

void CLayoutSeparator::SetOwnerSize(CControlUI& owner, int size) const
{
    if (m_vertical)
        owner.SetFixedHeight(size);
    else
        owner.SetFixedWidth(size);
}

bool CLayoutSeparator::HandleEvent(CControlUI& owner, const ControlEvent& event)
{
    if (!IsActive(owner)) return false;
    CWindowManagerUI* manager = owner.GetManager();
    const RECT strip = StripRect(owner);
    switch (event.type) {
    case UIEVENT_BUTTONDOWN:
        if (!PtInRect(&strip, event.mousePoint)) return false;
        m_dragging = true;
        m_dragStart = Along(event.mousePoint);
        m_dragStartSize = m_vertical ? owner.GetHeight() : owner.GetWidth();
        m_dragLine = strip;
        if (!m_immediate && manager) manager->AddOverlayPainter(&owner);
        return true;
    case UIEVENT_MOUSEMOVE: {
        if (!m_dragging) return false;
        const int size = DraggedSize(owner, event.mousePoint);
        if (m_immediate) {
            SetOwnerSize(owner, size);
            return true;
        }
        // Only the line moves until the button is let go.
        RECT old = m_dragLine;
        const int shift = (size - m_dragStartSize) * (m_size >= 0 ? 1 : -1);
        m_dragLine = strip;
        OffsetRect(&m_dragLine, m_vertical ? 0 : shift, m_vertical ? shift : 0);
        RECT both;
        UnionRect(&both, &old, &m_dragLine);
        if (manager) manager->RepaintRect(both);
        return true;
    }
    case UIEVENT_BUTTONUP:
        if (!m_dragging) return false;
        m_dragging = false;
        if (manager) {
            manager->RemoveOverlayPainter(&owner);
            manager->RepaintRect(m_dragLine);
        }
        if (!m_immediate) SetOwnerSize(owner, DraggedSize(owner, event.mousePoint));
        return true;
    case UIEVENT_SETCURSOR:
        if (!PtInRect(&strip, event.mousePoint)) return false;
        ::SetCursor(LoadCursorW(nullptr, m_vertical ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    default:
        return false;
    }
}

void CLayoutSeparator::PaintOverlay(HDC dc, const RECT& paint) const
{
    if (!m_dragging || m_immediate) return;
    RECT r;
    if (IntersectRect(&r, &m_dragLine, &paint)) CDrawKit::FillColor(dc, m_dragLine, 0xAA000000);
}
