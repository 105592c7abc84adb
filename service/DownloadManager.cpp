#include "service/DownloadManager.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <thread>

#include "diagnostics/Logger.h"
#include "service/BindStatusCallback.h"
#include "service/DownloadCallback.h"

CDownloadManager* CDownloadManager::GetInstance()
{
    static CDownloadManager* instance = new CDownloadManager;
    return instance;
}

int CDownloadManager::CreateDownloadingTask(const std::wstring& url, const std::wstring& path,
                                            IDownloadCallback* callback)
{
    if (url.empty() || path.empty() || !callback) {
        LOG_ERROR(L"failed to create a downloading task, error: invalid param");
        return 0;
    }
    int id = 0;
    bool startWorker = false;
    {
        CLockGuard guard(m_lock);
        id = ++m_lastTaskId;
        m_queue.push_back(DownloadTask{id, url, path, callback});
        startWorker = !m_workerStarted;
        m_workerStarted = true;
        m_taskQueued.WakeAll();
    }
    if (startWorker) std::thread([this] { DownloadThread(); }).detach();
    return id;
}

DownloadTask CDownloadManager::WaitForTask()
{
    CLockGuard guard(m_lock);
    while (m_queue.empty()) m_taskQueued.Wait(m_lock);
    DownloadTask task = m_queue.front();
    m_queue.erase(m_queue.begin());
    return task;
}

void CDownloadManager::DownloadThread()
{
    LOG_INFO(L"the thread of downloading file is running");
    // URL monikers are COM objects; this thread gets its own apartment for life.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        DownloadTask task = WaitForTask();
        bool success = Download(task);
        task.callback->OnDownloadComplete(task.id, success);
    }
}

bool CDownloadManager::Download(const DownloadTask& task)
{
    // 1. The transfer goes to a name of its own in the target's folder, so
    // that whatever is at the target (an earlier installer) stays until a
    // whole file can take its place, and the final move stays on one volume.
    std::wstring partial = PartialPath(task.path);
    DeleteFileW(partial.c_str());

    // 2. A cached copy would hide a changed installer behind the same URL.
    DeleteUrlCacheEntryW(task.url.c_str());
    CBindStatusCallback status(task.id, task.callback);
    HRESULT result = status.Judge(URLDownloadToFileW(
        nullptr, task.url.c_str(), partial.c_str(), 0, static_cast<IBindStatusCallback*>(&status)));
    if (result != S_OK) {
        LOG_ERROR(L"failed to call URLDownloadToFile, error is 0x%x", static_cast<unsigned>(result));
        DeleteFileW(partial.c_str());
        return false;
    }

    // 3. A connection cut before the promised length can still end in S_OK.
    unsigned long long promised = 0;
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(partial.c_str(), GetFileExInfoStandard, &attributes)) {
        LOG_ERROR(L"failed to find the downloaded file, error is %d", static_cast<int>(GetLastError()));
        return false;
    }
    unsigned long long size =
        (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    // A full disk does not always end the download with an error either:
    // the bytes that arrived but found no room are missing from the file.
    if (size < status.BytesReceived()) {
        LOG_ERROR(L"failed to write the whole file, %I64u of %lu bytes written", size,
                  static_cast<unsigned long>(status.BytesReceived()));
        DeleteFileW(partial.c_str());
        return false;
    }
    if (status.PromisedLength(promised) && size != promised) {
        LOG_ERROR(L"failed to download the whole file, %I64u of %I64u bytes arrived", size, promised);
        DeleteFileW(partial.c_str());
        return false;
    }

    // 4. Only now does the file take the target's name.
    if (!MoveFileExW(partial.c_str(), task.path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LOG_ERROR(L"failed to move the downloaded file into place, error is %d",
                  static_cast<int>(GetLastError()));
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

std::wstring CDownloadManager::PartialPath(const std::wstring& path) { return path + L".part"; }
