#pragma once

// The drop-down popup of a combo box: a tool window below (or above) the
// combo whose own manager lays out and paints the combo's items while it
// is open. Keys and wheel turns go to the combo, so the combo's rules
// apply while the popup is open. Created by CComboUI::Activate; deletes
// itself after its window is gone. UI thread only; every close is posted.

#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

class CComboUI;
class CVerticalLayoutUI;

class CComboWnd : public CWindowWnd {
public:
    // Opens the popup for the combo; false when the window could not be made.
    bool Init(CComboUI* owner);
    // For a combo that dies while the popup is open: the items go back and
    // the window is destroyed at once, without touching the focus.
    void Abandon();

    CWindowManagerUI& Manager() { return m_manager; }
    CVerticalLayoutUI* Root() const { return m_root; }
    // Scrolls the popup so that the item at index is inside it.
    void ScrollIntoView(int index);

    const wchar_t* WindowClassName() const override;
    UINT ClassStyle() const override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone(HWND window) override;

private:
    void BuildRoot();
    void GiveBackItems();
    void PassToCombo(int type, wchar_t key, WPARAM wParam);

    CWindowManagerUI m_manager;
    CComboUI* m_owner = nullptr;
    CVerticalLayoutUI* m_root = nullptr;
    int m_openingSel = -1;
};
