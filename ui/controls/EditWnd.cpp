#include "ui/controls/EditWnd.h"

#include <string>

#include "ui/controls/EditUI.h"
#include "ui/core/WindowManagerUI.h"

const wchar_t* CEditWnd::WindowClassName() const { return L"EditWnd"; }
const wchar_t* CEditWnd::SuperClassName() const { return L"Edit"; }

bool CEditWnd::Init(CEditUI* owner)
{
    CWindowManagerUI* manager = owner ? owner->GetManager() : nullptr;
    if (!manager || !manager->GetWindow()) return false;
    m_owner = owner;
    // 1.
    DWORD style = WS_CHILD | ES_AUTOHSCROLL;
    if (owner->IsPasswordMode()) style |= ES_PASSWORD;
    if (!Create(manager->GetWindow(), nullptr, style, 0, owner->NativeWindowRect())) return false;
    // 2. FontById gives the default font for -1 and for unknown ids.
    SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(manager->FontById(owner->GetFont())), TRUE);
    // 3.
    SendMessageW(m_hWnd, EM_LIMITTEXT, owner->GetMaxChar(), 0);
    if (owner->IsPasswordMode()) SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, owner->GetPasswordChar(), 0);
    // 4.
    SetWindowTextW(m_hWnd, owner->GetText().c_str());
    SendMessageW(m_hWnd, EM_SETMODIFY, FALSE, 0);
    SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    // 5.
    EnableWindow(m_hWnd, owner->IsEnabled());
    SendMessageW(m_hWnd, EM_SETREADONLY, owner->IsReadOnly(), 0);
    // 6.
    SetWindowLongW(m_hWnd, GWL_STYLE, GetWindowLongW(m_hWnd, GWL_STYLE) | owner->GetExtraWindowStyle());
    // 7.
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    m_initialised = true;
    return true;
}

void CEditWnd::Abandon()
{
    m_owner = nullptr;
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    else
        delete this;
}

void CEditWnd::Notify(const wchar_t* type)
{
    if (m_owner && m_owner->GetManager()) m_owner->GetManager()->SendNotification(m_owner, type);
}

LRESULT CEditWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KILLFOCUS: {
        // Closed later: not inside the window's own focus handling.
        LRESULT result = DefWindowProcW(m_hWnd, message, wParam, lParam);
        PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            Notify(L"return");
            return 0;
        }
        if (wParam == VK_TAB) {
            Notify(L"tabswitch");
            return 0;
        }
        break;
    case WM_COMMAND + UIMSG_REFLECT_OFFSET:
        if (HIWORD(wParam) == EN_CHANGE) {
            if (!m_initialised || !m_owner) return 0;
            const int length = GetWindowTextLengthW(m_hWnd);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(m_hWnd, &text[0], length + 1)));
            // The control is hidden behind this window: no repaint.
            m_owner->m_text = text;
            Notify(L"textchanged");
            return 0;
        }
        if (HIWORD(wParam) == EN_UPDATE) {
            InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    case WM_CTLCOLOREDIT + UIMSG_REFLECT_OFFSET:
    case WM_CTLCOLORSTATIC + UIMSG_REFLECT_OFFSET: {
        if (!m_owner || m_owner->GetNativeBkColor() == 0xFFFFFFFF) break;
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, CDrawKit::ToColorRef(m_owner->GetTextColor()));
        if (!m_brush) m_brush.Reset(CreateSolidBrush(CDrawKit::ToColorRef(m_owner->GetNativeBkColor())));
        return reinterpret_cast<LRESULT>(m_brush.Get());
    }
    default:
        break;
    }
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CEditWnd::OnWindowGone(HWND)
{
    if (m_owner) {
        m_owner->Invalidate();
        m_owner->m_window = nullptr;
    }
    delete this;
}
