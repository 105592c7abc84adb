#pragma once

#include <string>
#include <vector>

#include "base/ConditionVariable.h"
#include "base/CriticalSection.h"

class IDownloadCallback;

// One queued download.
struct DownloadTask {
    int id = 0;
    std::wstring url;
    std::wstring path;
    IDownloadCallback* callback = nullptr;
};

// Downloads files one after the other on a worker thread of its own. A file
// reaches its target path only whole: it is fetched under a name of its
// own beside the target, checked (HTTP status, the promised length), and
// then moved over the target; a failed download leaves the target as it
// was and no partial file behind.
//
// Threads: CreateDownloadingTask may be called from any thread. The worker,
// started by the first accepted task and never ended, takes tasks from the
// queue and calls every callback. m_lock guards the queue, the task-id
// counter and the started flag (two installer threads may ask at once), and
// is never held during a download or a callback. An idle worker sleeps on
// m_taskQueued (leaving m_lock) until a new task wakes it, so a task starts
// the moment it is queued and an empty queue costs no wake-ups.
class CDownloadManager {
public:
    static CDownloadManager* GetInstance();

    // The new task's id (1, 2, ...), or 0 when the task is refused.
    int CreateDownloadingTask(const std::wstring& url, const std::wstring& path,
                              IDownloadCallback* callback);

    // Where a download is written until it is known to be whole.
    static std::wstring PartialPath(const std::wstring& path);

private:
    CDownloadManager() = default;
    void DownloadThread();
    // One transfer: true once the whole file is at the task's path.
    bool Download(const DownloadTask& task);
    DownloadTask WaitForTask();

    CCriticalSection m_lock;
    CConditionVariable m_taskQueued;
    std::vector<DownloadTask> m_queue;
    int m_lastTaskId = 0;
    bool m_workerStarted = false;
};
