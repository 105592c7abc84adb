#pragma once

// The draggable strip along one edge of a box layout: along the bottom (or,
// for a negative size, the top) of a vertical layout, changing its fixed
// height; along the right (or left) of a horizontal layout, changing its
// fixed width. Either at once while dragged, or when the button is let go
// while a drag line follows the mouse. UI thread only.

#include <windows.h>

class CControlUI;
struct ControlEvent;

class CLayoutSeparator {
public:
    explicit CLayoutSeparator(bool vertical) : m_vertical(vertical) {}

    int GetSize() const { return m_size; }
    void SetSize(int size) { m_size = size; }
    bool IsImmediate() const { return m_immediate; }
    void SetImmediate(bool immediate) { m_immediate = immediate; }
    bool IsActive(const CControlUI& owner) const;

    // True when the event belonged to the separator and was consumed.
    bool HandleEvent(CControlUI& owner, const ControlEvent& event);
    void PaintOverlay(HDC dc, const RECT& paint) const;

private:
    RECT StripRect(const CControlUI& owner) const;
    int Along(POINT point) const { return m_vertical ? point.y : point.x; }
    int DraggedSize(const CControlUI& owner, POINT point) const;
    void SetOwnerSize(CControlUI& owner, int size) const;

    const bool m_vertical;
    int m_size = 0;
    bool m_immediate = false;
    bool m_dragging = false;
    int m_dragStart = 0;
    int m_dragStartSize = 0;
    RECT m_dragLine{0, 0, 0, 0};
};
