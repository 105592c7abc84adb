#pragma once

#include <string>
#include <vector>

#include "base/ConditionVariable.h"
#include "base/CriticalSection.h"
#include "service/FileCheck.h"

class IDownloadCallback;

// One queued download.
struct DownloadTask {
    int id = 0;
    std::wstring url;
    std::wstring path;
    IDownloadCallback* callback = nullptr;
    FileCheck check;  // what the whole file must be; empty for no check
};

// Downloads files one after the other on a worker thread of its own. A file
// reaches its target path only whole: it is fetched under a name of its
// own beside the target, checked (HTTP status, the promised length), and
// then moved to the target, an earlier file there stepping aside until the
// download has been reported; a failed download leaves the target as it
// was and no partial file behind. Before the move the file is checked
// against the size and digest the task carries, and marked as coming from
// the Internet.
//
// A transfer cut short from a server that names its file (a strong ETag or
// Last-Modified) keeps its partial file and a small record of the URL,
// validator and length beside it; the next task for the same URL and path
// asks only for the rest, and appends it when the server continues that
// very file (206, the matching range, the same validator). Any other
// answer starts the file over.
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
    // The same, with the file checked against what the service promised.
    int CreateDownloadingTask(const std::wstring& url, const std::wstring& path,
                              IDownloadCallback* callback, const FileCheck& check);

    // Where a download is written until it is known to be whole.
    static std::wstring PartialPath(const std::wstring& path);
    // Beside a kept partial file: what it takes to continue it.
    static std::wstring ResumeRecordPath(const std::wstring& path);
    // Where the rest of a partial file arrives before it is appended.
    static std::wstring RestPath(const std::wstring& path);
    // Where the file a download replaces waits for its deletion.
    static std::wstring DisplacedPath(const std::wstring& path);

private:
    CDownloadManager() = default;
    void DownloadThread();
    // One transfer: true once the whole file is at the task's path;
    // displaced names the file it replaced, still to be deleted.
    bool Download(const DownloadTask& task, std::wstring& displaced);
    // Moves the whole partial file to path; an earlier file there is moved
    // to DisplacedPath (named in displaced) instead of being overwritten.
    static bool PutInPlace(const std::wstring& partial, const std::wstring& path, std::wstring& displaced);
    DownloadTask WaitForTask();
    // The transfer into the partial file, continuing it when it can; true
    // when the partial file holds the whole file the server promised.
    bool Fetch(const DownloadTask& task, std::wstring& validator);
    // Size and digest; a file that fails is removed.
    bool Verify(const DownloadTask& task, const std::wstring& partial);

    CCriticalSection m_lock;
    CConditionVariable m_taskQueued;
    std::vector<DownloadTask> m_queue;
    int m_lastTaskId = 0;
    bool m_workerStarted = false;
};
