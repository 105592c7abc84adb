#pragma once

// Dispatches notifications to member handlers through static message maps,
// one per class, each pointing at its base class's map, and through named
// virtual windows: other pumps that take the notifications of controls
// carrying their name. UI thread only.
//
// A class that wants its own handlers declares a map in its body and
// defines it in its source:
//
//   UI_DECLARE_NOTIFY_MAP()                               (in the class; protected after it)
//
//   UI_BEGIN_NOTIFY_MAP(CMyWindow, WindowImplBase)        (in the source)
//       UI_NOTIFY_MESSAGE(L"click", L"okBtn", &CMyWindow::OnOk)
//       UI_NOTIFY_PARAMS(L"itemselect", L"", &CMyWindow::OnSelect)
//   UI_END_NOTIFY_MAP()

#include <windows.h>

#include <map>
#include <string>

#include "ui/core/ManagerInterfaces.h"

class CNotifyPump;

struct NotifyMapEntry {
    using ParamsHandler = void (CNotifyPump::*)(WPARAM, LPARAM);
    using MessageHandler = void (CNotifyPump::*)(NotifyMsg&);

    const wchar_t* type;
    const wchar_t* controlName;   // empty: any control
    int kind;                     // 1: wParam and lParam, 2: the notification, 0: end of the table
    ParamsHandler params;
    MessageHandler message;
};

struct NotifyMap {
    const NotifyMap* base;
    const NotifyMapEntry* entries;
};

class CNotifyPump {
public:
    CNotifyPump() = default;
    virtual ~CNotifyPump() = default;

    bool AddVirtualWnd(const std::wstring& name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const std::wstring& name);
    // The virtual window of the notification first, then this object's maps.
    void NotifyPump(NotifyMsg& msg);
    // This object's maps, from the most derived class's down; true when a
    // handler was called.
    bool LoopDispatch(NotifyMsg& msg);

protected:
    static const NotifyMap* StaticNotifyMap();
    virtual const NotifyMap* GetNotifyMap() const;

private:
    std::map<std::wstring, CNotifyPump*> m_virtualWindows;
};

// Leaves the class in protected access.
#define UI_DECLARE_NOTIFY_MAP()                \
protected:                                     \
    static const NotifyMap* StaticNotifyMap(); \
    const NotifyMap* GetNotifyMap() const override;

#define UI_BEGIN_NOTIFY_MAP(Class, Base)                                            \
    const NotifyMap* Class::GetNotifyMap() const { return Class::StaticNotifyMap(); } \
    const NotifyMap* Class::StaticNotifyMap()                                       \
    {                                                                               \
        static const NotifyMap* const base = Base::StaticNotifyMap();               \
        static const NotifyMapEntry entries[] = {
#define UI_NOTIFY_PARAMS(type, name, handler) \
    {type, name, 1, static_cast<NotifyMapEntry::ParamsHandler>(handler), nullptr},
#define UI_NOTIFY_MESSAGE(type, name, handler) \
    {type, name, 2, nullptr, static_cast<NotifyMapEntry::MessageHandler>(handler)},
#define UI_END_NOTIFY_MAP()                       \
    {nullptr, nullptr, 0, nullptr, nullptr}       \
    }                                             \
    ;                                             \
    static const NotifyMap map{base, entries};    \
    return &map;                                  \
    }
