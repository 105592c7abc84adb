#pragma once

// An IDownloadCallback that records what the download worker tells it, for
// tests that wait on the worker thread.

#include <condition_variable>
#include <mutex>
#include <vector>

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
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                  [&] { return Completions() >= count; });
    }
    std::vector<DownloadEvent> Events()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
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
            std::lock_guard<std::mutex> lock(m_mutex);
            m_events.push_back(event);
        }
        m_changed.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<DownloadEvent> m_events;
};
