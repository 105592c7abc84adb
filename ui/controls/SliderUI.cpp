#include "ui/controls/SliderUI.h"

#include <algorithm>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ControlImages.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

CSliderUI::CSliderUI() { m_textStyle = DT_CENTER | DT_SINGLELINE; }

CSliderUI::~CSliderUI() = default;

void CSliderUI::ReleaseImages()
{
    CProgressUI::ReleaseImages();
    m_thumbImage.GiveBack();
    m_thumbHotImage.GiveBack();
    m_thumbPushedImage.GiveBack();
}

const wchar_t* CSliderUI::GetClassName() const { return L"SliderUI"; }

void* CSliderUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Slider") return this;
    return CProgressUI::GetInterfaceByName(name);
}

UINT CSliderUI::GetInputFlags() const { return IsEnabled() ? UINT{UIFLAG_SETCURSOR} : 0u; }

void CSliderUI::SetEnabled(bool enabled)
{
    CProgressUI::SetEnabled(enabled);
    if (!IsEnabled()) m_thumbState = 0;
}

void CSliderUI::SetThumbSize(SIZE size)
{
    m_thumbSize = size;
    Invalidate();
}

void CSliderUI::SetThumbImage(const std::wstring& d)
{
    control_images::Replace(m_thumbImage, d);
    Invalidate();
}

void CSliderUI::SetThumbHotImage(const std::wstring& d)
{
    control_images::Replace(m_thumbHotImage, d);
    Invalidate();
}

void CSliderUI::SetThumbPushedImage(const std::wstring& d)
{
    control_images::Replace(m_thumbPushedImage, d);
    Invalidate();
}

RECT CSliderUI::GetThumbRect() const
{
    const long long span = std::max(1LL, static_cast<long long>(m_max) - m_min);
    const long long offset = std::clamp(static_cast<long long>(m_value) - m_min, 0LL, span);
    if (m_horizontal) {
        const int travel = std::max<int>(0, m_pos.right - m_pos.left - m_thumbSize.cx);
        const int left = m_pos.left + static_cast<int>(travel * offset / span);
        const int top = (m_pos.top + m_pos.bottom - m_thumbSize.cy) / 2;
        return RECT{left, top, left + m_thumbSize.cx, top + m_thumbSize.cy};
    }
    const int travel = std::max<int>(0, m_pos.bottom - m_pos.top - m_thumbSize.cy);
    const int top = m_pos.top + static_cast<int>(travel * (span - offset) / span);
    const int left = (m_pos.left + m_pos.right - m_thumbSize.cx) / 2;
    return RECT{left, top, left + m_thumbSize.cx, top + m_thumbSize.cy};
}

int CSliderUI::ValueAt(POINT point) const
{
    const long long span = std::max(1LL, static_cast<long long>(m_max) - m_min);
    long long along, travel;
    if (m_horizontal) {
        travel = std::max(1L, (m_pos.right - m_pos.left) - m_thumbSize.cx);
        along = point.x - m_pos.left - m_thumbSize.cx / 2;
    } else {
        travel = std::max(1L, (m_pos.bottom - m_pos.top) - m_thumbSize.cy);
        along = m_pos.bottom - point.y - m_thumbSize.cy / 2;
    }
    along = std::clamp(along, 0LL, travel);
    return static_cast<int>(m_min + (along * span + travel / 2) / travel);
}

void CSliderUI::OnEvent(ControlEvent& event)
{
    if (LetMouseThrough(event, [&] { CProgressUI::OnEvent(event); })) return;
    switch (event.type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && PtInRect(&m_pos, event.mousePoint)) {
            m_thumbState |= kCaptured;
            SetValue(ValueAt(event.mousePoint));
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_thumbState & kCaptured) SetValue(ValueAt(event.mousePoint));
        return;
    case UIEVENT_BUTTONUP:
        if (m_thumbState & kCaptured) {
            m_thumbState &= ~kCaptured;
            SetValue(ValueAt(event.mousePoint));
            SendNotify(L"valuechanged");
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        if (IsEnabled()) {
            // The manager gives the direction, not the native delta:
            // SB_LINEDOWN for a turn towards the user, which lowers.
            const bool down = LOWORD(event.wParam) == SB_LINEDOWN;
            const long long next = static_cast<long long>(m_value) + (down ? -m_step : m_step);
            const int before = m_value;
            SetValue(static_cast<int>(std::clamp<long long>(next, m_min, std::max(m_min, m_max))));
            // At either end the wheel changes nothing, and says nothing.
            if (m_value != before) SendNotify(L"valuechanged");
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        TrackHot(event, m_thumbState, kHot);
        break;
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CProgressUI::OnEvent(event);
}

void CSliderUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (name == L"thumbimage") return SetThumbImage(value);
    if (name == L"thumbhotimage") return SetThumbHotImage(value);
    if (name == L"thumbpushedimage") return SetThumbPushedImage(value);
    if (name == L"thumbsize") {
        IntQuad q = ParseIntList(value);
        return SetThumbSize(SIZE{q.a, q.b});
    }
    if (name == L"step") return SetChangeStep(ParseInt(value));
    CProgressUI::SetAttribute(name, value);
}

void CSliderUI::PaintStateImage(HDC dc)
{
    CProgressUI::PaintStateImage(dc);
    // The thumb in its state, falling back to the plain thumb image.
    ImageDescriptor* thumb = &m_thumbImage;
    if ((m_thumbState & kCaptured) && control_images::Prepare(dc, m_manager, m_thumbPushedImage))
        thumb = &m_thumbPushedImage;
    else if ((m_thumbState & kHot) && control_images::Prepare(dc, m_manager, m_thumbHotImage))
        thumb = &m_thumbHotImage;
    if (!control_images::Prepare(dc, m_manager, *thumb)) return;
    const RECT r = GetThumbRect();
    thumb->fields.dest = DescriptorRect{r.left - m_pos.left, r.top - m_pos.top, r.right - m_pos.left,
                                        r.bottom - m_pos.top};
    control_images::Draw(dc, m_manager, m_pos, m_paintRect, *thumb);
}
