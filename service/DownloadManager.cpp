#include "service/DownloadManager.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <thread>

#include "diagnostics/Logger.h"
#include "service/BindStatusCallback.h"
#include "service/DownloadCallback.h"
#include "service/Pause.h"

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
    }
    if (startWorker) std::thread([this] { DownloadThread(); }).detach();
    return id;
}

bool CDownloadManager::TakeTask(DownloadTask& task)
{
    CLockGuard guard(m_lock);
    if (m_queue.empty()) return false;
    task = m_queue.front();
    m_queue.erase(m_queue.begin());
    return true;
}

void CDownloadManager::DownloadThread()
{
    LOG_INFO(L"the thread of downloading file is running");
    // URL monikers are COM objects; this thread gets its own apartment for life.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    for (;;) {
        DownloadTask task;
        if (!TakeTask(task)) {
            PauseFor(1000);
            continue;
        }
        // A cached copy would hide a changed installer behind the same URL.
        DeleteUrlCacheEntryW(task.url.c_str());
        CBindStatusCallback status(task.id, task.callback);
        HRESULT result = status.Judge(URLDownloadToFileW(
            nullptr, task.url.c_str(), task.path.c_str(), 0,
            static_cast<IBindStatusCallback*>(&status)));
        if (result != S_OK)
            LOG_ERROR(L"failed to call URLDownloadToFile, error is 0x%x",
                      static_cast<unsigned>(result));
        task.callback->OnDownloadComplete(task.id, result == S_OK);
    }
}
