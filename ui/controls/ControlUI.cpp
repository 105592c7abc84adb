#include "ui/controls/ControlUI.h"

#include <cmath>
#include <unordered_map>

#include "ui/controls/ControlImages.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

namespace {

bool Intersect(RECT& out, const RECT& a, const RECT& b)
{
    return IntersectRect(&out, &a, &b) != FALSE;
}

int Trunc(double value) { return static_cast<int>(value); }

}  // namespace

CControlUI::CControlUI() = default;

CControlUI::~CControlUI()
{
    if (!m_destroyHandlers.Empty()) m_destroyHandlers.Invoke(this);
    // The image descriptors give their images back as they die, to the
    // manager that lent them, whether or not this control still has one.
    if (m_manager) m_manager->ForgetControl(this);
}

void CControlUI::ReleaseImages()
{
    // The texts stay; the next paint with a manager loads anew.
    m_bkImage.GiveBack();
    m_foreImage.GiveBack();
}

std::wstring CControlUI::GetName() const { return m_name; }
void CControlUI::SetName(const std::wstring& name) { m_name = name; }
const wchar_t* CControlUI::GetClassName() const { return L"ControlUI"; }

void* CControlUI::GetInterfaceByName(const std::wstring& name)
{
    return name == L"Control" ? this : nullptr;
}

UINT CControlUI::GetInputFlags() const { return 0; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CWindowManagerUI* CControlUI::GetManager() const { return m_manager; }

void CControlUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    m_manager = manager;
    m_parent = parent;
    if (init && m_parent) Init();
}

CControlUI* CControlUI::GetParent() const { return m_parent; }
std::wstring CControlUI::GetText() const { return m_text; }

void CControlUI::SetText(const std::wstring& text)
{
    if (text == m_text) return;
    m_text = text;
    Invalidate();
}

// Geometry -------------------------------------------------------------------

const RECT& CControlUI::GetPos() const { return m_pos; }

RECT CControlUI::GetPosInParent() const
{
    if (!m_parent) return RECT{0, 0, 0, 0};
    RECT r = m_pos;
    const RECT& p = m_parent->GetPos();
    OffsetRect(&r, -p.left, -p.top);
    return r;
}

void CControlUI::SetPos(RECT rect, bool invalidate)
{
    // 1. A rectangle never turns inside out.
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
    // 2. An empty old position counts as the new one, so the first placing
    //    repaints no stale area.
    RECT old = m_pos;
    if (IsRectEmpty(&old)) old = rect;
    // 3. Floating controls are given rectangles relative to their parent,
    //    and the fixed values follow the placement back.
    if (!m_float) {
        m_pos = rect;
    } else if (m_parent) {
        const RECT& p = m_parent->GetPos();
        m_pos = rect;
        OffsetRect(&m_pos, p.left, p.top);
        const int w = p.right - p.left;
        const int h = p.bottom - p.top;
        m_fixedX = rect.left - Trunc(m_floatPercent.left * w);
        m_fixedY = rect.top - Trunc(m_floatPercent.top * h);
        m_fixedWidth = rect.right - m_fixedX - Trunc(m_floatPercent.right * w);
        m_fixedHeight = rect.bottom - m_fixedY - Trunc(m_floatPercent.bottom * h);
    }
    // 4. Without a manager nobody listens.
    if (!m_manager) return;
    // 5. Size handlers, never re-entered from inside one of them.
    if (!m_inSizeHandlers) {
        m_inSizeHandlers = true;
        m_sizeHandlers.Invoke(this);
        m_inSizeHandlers = false;
    }
    // 6.
    m_updateNeeded = false;
    // 7. Old and new area, clipped by the ancestors.
    if (invalidate && IsVisible()) {
        RECT both{std::min(old.left, m_pos.left), std::min(old.top, m_pos.top),
                  std::max(old.right, m_pos.right), std::max(old.bottom, m_pos.bottom)};
        RepaintClipped(both);
    }
}

void CControlUI::Move(int dx, int dy, bool invalidate)
{
    RECT old = m_pos;
    OffsetRect(&m_pos, dx, dy);
    if (!invalidate || !m_manager || !IsVisible()) return;
    RECT both{std::min(old.left, m_pos.left), std::min(old.top, m_pos.top),
              std::max(old.right, m_pos.right), std::max(old.bottom, m_pos.bottom)};
    RepaintClipped(both);
}

void CControlUI::RepaintClipped(const RECT& area)
{
    if (!m_manager) return;
    RECT r = area;
    for (CControlUI* p = m_parent; p; p = p->GetParent()) {
        if (!p->IsVisible()) return;
        if (!Intersect(r, r, p->GetPos())) return;
    }
    m_manager->RepaintRect(r);
}

int CControlUI::GetWidth() const { return m_pos.right - m_pos.left; }
int CControlUI::GetHeight() const { return m_pos.bottom - m_pos.top; }
int CControlUI::GetX() const { return m_pos.left; }
int CControlUI::GetY() const { return m_pos.top; }
RECT CControlUI::GetPadding() const { return m_padding; }

void CControlUI::SetPadding(int left, int top, int right, int bottom)
{
    m_padding = RECT{left, top, right, bottom};
    RequestParentLayout();
}

SIZE CControlUI::GetFloatOffset() const { return SIZE{m_fixedX, m_fixedY}; }

void CControlUI::RelayoutForHint()
{
    if (m_float)
        RequestLayout();
    else
        RequestParentLayout();
}

void CControlUI::SetFloatOffset(int x, int y)
{
    m_fixedX = x;
    m_fixedY = y;
    RelayoutForHint();
}

int CControlUI::GetFixedWidth() const { return m_fixedWidth; }

void CControlUI::SetFixedWidth(int width)
{
    if (width < 0) return;
    m_fixedWidth = width;
    RelayoutForHint();
}

int CControlUI::GetFixedHeight() const { return m_fixedHeight; }

void CControlUI::SetFixedHeight(int height)
{
    if (height < 0) return;
    m_fixedHeight = height;
    RelayoutForHint();
}

int CControlUI::GetMinWidth() const { return m_minWidth; }

void CControlUI::SetMinWidth(int width)
{
    if (width < 0 || width == m_minWidth) return;
    m_minWidth = width;
    RelayoutForHint();
}

int CControlUI::GetMaxWidth() const { return m_maxWidth; }

void CControlUI::SetMaxWidth(int width)
{
    if (width < 0 || width == m_maxWidth) return;
    m_maxWidth = width;
    RelayoutForHint();
}

int CControlUI::GetMinHeight() const { return m_minHeight; }

void CControlUI::SetMinHeight(int height)
{
    if (height < 0 || height == m_minHeight) return;
    m_minHeight = height;
    RelayoutForHint();
}

int CControlUI::GetMaxHeight() const { return m_maxHeight; }

void CControlUI::SetMaxHeight(int height)
{
    if (height < 0 || height == m_maxHeight) return;
    m_maxHeight = height;
    RelayoutForHint();
}

CControlUI::FloatAnchors CControlUI::GetFloatAnchors() const { return m_floatPercent; }

void CControlUI::SetFloatAnchors(double left, double top, double right, double bottom)
{
    m_floatPercent = FloatAnchors{left, top, right, bottom};
    RequestParentLayout();
}

// Small properties -------------------------------------------------------------

std::wstring CControlUI::GetToolTip() const { return m_toolTip; }

void CControlUI::SetToolTip(const std::wstring& text)
{
    std::wstring tip;
    tip.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, 3, L"<n>") == 0) {
            tip += L"\r\n";
            i += 3;
        } else {
            tip += text[i++];
        }
    }
    // A tip already on screen is refreshed by a hover at the control.
    if (tip != m_toolTip && m_manager && m_manager->GetWindow() && IsWindowVisible(m_manager->GetWindow()) &&
        m_manager->GetHover() == this) {
        const LPARAM point = MAKELPARAM(m_pos.left + 1, m_pos.top + 1);
        PostMessageW(m_manager->GetWindow(), WM_MOUSEHOVER, 0, point);
    }
    m_toolTip = tip;
}

void CControlUI::SetToolTipWidth(int width) { m_toolTipWidth = width; }
int CControlUI::GetToolTipWidth() const { return m_toolTipWidth; }
wchar_t CControlUI::GetShortcut() const { return m_shortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_shortcut = ch; }
bool CControlUI::IsMenuNotifyOn() const { return m_menuUsed; }
void CControlUI::SetMenuNotifyOn(bool on) { m_menuUsed = on; }
std::wstring CControlUI::GetUserData() const { return m_userData; }
void CControlUI::SetUserData(const std::wstring& text) { m_userData = text; }
uintptr_t CControlUI::GetTag() const { return m_tag; }
void CControlUI::SetTag(uintptr_t tag) { m_tag = tag; }

// State ---------------------------------------------------------------------------

bool CControlUI::IsVisible() const { return m_visible && m_inheritedVisible; }

void CControlUI::SetVisible(bool visible)
{
    if (visible == m_visible) return;
    const bool wasVisible = IsVisible();
    m_visible = visible;
    if (m_focused) m_focused = false;
    if (!visible && m_manager && m_manager->GetFocus() == this) m_manager->FocusControl(nullptr);
    if (IsVisible() != wasVisible) RequestParentLayout();
}

void CControlUI::SetInheritedVisible(bool visible)
{
    m_inheritedVisible = visible;
    if (!visible && m_manager && m_manager->GetFocus() == this) m_manager->FocusControl(nullptr);
}

bool CControlUI::IsEnabled() const { return m_enabled; }

void CControlUI::SetEnabled(bool enabled)
{
    if (enabled == m_enabled) return;
    m_enabled = enabled;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_mouseEnabled; }
void CControlUI::SetMouseEnabled(bool enabled) { m_mouseEnabled = enabled; }
bool CControlUI::IsKeyboardEnabled() const { return m_keyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enabled) { m_keyboardEnabled = enabled; }
bool CControlUI::IsFocused() const { return m_focused; }

void CControlUI::SetFocus()
{
    if (m_manager) m_manager->FocusControl(this);
}

bool CControlUI::IsFloat() const { return m_float; }

void CControlUI::SetFloat(bool floating)
{
    if (floating == m_float) return;
    m_float = floating;
    RequestParentLayout();
}

CControlUI* CControlUI::FindControl(FindControlProc proc, void* data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
    if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
    if ((flags & UIFIND_HITTEST) &&
        (!m_mouseEnabled || !PtInRect(&m_pos, *static_cast<const POINT*>(data))))
        return nullptr;
    if ((flags & UIFIND_UPDATETEST) && proc(this, data)) return nullptr;
    return proc(this, data);
}

void CControlUI::Init()
{
    OnInitialize();
    m_initHandlers.Invoke(this);
}

void CControlUI::OnInitialize() {}

void CControlUI::HandleEvent(ControlEvent& event)
{
    if (!m_eventHandlers.Invoke(&event)) return;
    OnEvent(event);
}

void CControlUI::SendNotify(const wchar_t* type, WPARAM wParam, LPARAM lParam)
{
    if (m_manager) m_manager->SendNotification(this, type, wParam, lParam);
}

void CControlUI::OnEvent(ControlEvent& event)
{
    switch (event.type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return;
    case UIEVENT_SETFOCUS:
        m_focused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_focused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        SendNotify(L"timer", event.wParam, event.lParam);
        return;
    case UIEVENT_CONTEXTMENU:
        if (m_menuUsed) {
            SendNotify(L"menu", event.wParam, event.lParam);
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        SendNotify(L"mouseenter", event.wParam, event.lParam);
        break;
    case UIEVENT_MOUSELEAVE:
        SendNotify(L"mouseleave", event.wParam, event.lParam);
        break;
    case UIEVENT_RBUTTONUP:
        SendNotify(L"rclick", event.wParam, event.lParam);
        break;
    default:
        break;
    }
    // Unhandled events climb to the nearest container that wants them.
    if (m_parent) m_parent->OnEvent(event);
}

// Attributes ---------------------------------------------------------------------

namespace {

using Setter = void (*)(CControlUI&, const std::wstring&);

const std::unordered_map<std::wstring, Setter>& ControlAttributes()
{
    static const std::unordered_map<std::wstring, Setter> table = {
        {L"pos",
         [](CControlUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetFloatOffset(q.a, q.b);
             c.SetFixedWidth(q.c - q.a);
             c.SetFixedHeight(q.d - q.b);
         }},
        {L"padding",
         [](CControlUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetPadding(q.a, q.b, q.c, q.d);
         }},
        {L"bkcolor", [](CControlUI& c, const std::wstring& v) { c.SetBackgroundColor(ParseColor(v, true)); }},
        {L"bkcolor1", [](CControlUI& c, const std::wstring& v) { c.SetBackgroundColor(ParseColor(v, true)); }},
        {L"bkcolor2", [](CControlUI& c, const std::wstring& v) { c.SetBackgroundColor2(ParseColor(v, true)); }},
        {L"bkcolor3", [](CControlUI& c, const std::wstring& v) { c.SetBackgroundColor3(ParseColor(v, true)); }},
        {L"bordercolor", [](CControlUI& c, const std::wstring& v) { c.SetBorderColor(ParseColor(v, false)); }},
        {L"focusbordercolor",
         [](CControlUI& c, const std::wstring& v) { c.SetFocusBorderColor(ParseColor(v, false)); }},
        {L"colorhsl", [](CControlUI& c, const std::wstring& v) { c.SetColorHSL(ParseBool(v)); }},
        {L"bordersize",
         [](CControlUI& c, const std::wstring& v) {
             if (v.find(L',') == std::wstring::npos) {
                 c.SetBorderSize(ParseInt(v));
                 c.SetSideBorderSizes(0, 0, 0, 0);
             } else {
                 IntQuad q = ParseIntList(v);
                 c.SetSideBorderSizes(q.a, q.b, q.c, q.d);
             }
             c.Invalidate();
         }},
        {L"leftbordersize",
         [](CControlUI& c, const std::wstring& v) {
             RECT s = c.GetSideBorderSizes();
             c.SetSideBorderSizes(ParseInt(v), s.top, s.right, s.bottom);
         }},
        {L"topbordersize",
         [](CControlUI& c, const std::wstring& v) {
             RECT s = c.GetSideBorderSizes();
             c.SetSideBorderSizes(s.left, ParseInt(v), s.right, s.bottom);
         }},
        {L"rightbordersize",
         [](CControlUI& c, const std::wstring& v) {
             RECT s = c.GetSideBorderSizes();
             c.SetSideBorderSizes(s.left, s.top, ParseInt(v), s.bottom);
         }},
        {L"bottombordersize",
         [](CControlUI& c, const std::wstring& v) {
             RECT s = c.GetSideBorderSizes();
             c.SetSideBorderSizes(s.left, s.top, s.right, ParseInt(v));
         }},
        {L"borderstyle", [](CControlUI& c, const std::wstring& v) { c.SetBorderStyle(ParseInt(v)); }},
        {L"borderround",
         [](CControlUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetBorderRound(q.a, q.b);
         }},
        {L"bkimage", [](CControlUI& c, const std::wstring& v) { c.SetBackgroundImage(v); }},
        {L"width", [](CControlUI& c, const std::wstring& v) { c.SetFixedWidth(ParseInt(v)); }},
        {L"height", [](CControlUI& c, const std::wstring& v) { c.SetFixedHeight(ParseInt(v)); }},
        {L"minwidth", [](CControlUI& c, const std::wstring& v) { c.SetMinWidth(ParseInt(v)); }},
        {L"minheight", [](CControlUI& c, const std::wstring& v) { c.SetMinHeight(ParseInt(v)); }},
        {L"maxwidth", [](CControlUI& c, const std::wstring& v) { c.SetMaxWidth(ParseInt(v)); }},
        {L"maxheight", [](CControlUI& c, const std::wstring& v) { c.SetMaxHeight(ParseInt(v)); }},
        {L"name", [](CControlUI& c, const std::wstring& v) { c.SetName(v); }},
        {L"text", [](CControlUI& c, const std::wstring& v) { c.SetText(v); }},
        {L"tooltip", [](CControlUI& c, const std::wstring& v) { c.SetToolTip(v); }},
        {L"userdata", [](CControlUI& c, const std::wstring& v) { c.SetUserData(v); }},
        {L"enabled", [](CControlUI& c, const std::wstring& v) { c.SetEnabled(ParseBool(v)); }},
        {L"mouse", [](CControlUI& c, const std::wstring& v) { c.SetMouseEnabled(ParseBool(v)); }},
        {L"keyboard", [](CControlUI& c, const std::wstring& v) { c.SetKeyboardEnabled(ParseBool(v)); }},
        {L"visible", [](CControlUI& c, const std::wstring& v) { c.SetVisible(ParseBool(v)); }},
        {L"float",
         [](CControlUI& c, const std::wstring& v) {
             if (v.find(L',') != std::wstring::npos) {
                 FractionQuad q = ParseFractionList(v);
                 c.SetFloatAnchors(q.a, q.b, q.c, q.d);
                 c.SetFloat(true);
             } else {
                 c.SetFloat(ParseBool(v));
             }
         }},
        {L"shortcut", [](CControlUI& c, const std::wstring& v) { c.SetShortcut(v.empty() ? 0 : v[0]); }},
        {L"menu", [](CControlUI& c, const std::wstring& v) { c.SetMenuNotifyOn(ParseBool(v)); }},
        {L"virtualwnd", [](CControlUI& c, const std::wstring& v) { c.SetVirtualWindowName(v); }},
    };
    return table;
}

}  // namespace

void CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    // Stored only; kept out of the table because it has no setter.
    if (name == L"transparent") {
        m_transparent = ParseBool(value);
        return;
    }
    const auto& table = ControlAttributes();
    auto it = table.find(name);
    if (it != table.end()) it->second(*this, value);
}

void CControlUI::ApplyAttributes(const std::wstring& list)
{
    size_t i = 0;
    const size_t n = list.size();
    while (i < n) {
        // 1. The name runs up to the next "=".
        size_t eq = list.find(L'=', i);
        if (eq == std::wstring::npos) return;
        std::wstring name = list.substr(i, eq - i);
        // 2. A quote must follow at once.
        if (eq + 1 >= n || list[eq + 1] != L'"') return;
        // 3. The value runs up to the closing quote.
        size_t close = list.find(L'"', eq + 2);
        if (close == std::wstring::npos) return;
        SetAttribute(name, list.substr(eq + 2, close - eq - 2));
        // 4. Exactly one blank and something after it, or the list ends.
        if (close + 2 >= n || list[close + 1] != L' ') return;
        i = close + 2;
    }
}

SIZE CControlUI::MeasureSize(SIZE) { return SIZE{m_fixedWidth, m_fixedHeight}; }

// Visual setters ---------------------------------------------------------------------

void CControlUI::SetBackgroundColor(DWORD colour)
{
    if (colour == m_bkColor) return;
    m_bkColor = colour;
    Invalidate();
}

void CControlUI::SetBackgroundColor2(DWORD colour)
{
    if (colour == m_bkColor2) return;
    m_bkColor2 = colour;
    Invalidate();
}

void CControlUI::SetBackgroundColor3(DWORD colour)
{
    if (colour == m_bkColor3) return;
    m_bkColor3 = colour;
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD colour)
{
    if (colour == m_borderColor) return;
    m_borderColor = colour;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD colour)
{
    if (colour == m_focusBorderColor) return;
    m_focusBorderColor = colour;
    Invalidate();
}

void CControlUI::SetColorHSL(bool adjust)
{
    if (adjust == m_colorHsl) return;
    m_colorHsl = adjust;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    if (size == m_borderSize) return;
    m_borderSize = size;
    Invalidate();
}

void CControlUI::SetSideBorderSizes(int left, int top, int right, int bottom)
{
    m_leftBorder = left;
    m_topBorder = top;
    m_rightBorder = right;
    m_bottomBorder = bottom;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_borderStyle = style;
    Invalidate();
}

void CControlUI::SetBorderRound(int cx, int cy)
{
    m_cornerWidth = cx;
    m_cornerHeight = cy;
    Invalidate();
}

void CControlUI::SetBackgroundImage(const std::wstring& descriptor)
{
    control_images::Replace(m_bkImage, descriptor);
    Invalidate();
}

void CControlUI::SetForeImage(const std::wstring& descriptor)
{
    control_images::Replace(m_foreImage, descriptor);
    Invalidate();
}

std::wstring CControlUI::GetVirtualWindowName() const
{
    if (!m_virtualWindowName.empty()) return m_virtualWindowName;
    return m_parent ? m_parent->GetVirtualWindowName() : std::wstring();
}

void CControlUI::SetVirtualWindowName(const std::wstring& name)
{
    m_virtualWindowName = name;
    if (m_manager) m_manager->UseVirtualWindows(true);
}

// Layout requests ----------------------------------------------------------------------

void CControlUI::Invalidate()
{
    if (!IsVisible() || !m_manager) return;
    RECT r = m_pos;
    for (CControlUI* p = m_parent; p; p = p->GetParent()) {
        if (!Intersect(r, r, p->GetPos())) return;
    }
    m_manager->RepaintRect(r);
}

void CControlUI::RequestLayout()
{
    if (!IsVisible()) return;
    m_updateNeeded = true;
    Invalidate();
    if (m_manager) m_manager->MarkLayoutNeeded();
}

void CControlUI::RequestParentLayout()
{
    if (m_parent) {
        m_parent->RequestLayout();
        m_parent->Invalidate();
    } else {
        RequestLayout();
    }
    if (m_manager) m_manager->MarkLayoutNeeded();
}

// Painting ---------------------------------------------------------------------------------

DWORD CControlUI::Adjusted(DWORD colour) const
{
    return m_colorHsl ? CDrawKit::AdjustColor(colour, 180, 100, 100) : colour;
}

void CControlUI::Paint(HDC dc, const RECT& paint)
{
    if (!Intersect(m_paintRect, paint, m_pos)) return;
    ClipScope round;
    if (m_cornerWidth > 0 || m_cornerHeight > 0)
        CDrawKit::ClipToRoundRect(dc, m_paintRect, m_pos, m_cornerWidth, m_cornerHeight, round);
    PaintBackgroundColor(dc);
    PaintBackgroundImage(dc);
    PaintStateImage(dc);
    PaintText(dc);
    PaintBorder(dc);
}

void CControlUI::PaintBackgroundColor(HDC dc)
{
    // 1. Unset.
    if (m_bkColor == 0) return;
    const DWORD first = Adjusted(m_bkColor);
    // 2. One colour: an opaque one only where asked, a translucent one over
    //    the whole control so its blend does not depend on the cut.
    if (m_bkColor2 == 0) {
        if ((first >> 24) == 0xFF)
            CDrawKit::FillColor(dc, m_paintRect, first);
        else
            CDrawKit::FillColor(dc, m_pos, first);
        return;
    }
    const DWORD second = Adjusted(m_bkColor2);
    // 3. Two colours: one gradient.
    if (m_bkColor3 == 0) {
        CDrawKit::FillGradient(dc, m_pos, first, second, true, 16);
        return;
    }
    // 4. Three colours: two gradients meeting at mid-height.
    const DWORD third = Adjusted(m_bkColor3);
    const int middle = (m_pos.top + m_pos.bottom) / 2;
    RECT upper = m_pos;
    upper.bottom = middle;
    RECT lower = m_pos;
    lower.top = middle;
    CDrawKit::FillGradient(dc, upper, first, second, true, 8);
    CDrawKit::FillGradient(dc, lower, second, third, true, 8);
}

void CControlUI::PaintBackgroundImage(HDC dc)
{
    if (m_bkImage.text.empty()) return;
    CDrawKit::DrawImageDescriptor(dc, m_manager, m_pos, m_paintRect, m_bkImage);
}

void CControlUI::PaintStateImage(HDC) {}
void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC dc)
{
    // 1. No colour at all.
    if (m_borderColor == 0 && m_focusBorderColor == 0) return;
    const bool useFocus = m_focused && m_focusBorderColor != 0;
    // 2. Rounded border. A control with only a focused colour has nothing
    //    to draw while unfocused: colour 0 is no colour, not black.
    if (m_borderSize > 0 && (m_cornerWidth > 0 || m_cornerHeight > 0)) {
        const DWORD chosen = useFocus ? m_focusBorderColor : m_borderColor;
        if (chosen != 0) CDrawKit::DrawRoundRect(dc, m_pos, m_borderSize, m_cornerWidth, m_cornerHeight, Adjusted(chosen));
        return;
    }
    // 3. Focused frame.
    if (useFocus && m_borderSize > 0) {
        CDrawKit::DrawRect(dc, m_pos, m_borderSize, Adjusted(m_focusBorderColor));
        return;
    }
    // 4. Individual sides.
    if (m_borderColor == 0) return;
    const DWORD colour = Adjusted(m_borderColor);
    if (m_leftBorder > 0 || m_topBorder > 0 || m_rightBorder > 0 || m_bottomBorder > 0) {
        // The right and bottom lines run on the control's last column and
        // row: the position's right and bottom lie just outside it, where
        // the parent's clip would cut a line away.
        RECT p = m_pos;
        p.right -= 1;
        p.bottom -= 1;
        if (m_leftBorder > 0)
            CDrawKit::DrawLine(dc, RECT{p.left, p.top, p.left, p.bottom + 1}, m_leftBorder, colour, m_borderStyle);
        if (m_topBorder > 0)
            CDrawKit::DrawLine(dc, RECT{p.left, p.top, p.right + 1, p.top}, m_topBorder, colour, m_borderStyle);
        if (m_rightBorder > 0)
            CDrawKit::DrawLine(dc, RECT{p.right, p.top, p.right, p.bottom + 1}, m_rightBorder, colour, m_borderStyle);
        if (m_bottomBorder > 0)
            CDrawKit::DrawLine(dc, RECT{p.left, p.bottom, p.right + 1, p.bottom}, m_bottomBorder, colour,
                               m_borderStyle);
        return;
    }
    // 5. One frame.
    if (m_borderSize > 0) CDrawKit::DrawRect(dc, m_pos, m_borderSize, colour);
}

void CControlUI::PaintOverlay(HDC, const RECT&) {}
