#include "ui/core/WindowManagerUI.h"

#include <algorithm>

#include "ui/controls/ControlUI.h"

// Control timers and the caret. Each control timer is one window timer of
// the manager's window with an id of its own; the caret's blink keeps id 241.
// UI thread only.

bool CWindowManagerUI::StartTimer(CControlUI* control, UINT id, UINT milliseconds)
{
    if (!control || !m_window) return false;
    for (TimerRecord& record : m_timers) {
        if (record.control == control && record.window == m_window && record.id == id) {
            if (!record.stopped) return false;
            if (!SetTimer(m_window, record.windowTimerId, milliseconds, nullptr)) return false;
            record.stopped = false;
            return true;
        }
    }
    // The counter wraps at 255. Ids that the caret blink (241) or a live
    // record already holds, and 0, are passed over: a second owner of one
    // window timer id would steal the first one's ticks.
    UINT_PTR windowId = 0;
    for (int tries = 0; tries < 256 && windowId == 0; ++tries) {
        m_timerCounter = (m_timerCounter + 1) % 255;
        UINT_PTR candidate = m_timerCounter;
        if (candidate == 0 || candidate == 241) continue;
        bool taken = false;
        for (const TimerRecord& record : m_timers)
            if (record.window == m_window && record.windowTimerId == candidate) taken = true;
        if (!taken) windowId = candidate;
    }
    if (windowId == 0) return false;
    if (!SetTimer(m_window, windowId, milliseconds, nullptr)) return false;
    m_timers.push_back(TimerRecord{control, id, m_window, windowId, false});
    return true;
}

bool CWindowManagerUI::StopTimer(CControlUI* control, UINT id)
{
    for (TimerRecord& record : m_timers) {
        if (record.control == control && record.window == m_window && record.id == id) {
            if (!record.stopped) {
                KillTimer(record.window, record.windowTimerId);
                record.stopped = true;
            }
            return true;
        }
    }
    return false;
}

void CWindowManagerUI::StopAllTimers(CControlUI* control)
{
    auto end = std::remove_if(m_timers.begin(), m_timers.end(), [control](const TimerRecord& record) {
        if (record.control != control) return false;
        if (!record.stopped) KillTimer(record.window, record.windowTimerId);
        return true;
    });
    m_timers.erase(end, m_timers.end());
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

bool CWindowManagerUI::EnableCaret(bool enable)
{
    if (!m_window) return false;
    if (enable) {
        if (!SetTimer(m_window, kCaretTimerId, GetCaretBlinkTime(), nullptr)) return false;
        m_caretEnabled = true;
        m_caretShown = true;
    } else {
        KillTimer(m_window, kCaretTimerId);
        m_caretEnabled = false;
        m_caretShown = false;
    }
    RepaintRect(m_caretRect);
    return true;
}

void CWindowManagerUI::SetCaretSize(int width, int height)
{
    RepaintRect(m_caretRect);
    m_caretRect.right = m_caretRect.left + std::max(0, width);
    m_caretRect.bottom = m_caretRect.top + std::max(0, height);
    RepaintRect(m_caretRect);
}

bool CWindowManagerUI::MoveCaret(CControlUI* owner, int x, int y)
{
    ::SetCaretPos(x, y);
    const RECT old = m_caretRect;
    OffsetRect(&m_caretRect, x - m_caretRect.left, y - m_caretRect.top);
    m_caretOwner = owner;
    RepaintRect(old);
    RepaintRect(m_caretRect);
    return true;
}

void CWindowManagerUI::BlinkCaret()
{
    RepaintRect(m_caretRect);
    m_caretShown = !m_caretShown;
}

void CWindowManagerUI::PaintCaret(HDC dc, const RECT& paint)
{
    if (!m_caretEnabled) return;
    // A caret without a focused owner in a focused window does not blink.
    if (!m_caretOwner || !m_caretOwner->IsFocused() || ::GetFocus() != m_window) {
        KillTimer(m_window, kCaretTimerId);
        m_caretEnabled = false;
        m_caretShown = false;
        return;
    }
    if (!m_caretShown) return;
    RECT r;
    if (!IntersectRect(&r, &m_caretRect, &paint)) return;
    CDrawKit::FillColor(dc, r, m_textColour);
}
