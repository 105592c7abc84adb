#include "ui/controls/ComboWnd.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "ui/controls/ComboUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/VerticalLayoutUI.h"

const wchar_t* CComboWnd::WindowClassName() const { return L"ComboWnd"; }
UINT CComboWnd::ClassStyle() const { return CS_DROPSHADOW; }

bool CComboWnd::Init(CComboUI* owner)
{
    CWindowManagerUI* ownerManager = owner ? owner->GetManager() : nullptr;
    if (!ownerManager || !ownerManager->GetWindow()) return false;
    HWND parent = ownerManager->GetWindow();
    // 1.
    m_owner = owner;
    m_openingSel = owner->GetCurSel();
    // 2. Below the combo, in the client coordinates of its window.
    const RECT combo = owner->GetPos();
    const SIZE box = owner->GetDropBoxSize();
    RECT rc{combo.left, combo.bottom, combo.right, combo.bottom};
    if (box.cx > 0) rc.right = rc.left + box.cx;
    // 3. As tall as the visible items want, at most the drop box.
    const SIZE available{rc.right - rc.left, box.cy};
    int height = 0;
    for (int i = 0; i < owner->GetCount(); ++i) {
        CControlUI* item = owner->GetItemAt(i);
        if (item->IsVisible()) height += item->MeasureSize(available).cy;
    }
    height = std::min<int>(height + 4, box.cy);
    rc.bottom = rc.top + height;
    // 4. Above the combo when it would reach below the work area.
    MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    if (rc.bottom > monitor.rcWork.bottom) {
        rc = RECT{combo.left, combo.top - height, combo.left + (rc.right - rc.left), combo.top};
        MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2);
    }
    // 5.
    if (!Create(parent, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc)) return false;
    // 6. The window the popup belongs to keeps its active caption.
    HWND top = m_hWnd;
    while (HWND up = ::GetParent(top)) top = up;
    SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
    Show(true);
    return true;
}

void CComboWnd::BuildRoot()
{
    m_manager.Init(m_hWnd);
    m_root = new CVerticalLayoutUI;
    m_root->SetManager(&m_manager, nullptr, true);
    if (const std::wstring* defaults = m_owner->GetManager()->TagDefaults(L"VerticalLayout"))
        m_root->ApplyAttributes(*defaults);
    m_root->SetInset(1, 1, 1, 1);
    m_root->SetBackgroundColor(0xFFFFFFFF);
    m_root->SetBorderColor(0xFFC6C7D2);
    m_root->SetBorderSize(1);
    m_root->SetOwnsChildren(false);
    m_root->EnableScrollBar(true, m_root->GetHorizontalScrollBar() != nullptr);
    m_root->ApplyAttributes(m_owner->GetDropBoxAttributes());
    // Borrowed: the root lays them out and paints them, the combo owns them.
    m_owner->LendItems(*m_root);
    m_manager.AttachRoot(m_root);
}

void CComboWnd::GiveBackItems()
{
    if (m_owner) m_owner->EndLoan();
}

void CComboWnd::Abandon()
{
    GiveBackItems();
    if (m_owner) m_owner->m_popup = nullptr;
    m_owner = nullptr;
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    else
        delete this;
}

void CComboWnd::ScrollIntoView(int index)
{
    if (!m_owner || !m_root || m_owner->GetCurSel() < 0) return;
    CControlUI* item = m_owner->GetItemAt(index);
    if (!item) return;
    const RECT itemPos = item->GetPos();
    RECT area = m_root->GetPos();
    CScrollBarUI* horizontal = m_root->GetHorizontalScrollBar();
    if (horizontal && horizontal->IsVisible()) area.bottom -= horizontal->GetFixedHeight();
    SIZE scroll = m_root->GetScrollPos();
    if (itemPos.top < area.top) {
        scroll.cy -= area.top - itemPos.top;
        m_root->SetScrollPos(scroll);
    } else if (itemPos.bottom > area.bottom) {
        scroll.cy += itemPos.bottom - area.bottom;
        m_root->SetScrollPos(scroll);
    }
}

void CComboWnd::PassToCombo(int type, wchar_t key, WPARAM wParam)
{
    ControlEvent event;
    event.type = type;
    event.sender = m_owner;
    event.timeStamp = GetTickCount();
    event.key = key;
    event.wParam = wParam;
    m_owner->OnEvent(event);
    ScrollIntoView(m_owner->GetCurSel());
}

LRESULT CComboWnd::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        BuildRoot();
        break;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_hWnd) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        break;
    case WM_CLOSE:
        if (m_owner) {
            GiveBackItems();
            m_owner->SetPos(m_owner->IsFloat() ? m_owner->GetPosInParent() : m_owner->GetPos(), false);
            m_owner->SetFocus();
        }
        return CWindowWnd::ProcessMessage(message, wParam, lParam);
    case WM_KEYDOWN:
        if (!m_owner) break;
        switch (wParam) {
        case VK_RETURN:
            PostMessageW(m_hWnd, WM_KILLFOCUS, 0, 0);
            return 0;
        case VK_ESCAPE:
            m_owner->SelectItem(m_openingSel, true);
            ScrollIntoView(m_openingSel);
            PostMessageW(m_hWnd, WM_KILLFOCUS, 0, 0);
            return 0;
        default:
            PassToCombo(UIEVENT_KEYDOWN, static_cast<wchar_t>(wParam), wParam);
            return 0;
        }
    case WM_LBUTTONUP: {
        // A click on the scroll bar keeps the popup open; one on an item
        // closes it. The manager still sees the release, for the capture.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        CControlUI* hit = m_manager.FindControlAt(point);
        if (hit && std::wcscmp(hit->GetClassName(), L"ScrollBarUI") != 0) PostMessageW(m_hWnd, WM_KILLFOCUS, 0, 0);
        break;
    }
    case WM_MOUSEWHEEL:
        if (!m_owner) break;
        PassToCombo(UIEVENT_SCROLLWHEEL, 0, GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? SB_LINEDOWN : SB_LINEUP);
        return 0;
    default:
        break;
    }
    LRESULT result = 0;
    if (m_manager.HandleWindowMessage(message, wParam, lParam, result)) return result;
    return CWindowWnd::ProcessMessage(message, wParam, lParam);
}

void CComboWnd::OnWindowGone(HWND)
{
    // Also when the window went without WM_CLOSE, with the window it
    // belongs to: the items must not stay with a dying manager.
    GiveBackItems();
    if (m_owner) {
        m_owner->GetListItemStyle()->GiveBackImages();
        m_owner->m_popup = nullptr;
        m_owner->m_state &= ~CComboUI::kPushed;
        m_owner->Invalidate();
    }
    delete this;
}
