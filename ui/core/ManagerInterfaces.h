#pragma once

// The contract between the two halves of the toolkit: the records, event
// types, listener interfaces and flags that travel between the window
// manager, the controls and the windows. Both ui/core and ui/controls
// include it, so that either side can be written against the contract alone.

#include <windows.h>

#include <string>

class CControlUI;

// Bits of FindControl's flags. The last two are read by containers only.
enum : UINT {
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,
    UIFIND_UPDATETEST = 0x00000008,
    UIFIND_TOP_FIRST = 0x00000010,
    UIFIND_ME_FIRST = 0x80000000,
};

// Bits of GetInputFlags that the manager reads.
enum : UINT {
    UIFLAG_TABSTOP = 0x00000001,
    UIFLAG_SETCURSOR = 0x00000002,
};

// Called by FindControl for each control it visits; a non-null answer ends
// the search with that control.
using FindControlProc = CControlUI* (*)(CControlUI* control, void* data);

// Input event types delivered to a control's event handling. The gaps
// (1, 2, 7, 8, 20) are deliberate: those numbers are never used.
enum ControlEventType : int {
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_RBUTTONUP = 16,
    UIEVENT_DBLCLICK = 17,
    UIEVENT_CONTEXTMENU = 18,
    UIEVENT_SCROLLWHEEL = 19,
    UIEVENT_KILLFOCUS = 21,
    UIEVENT_SETFOCUS = 22,
    UIEVENT_WINDOWSIZE = 23,
    UIEVENT_SETCURSOR = 24,
    UIEVENT_TIMER = 25,
};

// The manager hands a child window's notifications back to it with this
// added to the message, so the control that made the child handles them.
constexpr UINT UIMSG_REFLECT_OFFSET = 0x2000;

// Bits of ControlEvent::keyState.
enum : WORD {
    UIKEYSTATE_LBUTTON = 0x01,
    UIKEYSTATE_RBUTTON = 0x02,
    UIKEYSTATE_SHIFT = 0x04,
    UIKEYSTATE_CONTROL = 0x08,
    UIKEYSTATE_ALT = 0x20,
};

// Names of the notifications that the manager sends itself; the controls'
// own notifications are named beside each control.
namespace NotifyName {
constexpr const wchar_t* WindowInit = L"windowinit";
constexpr const wchar_t* SetFocus = L"setfocus";
constexpr const wchar_t* KillFocus = L"killfocus";
}  // namespace NotifyName

struct NotifyMsg {
    std::wstring type;
    std::wstring virtualWindowName;
    CControlUI* sender = nullptr;
    DWORD timeStamp = 0;
    POINT mousePoint{0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct ControlEvent {
    int type = 0;
    CControlUI* sender = nullptr;
    DWORD timeStamp = 0;
    POINT mousePoint{0, 0};
    wchar_t key = 0;
    WORD keyState = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// One font of a manager's font table. The metrics are measured the first
// time somebody asks for the entry, because measuring needs a DC.
struct FontEntry {
    HFONT font = nullptr;
    std::wstring face;
    int size = 0;
    bool bold = false;
    bool underline = false;
    bool italic = false;
    bool metricsKnown = false;
    TEXTMETRICW metrics{};
};

class INotifyUI {
public:
    virtual void Notify(NotifyMsg& msg) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI {
public:
    virtual LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class IDialogBuilderCallback {
public:
    // A control for a tag that the layout builder does not know, or null.
    virtual CControlUI* MakeControl(const std::wstring& tagName) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

class ITranslateAccelerator {
public:
    // 0 when the message was consumed.
    virtual LRESULT TranslateAccelerator(MSG* msg) = 0;

protected:
    ~ITranslateAccelerator() = default;
};
