#include "ui/core/WindowManagerUI.h"

#include "ui/controls/ControlUI.h"

// The manager's side of the control tree: adopting subtrees, deleting the
// controls that were removed while they may still have been on the call
// stack, the tree's end with the manager, and the delivery of control
// timers. UI thread only.

void CWindowManagerUI::RegisterTree(CControlUI* control, CControlUI* parent)
{
    if (!control) return;
    control->SetManager(this, parent, true);
    // A later control with a name already in the map replaces the earlier.
    control->FindControl(
        [](CControlUI* c, void* self) -> CControlUI* {
            const std::wstring name = c->GetName();
            if (!name.empty()) static_cast<CWindowManagerUI*>(self)->m_nameMap[name] = c;
            return nullptr;
        },
        this, 0);
}

void CWindowManagerUI::DeleteDelayed()
{
    // Deleting may hand further controls to DeleteLater, so the list is
    // taken over before anything is deleted.
    while (!m_delayedDeletes.empty()) {
        std::vector<CControlUI*> batch;
        batch.swap(m_delayedDeletes);
        for (CControlUI* control : batch) delete control;
    }
}

void CWindowManagerUI::DeliverTimer(UINT_PTR windowTimerId)
{
    for (const TimerRecord& record : m_timers) {
        if (record.window != m_window || record.windowTimerId != windowTimerId || record.stopped) continue;
        ControlEvent event;
        event.type = UIEVENT_TIMER;
        event.sender = record.control;
        event.timeStamp = GetTickCount();
        event.mousePoint = m_lastMousePoint;
        event.wParam = record.id;
        // The control may stop its timers while handling the tick, which
        // changes the list under this loop.
        record.control->HandleEvent(event);
        return;
    }
}

void CWindowManagerUI::ReleaseTree()
{
    DeleteDelayed();
    CControlUI* root = m_root;
    m_root = nullptr;
    m_focus = m_hover = m_click = m_key = nullptr;
    delete root;
    DeleteDelayed();
    for (const TimerRecord& record : m_timers)
        if (!record.stopped) KillTimer(record.window, record.windowTimerId);
    m_timers.clear();
    m_overlayPainters.clear();
    m_nameMap.clear();
}
