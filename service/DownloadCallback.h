#pragma once

// Told about the progress and the end of one download. Both operations run
// on the download manager's worker thread, so an implementer that touches
// shared state locks it or posts a window message.
class IDownloadCallback {
public:
    // A new, higher percentage from 1 to 100.
    virtual void OnDownloadProgress(int taskId, int percent)
    {
        (void)taskId;
        (void)percent;
    }
    // Called exactly once per accepted task.
    virtual void OnDownloadComplete(int taskId, bool success)
    {
        (void)taskId;
        (void)success;
    }

protected:
    ~IDownloadCallback() = default;
};
