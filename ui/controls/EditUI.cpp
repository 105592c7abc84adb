#include "ui/controls/EditUI.h"

#include <unordered_map>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ControlImages.h"
#include "ui/controls/EditWnd.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

CEditUI::CEditUI()
{
    m_textPadding = RECT{4, 3, 4, 3};
    m_bkColor = 0xFFFFFFFF;
}

CEditUI::~CEditUI()
{
    if (m_window) m_window->Abandon();
}

void CEditUI::ReleaseImages()
{
    CLabelUI::ReleaseImages();
    for (ImageDescriptor* image : {&m_normalImage, &m_hotImage, &m_focusedImage, &m_disabledImage}) image->GiveBack();
}

const wchar_t* CEditUI::GetClassName() const { return L"EditUI"; }

void* CEditUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Edit") return static_cast<CEditUI*>(this);
    return CLabelUI::GetInterfaceByName(name);
}

UINT CEditUI::GetInputFlags() const { return IsEnabled() ? (UIFLAG_SETCURSOR | UIFLAG_TABSTOP) : 0; }

void CEditUI::SetText(const std::wstring& text)
{
    // Unchanged text changes nothing. An open window would otherwise report
    // its own new text back through "textchanged", and a handler that sets
    // the text it was told of would be told again, without end.
    if (text == GetText()) return;
    CLabelUI::SetText(text);
    if (m_window) SetWindowTextW(m_window->GetHWND(), text.c_str());
    Invalidate();
}

RECT CEditUI::NativeWindowRect() const
{
    RECT rc = TextRect();
    const int fontHeight = FontHeight();
    if (fontHeight < rc.bottom - rc.top) {
        rc.top += (rc.bottom - rc.top - fontHeight) / 2;
        rc.bottom = rc.top + fontHeight;
    }
    return rc;
}

void CEditUI::SetPos(RECT rect, bool invalidate)
{
    CLabelUI::SetPos(rect, invalidate);
    if (!m_window) return;
    const RECT rc = NativeWindowRect();
    SetWindowPos(m_window->GetHWND(), nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::Move(int dx, int dy, bool invalidate)
{
    CLabelUI::Move(dx, dy, invalidate);
    if (!m_window) return;
    const RECT rc = NativeWindowRect();
    SetWindowPos(m_window->GetHWND(), nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::SetVisible(bool visible)
{
    CLabelUI::SetVisible(visible);
    // Taking the focus away closes the native window.
    if (!IsVisible() && m_window && m_manager) m_manager->FocusControl(nullptr);
}

void CEditUI::SetInheritedVisible(bool visible)
{
    CLabelUI::SetInheritedVisible(visible);
    if (!IsVisible() && m_window && m_manager) m_manager->FocusControl(nullptr);
}

void CEditUI::SetEnabled(bool enabled)
{
    CLabelUI::SetEnabled(enabled);
    if (IsEnabled()) return;
    m_state = 0;
    // A disabled edit takes no typing: an open native window goes.
    if (m_window && m_manager) m_manager->FocusControl(nullptr);
}

void CEditUI::OpenNativeWindow()
{
    if (m_window || !IsEnabled() || !m_manager) return;
    m_window = new CEditWnd;
    if (!m_window->Init(this)) {
        delete m_window;
        m_window = nullptr;
    }
}

void CEditUI::SelectAllNative()
{
    if (!m_window) return;
    const int length = GetWindowTextLengthW(m_window->GetHWND());
    SendMessageW(m_window->GetHWND(), EM_SETSEL, 0, length == 0 ? 1 : length);
}

void CEditUI::HandleEvent(ControlEvent& event)
{
    CLabelUI::HandleEvent(event);
    if (event.type == UIEVENT_KEYDOWN && m_forwardKeys && m_window)
        m_window->ProcessMessage(WM_KEYDOWN, event.wParam, event.lParam);
}

void CEditUI::OnEvent(ControlEvent& event)
{
    if (LetMouseThrough(event, [&] { CLabelUI::OnEvent(event); })) return;
    const bool enabled = IsEnabled();
    switch (event.type) {
    case UIEVENT_SETCURSOR:
        if (!enabled) break;
        ::SetCursor(LoadCursorW(nullptr, IDC_IBEAM));
        return;
    case UIEVENT_WINDOWSIZE:
        if (m_window && m_manager) m_manager->FocusPreviousTabStop(this);
        break;
    case UIEVENT_SCROLLWHEEL:
        if (m_window) return;
        break;
    case UIEVENT_SETFOCUS:
        if (!enabled) break;
        if (!m_window) {
            OpenNativeWindow();
            Invalidate();
        }
        // The label's handling marks the control focused, for the focused
        // image and border and for a click that reopens the window.
        break;
    case UIEVENT_KILLFOCUS:
        if (enabled) Invalidate();
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
        if (!enabled) break;
        if (m_manager) m_manager->ReleaseMouse();
        if (m_window) {
            SelectAllNative();
        } else if (IsFocused()) {
            OpenNativeWindow();
            if (PtInRect(&m_pos, event.mousePoint)) SelectAllNative();
        }
        return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
        TrackHot(event, m_state, kHot);
        return;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

// Attributes --------------------------------------------------------------------

void CEditUI::SetReadOnly(bool readOnly)
{
    if (readOnly == m_readOnly) return;
    m_readOnly = readOnly;
    if (m_window) SendMessageW(m_window->GetHWND(), EM_SETREADONLY, readOnly, 0);
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly)
{
    // Read when the native window is next opened.
    if (numberOnly)
        m_extraStyle |= ES_NUMBER;
    else
        m_extraStyle &= ~static_cast<DWORD>(ES_NUMBER);
}

void CEditUI::SetPasswordMode(bool password)
{
    if (password == m_password) return;
    m_password = password;
    Invalidate();
}

void CEditUI::SetMaxChar(int maxChar)
{
    m_maxChar = maxChar;
    if (m_window) SendMessageW(m_window->GetHWND(), EM_LIMITTEXT, m_maxChar, 0);
}

void CEditUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    using Table = std::unordered_map<std::wstring, void (*)(CEditUI&, const std::wstring&)>;
    static const Table table = {
        {L"readonly", [](CEditUI& e, const std::wstring& v) { e.SetReadOnly(ParseBool(v)); }},
        {L"numberonly", [](CEditUI& e, const std::wstring& v) { e.SetNumberOnly(ParseBool(v)); }},
        {L"password", [](CEditUI& e, const std::wstring& v) { e.SetPasswordMode(ParseBool(v)); }},
        {L"maxchar", [](CEditUI& e, const std::wstring& v) { e.SetMaxChar(ParseInt(v)); }},
        {L"normalimage",
         [](CEditUI& e, const std::wstring& v) {
             control_images::Replace(e.m_normalImage, v);
             e.Invalidate();
         }},
        {L"hotimage",
         [](CEditUI& e, const std::wstring& v) {
             control_images::Replace(e.m_hotImage, v);
             e.Invalidate();
         }},
        {L"focusedimage",
         [](CEditUI& e, const std::wstring& v) {
             control_images::Replace(e.m_focusedImage, v);
             e.Invalidate();
         }},
        {L"disabledimage",
         [](CEditUI& e, const std::wstring& v) {
             control_images::Replace(e.m_disabledImage, v);
             e.Invalidate();
         }},
        {L"nativebkcolor", [](CEditUI& e, const std::wstring& v) { e.SetNativeBkColor(ParseColor(v, false)); }},
    };
    auto it = table.find(name);
    if (it != table.end())
        it->second(*this, value);
    else
        CLabelUI::SetAttribute(name, value);
}

SIZE CEditUI::MeasureSize(SIZE)
{
    if (m_fixedHeight != 0) return SIZE{m_fixedWidth, m_fixedHeight};
    return SIZE{m_fixedWidth, FontHeight() + 6};
}

// Painting ---------------------------------------------------------------------------

void CEditUI::PaintStateImage(HDC dc)
{
    FollowFocusAndEnabled(m_state, kFocused, kDisabled);
    ImageDescriptor* chosen = nullptr;
    if (m_state & kDisabled)
        chosen = &m_disabledImage;
    else if (m_state & kFocused)
        chosen = &m_focusedImage;
    else if (m_state & kHot)
        chosen = &m_hotImage;
    control_images::DrawStateOrNormal(dc, m_manager, m_pos, m_paintRect, chosen, m_normalImage);
}

void CEditUI::PaintText(HDC dc)
{
    TakeDefaultColours();
    if (m_text.empty()) return;
    std::wstring shown = m_text;
    if (m_password) {
        shown.clear();
        for (const wchar_t* p = m_text.c_str(); *p; p = CharNextW(p)) shown += m_passwordChar;
    }
    RECT rc = TextRect();
    const DWORD colour = IsEnabled() ? m_textColor : m_disabledTextColor;
    CDrawKit::DrawPlainText(dc, m_manager, rc, shown, colour, m_font, m_textStyle | DT_SINGLELINE);
}
