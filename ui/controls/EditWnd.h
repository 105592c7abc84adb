#pragma once

// The native edit window that a focused CEditUI lays over its text. It
// superclasses the system "Edit" class, reports changes to its owner and
// closes itself (posted) once it loses the keyboard focus; the object
// deletes itself when the window is gone. UI thread only.

#include "ui/core/GdiObjects.h"
#include "ui/core/WindowWnd.h"

class CEditUI;

class CEditWnd : public CWindowWnd {
public:
    // Opens the window over the owner; false when it could not be made.
    bool Init(CEditUI* owner);
    // For an owner that dies while the window is open: the window goes at
    // once and tells nobody.
    void Abandon();

    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperClassName() const override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone(HWND window) override;

private:
    void Notify(const wchar_t* type);

    CEditUI* m_owner = nullptr;
    CBrushHandle m_brush;
    bool m_initialised = false;
};
