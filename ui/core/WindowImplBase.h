#pragma once

// The base of every skinned window: it owns the window's manager, builds
// the skin when the native window is created, makes the borderless window
// behave like a framed one (caption dragging, resize borders, maximising to
// the work area, rounded corners, the system buttons found by name) and
// dispatches the manager's notifications through its message maps. UI
// thread only.

#include <windows.h>

#include <string>

#include "ui/core/ManagerInterfaces.h"
#include "ui/core/NotifyPump.h"
#include "ui/core/WindowManagerUI.h"
#include "ui/core/WindowWnd.h"

class CControlUI;

// Where a window's skin comes from (SkinSourceKind).
enum SkinSourceKindValue : int {
    kSkinFromFile = 1,
    kSkinFromArchiveFile = 2,
    kSkinFromResource = 3,
    kSkinFromArchiveResource = 4,
};

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase() = default;
    // The virtual operations continue CWindowWnd's in this order.
    ~WindowImplBase() override;
    virtual void OnSkinLoaded();
    virtual void OnClick(NotifyMsg& msg);
    // Relative to the module's folder, or a full path used as it stands.
    virtual std::wstring GetSkinFolder() = 0;
    // A file name, markup text, or a decimal resource id of type "xml" when
    // the skin comes from a resource.
    virtual std::wstring GetSkinFileName() = 0;
    // Return does nothing; Escape closes with 0 and answers 1.
    virtual LRESULT OnDefaultKey(WPARAM key);
    virtual int SkinSourceKind() const;
    virtual std::wstring SkinArchiveName();
    virtual std::wstring SkinArchiveResource();

    // Message handlers: called with handled set; a handler that leaves the
    // message to the rest clears it.
    virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaint(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheel(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHover(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnChar(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnRButtonDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnRButtonUp(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMove(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LONG StyleWithoutCaption();

    UINT ClassStyle() const override;
    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone(HWND window) override;

    void Notify(NotifyMsg& msg) override;
    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* MakeControl(const std::wstring& tagName) override;

    CWindowManagerUI& Manager() { return m_manager; }

    UI_DECLARE_NOTIFY_MAP()

protected:
    CWindowManagerUI m_manager;
    bool m_firstPaintDone = false;

private:
    // Whether the message was one of the handled kinds; result and handled
    // are the handler's.
    bool RouteToHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result, bool& handled);
    bool UseArchiveResource();
    // The tree of a window that is gone, kept for reading until this object
    // is deleted.
    CControlUI* m_formerRoot = nullptr;
};
