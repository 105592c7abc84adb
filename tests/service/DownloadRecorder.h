#pragma once

// An IDownloadCallback that records what the download worker tells it, for
// tests that wait on the worker thread.

#include <vector>

#include "base/ConditionVariable.h"
#include "base/CriticalSection.h"
#include "service/DownloadCallback.h"

struct DownloadEvent {
    int taskId;
    bool complete;
    int value;  // percent, or 1/0 for success of a completion
};

class CDownloadRecorder : public IDownloadCallback {
public:
    void OnDownloadProgress(int taskId, int percent) override { Add({taskId, false, percent}); }
    void OnDownloadComplete(int taskId, bool success) override { Add({taskId, true, success ? 1 : 0}); }

    // Waits until the given number of completions arrived; false on time-out.
    bool WaitForCompletions(size_t count, int timeoutMs = 60000)
    {
        const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
        CLockGuard lock(m_lock);
        while (Completions() < count) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) return false;
            m_changed.Wait(m_lock, static_cast<DWORD>(deadline - now));
        }
        return true;
    }
    std::vector<DownloadEvent> Events()
    {
        CLockGuard lock(m_lock);
        return m_events;
    }

private:
    size_t Completions() const
    {
        size_t count = 0;
        for (const DownloadEvent& e : m_events) count += e.complete ? 1 : 0;
        return count;
    }
    void Add(const DownloadEvent& event)
    {
        {
            CLockGuard lock(m_lock);
            m_events.push_back(event);
        }
        m_changed.WakeAll();
    }

    CCriticalSection m_lock;
    CConditionVariable m_changed;
    std::vector<DownloadEvent> m_events;
};
