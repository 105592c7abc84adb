#include "ui/controls/ButtonUI.h"

#include <unordered_map>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ControlImages.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

CButtonUI::CButtonUI() { m_textStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE; }

CButtonUI::~CButtonUI() = default;

void CButtonUI::ReleaseImages()
{
    CLabelUI::ReleaseImages();
    for (ImageDescriptor* d : {&m_normalImage, &m_hotImage, &m_hotForeImage, &m_pushedImage, &m_pushedForeImage,
                               &m_focusedImage, &m_disabledImage})
        d->GiveBack();
}

const wchar_t* CButtonUI::GetClassName() const { return L"ButtonUI"; }

void* CButtonUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Button") return this;
    return CLabelUI::GetInterfaceByName(name);
}

UINT CButtonUI::GetInputFlags() const
{
    return (IsEnabled() ? UINT{UIFLAG_SETCURSOR} : 0u) | (IsKeyboardEnabled() ? UINT{UIFLAG_TABSTOP} : 0u);
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate()) return false;
    SendNotify(L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (!IsEnabled()) m_buttonState = 0;
}

void CButtonUI::OnEvent(ControlEvent& event)
{
    if (LetMouseThrough(event, [&] { CLabelUI::OnEvent(event); })) return;
    const bool inside = PtInRect(&m_pos, event.mousePoint) != FALSE;
    switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (inside && IsEnabled()) {
            m_buttonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_buttonState & UISTATE_CAPTURED) {
            if (inside)
                m_buttonState |= UISTATE_PUSHED;
            else
                m_buttonState &= ~UISTATE_PUSHED;
            Invalidate();
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_buttonState & UISTATE_CAPTURED) {
            m_buttonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            if (inside) Activate();
        }
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsMenuNotifyOn()) SendNotify(L"menu", event.wParam, event.lParam);
        return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        TrackHot(event, m_buttonState, UISTATE_HOT);
        break;
    case UIEVENT_SETCURSOR:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

// Attributes ----------------------------------------------------------------------

void CButtonUI::SetImage(ImageDescriptor& descriptor, const std::wstring& text)
{
    control_images::Replace(descriptor, text);
    Invalidate();
}

void CButtonUI::SetNormalImage(const std::wstring& d) { SetImage(m_normalImage, d); }
void CButtonUI::SetHotImage(const std::wstring& d) { SetImage(m_hotImage, d); }
void CButtonUI::SetHotForeImage(const std::wstring& d) { SetImage(m_hotForeImage, d); }
void CButtonUI::SetPushedImage(const std::wstring& d) { SetImage(m_pushedImage, d); }
void CButtonUI::SetPushedForeImage(const std::wstring& d) { SetImage(m_pushedForeImage, d); }
void CButtonUI::SetFocusedImage(const std::wstring& d) { SetImage(m_focusedImage, d); }
void CButtonUI::SetDisabledImage(const std::wstring& d) { SetImage(m_disabledImage, d); }

namespace {

using Setter = void (*)(CButtonUI&, const std::wstring&);

DWORD Colour(const std::wstring& v) { return ParseColor(v, false); }

const std::unordered_map<std::wstring, Setter>& ButtonAttributes()
{
    static const std::unordered_map<std::wstring, Setter> table = {
        {L"normalimage", [](CButtonUI& c, const std::wstring& v) { c.SetNormalImage(v); }},
        {L"hotimage", [](CButtonUI& c, const std::wstring& v) { c.SetHotImage(v); }},
        {L"pushedimage", [](CButtonUI& c, const std::wstring& v) { c.SetPushedImage(v); }},
        {L"focusedimage", [](CButtonUI& c, const std::wstring& v) { c.SetFocusedImage(v); }},
        {L"disabledimage", [](CButtonUI& c, const std::wstring& v) { c.SetDisabledImage(v); }},
        {L"hotforeimage", [](CButtonUI& c, const std::wstring& v) { c.SetHotForeImage(v); }},
        {L"foreimage", [](CButtonUI& c, const std::wstring& v) { c.SetForeImage(v); }},
        {L"hotbkcolor", [](CButtonUI& c, const std::wstring& v) { c.SetHotBkColor(Colour(v)); }},
        {L"pushedbkcolor", [](CButtonUI& c, const std::wstring& v) { c.SetPushedBkColor(Colour(v)); }},
        {L"focusedbkcolor", [](CButtonUI& c, const std::wstring& v) { c.SetFocusedBkColor(Colour(v)); }},
        {L"disabledbkcolor", [](CButtonUI& c, const std::wstring& v) { c.SetDisabledBkColor(Colour(v)); }},
        {L"hottextcolor", [](CButtonUI& c, const std::wstring& v) { c.SetHotTextColor(Colour(v)); }},
        {L"pushedtextcolor", [](CButtonUI& c, const std::wstring& v) { c.SetPushedTextColor(Colour(v)); }},
        {L"focusedtextcolor", [](CButtonUI& c, const std::wstring& v) { c.SetFocusedTextColor(Colour(v)); }},
    };
    return table;
}

}  // namespace

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    const auto& table = ButtonAttributes();
    auto it = table.find(name);
    if (it != table.end()) {
        it->second(*this, value);
        return;
    }
    CLabelUI::SetAttribute(name, value);
}

SIZE CButtonUI::MeasureSize(SIZE)
{
    if (m_fixedHeight != 0) return SIZE{m_fixedWidth, m_fixedHeight};
    return SIZE{m_fixedWidth, FontHeight() + 8};
}

// Painting ---------------------------------------------------------------------------

bool CButtonUI::DrawImage(HDC dc, ImageDescriptor& descriptor)
{
    return control_images::Draw(dc, m_manager, m_pos, m_paintRect, descriptor);
}

void CButtonUI::FillState(HDC dc, DWORD colour) { CDrawKit::FillColor(dc, m_paintRect, Adjusted(colour)); }

void CButtonUI::PaintStateImage(HDC dc)
{
    // 1.
    RefreshStateBits();
    // 2. Disabled: its image, else its colour, else the normal image.
    if (m_buttonState & UISTATE_DISABLED) {
        if (DrawImage(dc, m_disabledImage)) {
            DrawImage(dc, m_foreImage);
        } else if (m_disabledBkColor != 0) {
            FillState(dc, m_disabledBkColor);
        } else {
            DrawImage(dc, m_normalImage);
            DrawImage(dc, m_foreImage);
        }
        return;
    }
    // 3. and 4. Pushed, then hot: the state image (or the normal one), then
    //    its fore image, else its colour laid over, else the plain fore image.
    auto pressedOrHot = [&](ImageDescriptor& image, ImageDescriptor& fore, DWORD colour) {
        if (!DrawImage(dc, image)) DrawImage(dc, m_normalImage);
        if (DrawImage(dc, fore)) return;
        if (colour != 0)
            FillState(dc, colour);
        else
            DrawImage(dc, m_foreImage);
    };
    if (m_buttonState & UISTATE_PUSHED) return pressedOrHot(m_pushedImage, m_pushedForeImage, m_pushedBkColor);
    if (m_buttonState & UISTATE_HOT) return pressedOrHot(m_hotImage, m_hotForeImage, m_hotBkColor);
    // 5. Focused: its image, else its colour, else the normal image.
    if (m_buttonState & UISTATE_FOCUSED) {
        if (DrawImage(dc, m_focusedImage)) {
            DrawImage(dc, m_foreImage);
        } else if (m_focusedBkColor != 0) {
            FillState(dc, m_focusedBkColor);
        } else {
            DrawImage(dc, m_normalImage);
            DrawImage(dc, m_foreImage);
        }
        return;
    }
    // 6.
    DrawImage(dc, m_normalImage);
    DrawImage(dc, m_foreImage);
}

void CButtonUI::PaintText(HDC dc)
{
    RefreshStateBits();
    TakeDefaultColours();
    const std::wstring& text = ShownText();
    if (text.empty()) return;
    DWORD colour;
    if ((m_buttonState & UISTATE_PUSHED) && m_pushedTextColor != 0) {
        colour = m_pushedTextColor;
    } else if ((m_buttonState & UISTATE_HOT) && m_hotTextColor != 0) {
        colour = m_hotTextColor;
    } else {
        colour = IsEnabled() ? m_textColor : m_disabledTextColor;
        if ((m_buttonState & UISTATE_FOCUSED) && m_focusedTextColor != 0) colour = m_focusedTextColor;
    }
    // The style as it is: a button may wrap when its alignment says so.
    DrawLabelText(dc, TextRect(), text, colour, m_textStyle);
}
