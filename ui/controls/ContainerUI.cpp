#include "ui/controls/ContainerUI.h"

#include <algorithm>
#include <unordered_map>

#include "ui/controls/ScrollBarUI.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

namespace {

bool Meets(const RECT& a, const RECT& b)
{
    RECT r;
    return IntersectRect(&r, &a, &b) != FALSE;
}

int Trunc(double value) { return static_cast<int>(value); }

}  // namespace

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI()
{
    // Children go at once: the container they would be parked for is dying.
    m_delayedDestroy = false;
    RemoveAll();
    delete m_verticalBar;
    m_verticalBar = nullptr;
    delete m_horizontalBar;
    m_horizontalBar = nullptr;
}

const wchar_t* CContainerUI::GetClassName() const { return L"ContainerUI"; }

void* CContainerUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"IContainer") return static_cast<IContainerUI*>(this);
    if (name == L"Container") return static_cast<CContainerUI*>(this);
    return CControlUI::GetInterfaceByName(name);
}

// Children -------------------------------------------------------------------

CControlUI* CContainerUI::GetItemAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_items.size())) return nullptr;
    return m_items[index];
}

int CContainerUI::GetItemIndex(CControlUI* control) const
{
    auto it = std::find(m_items.begin(), m_items.end(), control);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    const int from = GetItemIndex(control);
    if (from < 0 || index < 0 || index >= static_cast<int>(m_items.size())) return false;
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + index, control);
    RequestLayout();
    return true;
}

int CContainerUI::GetCount() const { return static_cast<int>(m_items.size()); }

bool CContainerUI::Add(CControlUI* control)
{
    return AddAt(control, static_cast<int>(m_items.size()));
}

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (!control || index < 0 || index > static_cast<int>(m_items.size())) return false;
    if (m_manager) m_manager->RegisterTree(control, this);
    else control->SetManager(nullptr, this, false);
    if (IsVisible())
        RequestLayout();
    else
        control->SetInheritedVisible(false);
    m_items.insert(m_items.begin() + index, control);
    return true;
}

void CContainerUI::DestroyChild(CControlUI* control)
{
    if (!m_autoDestroy) return;
    if (m_delayedDestroy && m_manager)
        m_manager->DeleteLater(control);
    else
        delete control;
}

bool CContainerUI::Remove(CControlUI* control)
{
    // This container's own list, whatever a derived class reports as its items.
    const int index = CContainerUI::GetItemIndex(control);
    if (index < 0) return false;
    RequestLayout();
    // Out of the list first, so that nothing reaches a child being deleted
    // through its container.
    m_items.erase(m_items.begin() + index);
    DestroyChild(control);
    return true;
}

bool CContainerUI::RemoveAt(int index)
{
    CControlUI* control = GetItemAt(index);
    return control ? Remove(control) : false;
}

void CContainerUI::RemoveAll()
{
    std::vector<CControlUI*> items;
    items.swap(m_items);
    for (CControlUI* control : items) DestroyChild(control);
    RequestLayout();
}

// Simple properties ----------------------------------------------------------------

RECT CContainerUI::GetInset() const { return m_inset; }

void CContainerUI::SetInset(int left, int top, int right, int bottom)
{
    m_inset = RECT{left, top, right, bottom};
    RequestLayout();
}

int CContainerUI::GetChildPadding() const { return m_childPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_childPadding = padding;
    RequestLayout();
}

bool CContainerUI::OwnsChildren() const { return m_autoDestroy; }
void CContainerUI::SetOwnsChildren(bool owns) { m_autoDestroy = owns; }
bool CContainerUI::IsDeferredDelete() const { return m_delayedDestroy; }
void CContainerUI::SetDeferredDelete(bool deferred) { m_delayedDestroy = deferred; }
bool CContainerUI::AreChildrenHitTested() const { return m_mouseChild; }
void CContainerUI::SetChildrenHitTested(bool tested) { m_mouseChild = tested; }

int CContainerUI::NextSelectableItem(int index, bool forward)
{
    const int count = static_cast<int>(m_items.size());
    if (count == 0) return -1;
    index = std::clamp(index, 0, count - 1);
    auto selectable = [this](int i) {
        CControlUI* c = m_items[i];
        return c->GetInterfaceByName(L"ListItem") && c->IsVisible() && c->IsEnabled();
    };
    if (forward) {
        for (int i = index; i < count; ++i)
            if (selectable(i)) return i;
        return -1;
    }
    for (int i = index; i >= 0; --i)
        if (selectable(i)) return i;
    return NextSelectableItem(0, true);
}

bool CContainerUI::IsBarVisible(const CScrollBarUI* bar) const { return bar && bar->IsVisible(); }

RECT CContainerUI::InnerRect() const
{
    RECT rc = InsetBy(m_pos, m_inset);
    if (IsBarVisible(m_verticalBar)) rc.right -= m_verticalBar->GetFixedWidth();
    if (IsBarVisible(m_horizontalBar)) rc.bottom -= m_horizontalBar->GetFixedHeight();
    return rc;
}

// Manager, visibility -----------------------------------------------------------------

void CContainerUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    for (CControlUI* child : m_items) child->SetManager(manager, this, init);
    if (m_verticalBar) m_verticalBar->SetManager(manager, this, init);
    if (m_horizontalBar) m_horizontalBar->SetManager(manager, this, init);
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::TellChildrenVisibility()
{
    const bool visible = IsVisible();
    for (CControlUI* child : m_items) child->SetInheritedVisible(visible);
}

void CContainerUI::SetVisible(bool visible)
{
    if (visible == m_visible) return;
    CControlUI::SetVisible(visible);
    TellChildrenVisibility();
}

void CContainerUI::SetInheritedVisible(bool visible)
{
    CControlUI::SetInheritedVisible(visible);
    TellChildrenVisibility();
}

void CContainerUI::SetMouseEnabled(bool enabled)
{
    if (m_verticalBar) m_verticalBar->SetMouseEnabled(enabled);
    if (m_horizontalBar) m_horizontalBar->SetMouseEnabled(enabled);
    CControlUI::SetMouseEnabled(enabled);
}

// Layout ---------------------------------------------------------------------------------

void CContainerUI::SetPos(RECT rect, bool invalidate)
{
    // 1. The control's own placement.
    CControlUI::SetPos(rect, invalidate);
    if (m_items.empty()) return;
    // 2. The area that the children share, shifted by the scroll positions.
    RECT area = InsetBy(m_pos, m_inset);
    if (IsBarVisible(m_verticalBar)) {
        area.top -= m_verticalBar->GetScrollPos();
        area.right -= m_verticalBar->GetFixedWidth();
        area.bottom += m_verticalBar->GetScrollRange() - m_verticalBar->GetScrollPos();
    }
    if (IsBarVisible(m_horizontalBar)) {
        area.left -= m_horizontalBar->GetScrollPos();
        area.right += m_horizontalBar->GetScrollRange() - m_horizontalBar->GetScrollPos();
        area.bottom -= m_horizontalBar->GetFixedHeight();
    }
    // 3. Every child over the whole area, within its own limits.
    for (size_t i = 0; i < m_items.size(); ++i) {
        CControlUI* child = m_items[i];
        if (!child->IsVisible()) continue;
        if (child->IsFloat()) {
            PlaceFloatingChild(static_cast<int>(i));
            continue;
        }
        const int width = std::max<int>(0, ClampChildWidth(child, area.right - area.left));
        const int height = std::max<int>(0, ClampChildHeight(child, area.bottom - area.top));
        child->SetPos(RECT{area.left, area.top, area.left + width, area.top + height}, false);
    }
}

int CContainerUI::ClampChildWidth(const CControlUI* child, int width)
{
    if (width < child->GetMinWidth()) width = child->GetMinWidth();
    if (width > child->GetMaxWidth()) width = child->GetMaxWidth();
    return width;
}

int CContainerUI::ClampChildHeight(const CControlUI* child, int height)
{
    if (height < child->GetMinHeight()) height = child->GetMinHeight();
    if (height > child->GetMaxHeight()) height = child->GetMaxHeight();
    return height;
}

void CContainerUI::Move(int dx, int dy, bool invalidate)
{
    CControlUI::Move(dx, dy, invalidate);
    if (IsBarVisible(m_verticalBar)) m_verticalBar->Move(dx, dy, false);
    if (IsBarVisible(m_horizontalBar)) m_horizontalBar->Move(dx, dy, false);
    for (CControlUI* child : m_items)
        if (child->IsVisible()) child->Move(dx, dy, false);
}

void CContainerUI::PlaceFloatingChild(int index)
{
    CControlUI* child = GetItemAt(index);
    if (!child || !child->IsVisible() || !child->IsFloat()) return;
    const int w = m_pos.right - m_pos.left;
    const int h = m_pos.bottom - m_pos.top;
    const SIZE offset = child->GetFloatOffset();
    const FloatAnchors p = child->GetFloatAnchors();
    // Relative to this container; the child's SetPos adds our corner.
    RECT rc{offset.cx + Trunc(w * p.left), offset.cy + Trunc(h * p.top),
            offset.cx + child->GetFixedWidth() + Trunc(w * p.right),
            offset.cy + child->GetFixedHeight() + Trunc(h * p.bottom)};
    child->SetPos(rc, false);
}

void CContainerUI::PlaceScrollBars(RECT rc, int, int requiredHeight)
{
    // 1. The horizontal bar along the bottom; its range is the layout's.
    if (IsBarVisible(m_horizontalBar))
        m_horizontalBar->SetPos(RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_horizontalBar->GetFixedHeight()},
                                true);
    // 2.
    if (!m_verticalBar) return;
    const int overflow = requiredHeight - (rc.bottom - rc.top);
    const bool visible = m_verticalBar->IsVisible();
    // 3. Content got taller than the view: the bar appears and the
    //    children are laid out again beside it.
    if (overflow > 0 && !visible) {
        m_verticalBar->SetVisible(true);
        m_verticalBar->SetScrollRange(overflow);
        m_verticalBar->SetScrollPos(0);
        m_inScrollProcessing = true;
        SetPos(m_pos, true);
        m_inScrollProcessing = false;
        return;
    }
    // 4.
    if (!visible) return;
    // 5. The bar stays; its range follows the content.
    if (overflow > 0 || m_inScrollProcessing) {
        m_verticalBar->SetPos(RECT{rc.right, rc.top, rc.right + m_verticalBar->GetFixedWidth(), rc.bottom}, true);
        if (m_verticalBar->GetScrollRange() != overflow) {
            const int oldPos = m_verticalBar->GetScrollPos();
            m_verticalBar->SetScrollRange(std::max<int>(0, overflow));
            if (m_verticalBar->GetScrollRange() == 0) {
                m_verticalBar->SetVisible(false);
                m_verticalBar->SetScrollPos(0);
            }
            if (m_verticalBar->GetScrollPos() < oldPos) SetPos(m_pos, false);
        }
        return;
    }
    // 6. Everything fits again: the bar goes.
    m_verticalBar->SetVisible(false);
    m_verticalBar->SetScrollPos(0);
    m_verticalBar->SetScrollRange(0);
    SetPos(m_pos, true);
}

// Scrolling ---------------------------------------------------------------------------------

SIZE CContainerUI::GetScrollPos() const
{
    return SIZE{m_horizontalBar ? m_horizontalBar->GetScrollPos() : 0,
                m_verticalBar ? m_verticalBar->GetScrollPos() : 0};
}

SIZE CContainerUI::GetScrollRange() const
{
    return SIZE{m_horizontalBar ? m_horizontalBar->GetScrollRange() : 0,
                m_verticalBar ? m_verticalBar->GetScrollRange() : 0};
}

void CContainerUI::SetScrollPos(SIZE pos)
{
    int dx = 0;
    int dy = 0;
    if (IsBarVisible(m_verticalBar)) {
        const int old = m_verticalBar->GetScrollPos();
        m_verticalBar->SetScrollPos(pos.cy);
        dy = m_verticalBar->GetScrollPos() - old;
    }
    if (IsBarVisible(m_horizontalBar)) {
        const int old = m_horizontalBar->GetScrollPos();
        m_horizontalBar->SetScrollPos(pos.cx);
        dx = m_horizontalBar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) return;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat()) continue;
        child->Move(-dx, -dy, false);
    }
    Invalidate();
}

int CContainerUI::LineStep() const
{
    if (!m_manager) return 8;
    const FontEntry* font = m_manager->DefaultFontEntry();
    return (font && font->metricsKnown ? font->metrics.tmHeight : 0) + 8;
}

void CContainerUI::ScrollLineUp()
{
    SIZE p = GetScrollPos();
    p.cy -= LineStep();
    SetScrollPos(p);
}

void CContainerUI::ScrollLineDown()
{
    SIZE p = GetScrollPos();
    p.cy += LineStep();
    SetScrollPos(p);
}

void CContainerUI::ScrollPageUp()
{
    SIZE p = GetScrollPos();
    int page = m_pos.bottom - m_pos.top - m_inset.top - m_inset.bottom;
    if (IsBarVisible(m_horizontalBar)) page -= m_horizontalBar->GetFixedHeight();
    p.cy -= page;
    SetScrollPos(p);
}

void CContainerUI::ScrollPageDown()
{
    SIZE p = GetScrollPos();
    int page = m_pos.bottom - m_pos.top - m_inset.top - m_inset.bottom;
    if (IsBarVisible(m_horizontalBar)) page -= m_horizontalBar->GetFixedHeight();
    p.cy += page;
    SetScrollPos(p);
}

void CContainerUI::ScrollToTop()
{
    SIZE p = GetScrollPos();
    p.cy = 0;
    SetScrollPos(p);
}

void CContainerUI::ScrollToBottom()
{
    SIZE p = GetScrollPos();
    p.cy = GetScrollRange().cy;
    SetScrollPos(p);
}

void CContainerUI::ScrollLineLeft()
{
    SIZE p = GetScrollPos();
    p.cx -= 8;
    SetScrollPos(p);
}

void CContainerUI::ScrollLineRight()
{
    SIZE p = GetScrollPos();
    p.cx += 8;
    SetScrollPos(p);
}

void CContainerUI::ScrollPageLeft()
{
    SIZE p = GetScrollPos();
    int page = m_pos.right - m_pos.left - m_inset.left - m_inset.right;
    if (IsBarVisible(m_verticalBar)) page -= m_verticalBar->GetFixedWidth();
    p.cx -= page;
    SetScrollPos(p);
}

void CContainerUI::ScrollPageRight()
{
    SIZE p = GetScrollPos();
    int page = m_pos.right - m_pos.left - m_inset.left - m_inset.right;
    if (IsBarVisible(m_verticalBar)) page -= m_verticalBar->GetFixedWidth();
    p.cx += page;
    SetScrollPos(p);
}

void CContainerUI::ScrollToLeftEnd()
{
    SIZE p = GetScrollPos();
    p.cx = 0;
    SetScrollPos(p);
}

void CContainerUI::ScrollToRightEnd()
{
    SIZE p = GetScrollPos();
    p.cx = GetScrollRange().cx;
    SetScrollPos(p);
}

void CContainerUI::EnableScrollBar(bool vertical, bool horizontal)
{
    auto make = [this](CScrollBarUI*& bar, bool wanted, bool isHorizontal, const wchar_t* tag) {
        if (!wanted) {
            delete bar;
            bar = nullptr;
            return;
        }
        if (bar) return;
        bar = new CScrollBarUI;
        // A new bar waits hidden until the content overflows.
        bar->SetVisible(false);
        if (isHorizontal) bar->SetHorizontal(true);
        bar->SetOwner(this);
        bar->SetManager(m_manager, this, false);
        if (m_manager) {
            if (const std::wstring* defaults = m_manager->TagDefaults(tag)) bar->ApplyAttributes(*defaults);
        }
    };
    make(m_verticalBar, vertical, false, L"VScrollBar");
    make(m_horizontalBar, horizontal, true, L"HScrollBar");
    RequestLayout();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_verticalBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_horizontalBar; }

// Events, search, attributes ------------------------------------------------------------------

void CContainerUI::OnEvent(ControlEvent& event)
{
    // 1. A container that ignores the mouse lets mouse events through.
    if (LetMouseThrough(event, [&] { CControlUI::OnEvent(event); })) return;
    // 2. Focus is recorded without a repaint.
    if (event.type == UIEVENT_SETFOCUS) {
        m_focused = true;
        return;
    }
    if (event.type == UIEVENT_KILLFOCUS) {
        m_focused = false;
        return;
    }
    const bool vertical = IsBarVisible(m_verticalBar) && m_verticalBar->IsEnabled();
    const bool horizontal = IsBarVisible(m_horizontalBar) && m_horizontalBar->IsEnabled();
    // 3./4. Keys and the wheel scroll along the bar there is.
    if (vertical || horizontal) {
        if (event.type == UIEVENT_KEYDOWN) {
            switch (event.key) {
            case VK_PRIOR: vertical ? ScrollPageUp() : ScrollPageLeft(); return;
            case VK_NEXT: vertical ? ScrollPageDown() : ScrollPageRight(); return;
            case VK_END: vertical ? ScrollToBottom() : ScrollToRightEnd(); return;
            case VK_HOME: vertical ? ScrollToTop() : ScrollToLeftEnd(); return;
            case VK_UP: vertical ? ScrollLineUp() : ScrollLineLeft(); return;
            case VK_DOWN: vertical ? ScrollLineDown() : ScrollLineRight(); return;
            default: break;
            }
        } else if (event.type == UIEVENT_SCROLLWHEEL) {
            switch (LOWORD(event.wParam)) {
            case SB_LINEUP: vertical ? ScrollLineUp() : ScrollLineLeft(); return;
            case SB_LINEDOWN: vertical ? ScrollLineDown() : ScrollLineRight(); return;
            default: break;
            }
        }
    }
    // 5.
    CControlUI::OnEvent(event);
}

CControlUI* CContainerUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    const bool hitTest = (flags & UIFIND_HITTEST) != 0;
    // 1. The bits of a single control, except that the container's own
    //    mouse flag does not stop the search of its children.
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if (hitTest && !PtInRect(&m_pos, *static_cast<const POINT*>(data))) return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data)) return nullptr;
    // 2. The container itself first when asked.
    if ((flags & UIFIND_ME_FIRST) && (!hitTest || m_mouseEnabled)) {
        if (CControlUI* found = proc(this, data)) return found;
    }
    // 3. The scroll bars lie over the children.
    if (!hitTest || m_mouseEnabled) {
        if (m_verticalBar)
            if (CControlUI* found = m_verticalBar->FindControl(proc, data, flags)) return found;
        if (m_horizontalBar)
            if (CControlUI* found = m_horizontalBar->FindControl(proc, data, flags)) return found;
    }
    // 4. The children, last first when asked; a hit counts inside the
    //    inner area or on a floating control.
    if (!hitTest || m_mouseChild) {
        const RECT inner = InnerRect();
        const int count = static_cast<int>(m_items.size());
        const bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        for (int n = 0; n < count; ++n) {
            CControlUI* child = m_items[topFirst ? count - 1 - n : n];
            CControlUI* found = child->FindControl(proc, data, flags);
            if (!found) continue;
            if (!hitTest || found->IsFloat() || PtInRect(&inner, *static_cast<const POINT*>(data))) return found;
        }
    }
    // 5.
    if ((flags & UIFIND_ME_FIRST) || (hitTest && !m_mouseEnabled)) return nullptr;
    return proc(this, data);
}

namespace {

using Setter = void (*)(CContainerUI&, const std::wstring&);

const std::unordered_map<std::wstring, Setter>& ContainerAttributes()
{
    static const std::unordered_map<std::wstring, Setter> table = {
        {L"inset",
         [](CContainerUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetInset(q.a, q.b, q.c, q.d);
         }},
        {L"childpadding", [](CContainerUI& c, const std::wstring& v) { c.SetChildPadding(ParseInt(v)); }},
        {L"mousechild", [](CContainerUI& c, const std::wstring& v) { c.SetChildrenHitTested(ParseBool(v)); }},
        {L"vscrollbar",
         [](CContainerUI& c, const std::wstring& v) {
             c.EnableScrollBar(ParseBool(v), c.GetHorizontalScrollBar() != nullptr);
         }},
        {L"hscrollbar",
         [](CContainerUI& c, const std::wstring& v) {
             c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, ParseBool(v));
         }},
        {L"vscrollbarstyle",
         [](CContainerUI& c, const std::wstring& v) {
             c.EnableScrollBar(true, c.GetHorizontalScrollBar() != nullptr);
             c.GetVerticalScrollBar()->ApplyAttributes(v);
         }},
        {L"hscrollbarstyle",
         [](CContainerUI& c, const std::wstring& v) {
             c.EnableScrollBar(c.GetVerticalScrollBar() != nullptr, true);
             c.GetHorizontalScrollBar()->ApplyAttributes(v);
         }},
    };
    return table;
}

}  // namespace

void CContainerUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    const auto& table = ContainerAttributes();
    auto it = table.find(name);
    if (it != table.end())
        it->second(*this, value);
    else
        CControlUI::SetAttribute(name, value);
}

// Painting ----------------------------------------------------------------------------------

void CContainerUI::Paint(HDC dc, const RECT& paint)
{
    // 1. Everything below stays inside the container.
    RECT outer;
    if (!IntersectRect(&outer, &paint, &m_pos)) return;
    ClipScope outerClip;
    CDrawKit::ClipToRect(dc, outer, outerClip);
    // 2. The container itself.
    CControlUI::Paint(dc, paint);
    // 3. The children: flowing ones inside the inner area, floating ones
    //    anywhere in the container, so they may cover the inset.
    if (!m_items.empty()) {
        const RECT inner = InnerRect();
        RECT innerPaint;
        if (IntersectRect(&innerPaint, &paint, &inner)) {
            ClipScope innerClip;
            CDrawKit::ClipToRect(dc, innerPaint, innerClip);
            for (CControlUI* child : m_items) {
                if (!child->IsVisible() || !Meets(child->GetPos(), paint)) continue;
                if (child->IsFloat()) {
                    if (!Meets(child->GetPos(), m_pos)) continue;
                    innerClip.Close();
                    child->Paint(dc, paint);
                    CDrawKit::ClipToRect(dc, innerPaint, innerClip);
                } else if (Meets(child->GetPos(), inner)) {
                    child->Paint(dc, paint);
                }
            }
        } else {
            for (CControlUI* child : m_items) {
                if (!child->IsVisible() || !child->IsFloat()) continue;
                if (Meets(child->GetPos(), paint) && Meets(child->GetPos(), m_pos)) child->Paint(dc, paint);
            }
        }
    }
    // 4. Scroll bars on top of everything.
    if (IsBarVisible(m_verticalBar) && Meets(m_verticalBar->GetPos(), paint)) m_verticalBar->Paint(dc, paint);
    if (IsBarVisible(m_horizontalBar) && Meets(m_horizontalBar->GetPos(), paint))
        m_horizontalBar->Paint(dc, paint);
}
