#include "ui/controls/ScrollBarUI.h"

#include <algorithm>
#include <cstring>

#include "ui/controls/ContainerUI.h"
#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

namespace {

constexpr int kDefaultThickness = 16;
// A thumb shorter than this could not be caught with the mouse.
constexpr int kMinThumb = 8;

}  // namespace

CScrollBarUI::CScrollBarUI()
{
    m_fixedWidth = kDefaultThickness;
}

// The state images give themselves back as they die (ImageDescriptor).
CScrollBarUI::~CScrollBarUI() = default;

void CScrollBarUI::ReleaseImages()
{
    for (ImageDescriptor* group : {m_button1Images, m_button2Images, m_thumbImages, m_railImages, m_bkImages})
        for (int s = 0; s < StateCount; ++s) group[s].GiveBack();
    CControlUI::ReleaseImages();
}

const wchar_t* CScrollBarUI::GetClassName() const { return L"ScrollBarUI"; }

void* CScrollBarUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ScrollBar") return this;
    return CControlUI::GetInterfaceByName(name);
}

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (horizontal == m_horizontal) return;
    m_horizontal = horizontal;
    if (m_horizontal) {
        if (m_fixedHeight == 0) m_fixedHeight = kDefaultThickness;
        if (m_fixedWidth == kDefaultThickness) m_fixedWidth = 0;
    } else {
        if (m_fixedWidth == 0) m_fixedWidth = kDefaultThickness;
        if (m_fixedHeight == kDefaultThickness) m_fixedHeight = 0;
    }
    RequestParentLayout();
}

void CScrollBarUI::SetScrollRange(int range)
{
    range = std::max<int>(0, range);
    if (range == m_range) return;
    m_range = range;
    if (m_scrollPos > m_range) m_scrollPos = m_range;
    PlaceParts();
}

void CScrollBarUI::SetScrollPos(int pos)
{
    pos = std::clamp(pos, 0, m_range);
    if (pos == m_scrollPos) return;
    m_scrollPos = pos;
    PlaceParts();
}

void CScrollBarUI::SetLineSize(int size)
{
    if (size > 0) m_lineSize = size;
}

void CScrollBarUI::SetPos(RECT rect, bool invalidate)
{
    CControlUI::SetPos(rect, invalidate);
    PlaceParts();
}

void CScrollBarUI::PlaceParts()
{
    // 1. Lengths along the bar; buttons are squares of the bar's thickness.
    const RECT& p = m_pos;
    const int length = m_horizontal ? p.right - p.left : p.bottom - p.top;
    const int thickness = m_horizontal ? p.bottom - p.top : p.right - p.left;
    const int b1 = m_showButton1 ? std::min(thickness, length / 2) : 0;
    const int b2 = m_showButton2 ? std::min(thickness, length / 2) : 0;
    const int rail = std::max<int>(0, length - b1 - b2);
    // 2. The thumb shows the share in view: view / (view + range).
    int thumb = m_range > 0 ? static_cast<int>(static_cast<long long>(rail) * rail / (rail + m_range)) : rail;
    thumb = std::min(rail, std::max(thumb, std::min(kMinThumb, rail)));
    const int travel = rail - thumb;
    const int offset =
        m_range > 0 ? static_cast<int>(static_cast<long long>(travel) * m_scrollPos / m_range) : 0;
    // 3. Rectangles.
    if (m_horizontal) {
        m_button1 = RECT{p.left, p.top, p.left + b1, p.bottom};
        m_button2 = RECT{p.right - b2, p.top, p.right, p.bottom};
        m_thumb = RECT{p.left + b1 + offset, p.top, p.left + b1 + offset + thumb, p.bottom};
    } else {
        m_button1 = RECT{p.left, p.top, p.right, p.top + b1};
        m_button2 = RECT{p.left, p.bottom - b2, p.right, p.bottom};
        m_thumb = RECT{p.left, p.top + b1 + offset, p.right, p.top + b1 + offset + thumb};
    }
    Invalidate();
}

CScrollBarUI::Part CScrollBarUI::PartAt(POINT point) const
{
    if (!PtInRect(&m_pos, point)) return PartNone;
    if (PtInRect(&m_button1, point)) return PartButton1;
    if (PtInRect(&m_button2, point)) return PartButton2;
    if (PtInRect(&m_thumb, point)) return PartThumb;
    return PartRail;
}

void CScrollBarUI::ScrollTo(int pos)
{
    pos = std::clamp(pos, 0, m_range);
    if (!m_owner) {
        SetScrollPos(pos);
        return;
    }
    SIZE target = m_owner->GetScrollPos();
    if (m_horizontal)
        target.cx = pos;
    else
        target.cy = pos;
    m_owner->SetScrollPos(target);
}

void CScrollBarUI::OnEvent(ControlEvent& event)
{
    switch (event.type) {
    case UIEVENT_SETFOCUS:
        // The bar has no focus of its own; its container takes it.
        if (m_owner) m_owner->SetFocus();
        return;
    case UIEVENT_KILLFOCUS:
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK: {
        if (!IsEnabled()) return;
        m_pushed = PartAt(event.mousePoint);
        const RECT& p = m_pos;
        const int page = m_horizontal ? p.right - p.left : p.bottom - p.top;
        const int along = m_horizontal ? event.mousePoint.x : event.mousePoint.y;
        const int thumbStart = m_horizontal ? m_thumb.left : m_thumb.top;
        switch (m_pushed) {
        case PartButton1: ScrollTo(m_scrollPos - m_lineSize); break;
        case PartButton2: ScrollTo(m_scrollPos + m_lineSize); break;
        case PartRail: ScrollTo(along < thumbStart ? m_scrollPos - page : m_scrollPos + page); break;
        case PartThumb:
            m_dragStart = event.mousePoint;
            m_dragStartPos = m_scrollPos;
            break;
        default: break;
        }
        Invalidate();
        return;
    }
    case UIEVENT_MOUSEMOVE: {
        if (m_pushed == PartThumb) {
            // The mouse's travel over the rail's free length maps onto the range.
            const int rail = m_horizontal ? (m_button2.left - m_button1.right) : (m_button2.top - m_button1.bottom);
            const int thumb = m_horizontal ? m_thumb.right - m_thumb.left : m_thumb.bottom - m_thumb.top;
            const int travel = rail - thumb;
            const int moved = m_horizontal ? event.mousePoint.x - m_dragStart.x : event.mousePoint.y - m_dragStart.y;
            if (travel > 0)
                ScrollTo(m_dragStartPos + static_cast<int>(static_cast<long long>(moved) * m_range / travel));
            return;
        }
        const Part hot = PartAt(event.mousePoint);
        if (hot != m_hot) {
            m_hot = hot;
            Invalidate();
        }
        return;
    }
    case UIEVENT_BUTTONUP:
        m_pushed = PartNone;
        Invalidate();
        return;
    case UIEVENT_MOUSEENTER:
        m_hot = PartAt(event.mousePoint);
        Invalidate();
        return;
    case UIEVENT_MOUSELEAVE:
        m_hot = PartNone;
        Invalidate();
        return;
    case UIEVENT_SCROLLWHEEL:
        // The wheel over the bar scrolls what the bar scrolls.
        if (m_owner) m_owner->OnEvent(event);
        return;
    default:
        CControlUI::OnEvent(event);
    }
}

void CScrollBarUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    static const wchar_t* const kStates[StateCount] = {L"normalimage", L"hotimage", L"pushedimage",
                                                        L"disabledimage"};
    struct Group {
        const wchar_t* prefix;
        ImageDescriptor* images;
    };
    const Group groups[] = {{L"button1", m_button1Images}, {L"button2", m_button2Images},
                            {L"thumb", m_thumbImages},     {L"rail", m_railImages},
                            {L"bk", m_bkImages}};
    for (const Group& group : groups) {
        const size_t n = wcslen(group.prefix);
        if (name.compare(0, n, group.prefix) != 0) continue;
        for (int s = 0; s < StateCount; ++s) {
            if (name.compare(n, std::wstring::npos, kStates[s]) != 0) continue;
            ImageDescriptor& d = group.images[s];
            if (d.text == value) return;
            d.SetText(value);
            Invalidate();
            return;
        }
    }
    if (name == L"button1color") m_button1Color = ParseColor(value, false);
    else if (name == L"button2color") m_button2Color = ParseColor(value, false);
    else if (name == L"thumbcolor") m_thumbColor = ParseColor(value, false);
    else if (name == L"linesize") SetLineSize(ParseInt(value));
    else if (name == L"range") SetScrollRange(ParseInt(value));
    else if (name == L"value") SetScrollPos(ParseInt(value));
    else if (name == L"showbutton1") { m_showButton1 = ParseBool(value); PlaceParts(); }
    else if (name == L"showbutton2") { m_showButton2 = ParseBool(value); PlaceParts(); }
    else CControlUI::SetAttribute(name, value);
    Invalidate();
}

CScrollBarUI::State CScrollBarUI::StateOf(Part part) const
{
    if (!IsEnabled()) return Disabled;
    if (m_pushed == part) return Pushed;
    if (m_hot == part) return Hot;
    return Normal;
}

void CScrollBarUI::PaintPart(HDC dc, Part part, const RECT& rect, DWORD colour, ImageDescriptor* images)
{
    if (IsRectEmpty(&rect)) return;
    if (colour) CDrawKit::FillColor(dc, rect, colour);
    // Each state falls back to the normal image when it has none.
    const State state = StateOf(part);
    ImageDescriptor* d = images[state].text.empty() ? &images[Normal] : &images[state];
    if (!d->text.empty()) CDrawKit::DrawImageDescriptor(dc, m_manager, rect, m_paintRect, *d);
}

void CScrollBarUI::PaintBackgroundImage(HDC dc)
{
    CControlUI::PaintBackgroundImage(dc);
    const State state = !IsEnabled() ? Disabled : m_pushed != PartNone ? Pushed : m_hot != PartNone ? Hot : Normal;
    ImageDescriptor* d = m_bkImages[state].text.empty() ? &m_bkImages[Normal] : &m_bkImages[state];
    if (!d->text.empty()) CDrawKit::DrawImageDescriptor(dc, m_manager, m_pos, m_paintRect, *d);
}

void CScrollBarUI::PaintStateImage(HDC dc)
{
    // The rail between the buttons, then the buttons, the thumb on top.
    RECT rail = m_pos;
    if (m_horizontal) {
        rail.left = m_button1.right;
        rail.right = m_button2.left;
    } else {
        rail.top = m_button1.bottom;
        rail.bottom = m_button2.top;
    }
    const State railState = StateOf(PartRail);
    ImageDescriptor* r = m_railImages[railState].text.empty() ? &m_railImages[Normal] : &m_railImages[railState];
    if (!r->text.empty() && !IsRectEmpty(&rail)) CDrawKit::DrawImageDescriptor(dc, m_manager, rail, m_paintRect, *r);
    if (m_showButton1) PaintPart(dc, PartButton1, m_button1, m_button1Color, m_button1Images);
    if (m_showButton2) PaintPart(dc, PartButton2, m_button2, m_button2Color, m_button2Images);
    if (m_range > 0) PaintPart(dc, PartThumb, m_thumb, m_thumbColor, m_thumbImages);
}
