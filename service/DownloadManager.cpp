#include "service/DownloadManager.h"

#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <algorithm>
#include <vector>

#include "diagnostics/Logger.h"
#include "service/BindStatusCallback.h"
#include "base/FileHandle.h"
#include "base/FileReplace.h"
#include "base/StringConvert.h"
#include "base/Thread.h"
#include "service/DownloadCallback.h"
#include "service/FileDigest.h"
#include "service/Pause.h"
#include "service/ResumeRecord.h"
#include "service/ZoneMark.h"

namespace {

bool SizeOf(const std::wstring& path, unsigned long long& size)
{
    WIN32_FILE_ATTRIBUTE_DATA attributes{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return false;
    size = (static_cast<unsigned long long>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow;
    return true;
}

bool ReadRecord(const std::wstring& path, ResumeRecord& record)
{
    CFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    char text[8192];
    DWORD got = 0;
    if (!ReadFile(file.Get(), text, sizeof text, &got, nullptr) || got == sizeof text) return false;
    return ReadResumeRecord(std::string(text, got), record);
}

// Appends the whole of one file to another; false when not every byte arrived.
bool AppendFile(const std::wstring& from, const std::wstring& to)
{
    CFileHandle source(CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    CFileHandle target(CreateFileW(to.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!source.IsOpen() || !target.IsOpen()) return false;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0, written = 0;
        if (!ReadFile(source.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
        if (got == 0) return true;
        if (!WriteFile(target.Get(), buffer.data(), got, &written, nullptr) || written != got) return false;
    }
}

void Forget(const std::wstring& partial, const std::wstring& record)
{
    DeleteFileW(partial.c_str());
    DeleteFileW(record.c_str());
}

}  // namespace

CDownloadManager* CDownloadManager::GetInstance()
{
    static CDownloadManager* instance = new CDownloadManager;
    return instance;
}

int CDownloadManager::CreateDownloadingTask(const std::wstring& url, const std::wstring& path,
                                            IDownloadCallback* callback)
{
    return CreateDownloadingTask(url, path, callback, FileCheck());
}

int CDownloadManager::CreateDownloadingTask(const std::wstring& url, const std::wstring& path,
                                            IDownloadCallback* callback, const FileCheck& check)
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
        m_queue.push_back(DownloadTask{id, url, path, callback, check});
        startWorker = !m_workerStarted;
        m_workerStarted = true;
        m_taskQueued.WakeAll();
    }
    if (startWorker && !CThread::StartDetached([this] { DownloadThread(); })) {
        LOG_ERROR(L"failed to start the thread of downloading file");
        // Nothing would ever run the task: it is taken back and refused,
        // and the next task tries to start the worker again.
        CLockGuard guard(m_lock);
        m_queue.erase(std::find_if(m_queue.begin(), m_queue.end(),
                                   [id](const DownloadTask& task) { return task.id == id; }));
        m_workerStarted = false;
        return 0;
    }
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
        std::wstring displaced;
        bool success = Download(task, displaced);
        task.callback->OnDownloadComplete(task.id, success);
        // The file it replaced goes only once the caller knows: freeing an
        // installer of hundreds of megabytes keeps the file system busy for
        // a while that nobody need wait for.
        if (!displaced.empty()) DeleteFileW(displaced.c_str());
    }
}

bool CDownloadManager::Download(const DownloadTask& task, std::wstring& displaced)
{
    // 1. The transfer goes to a name of its own in the target's folder, so
    // that whatever is at the target (an earlier installer) stays until a
    // whole file can take its place, and the final move stays on one volume.
    std::wstring partial = PartialPath(task.path);
    std::wstring validator;
    if (!Fetch(task, validator)) return false;

    // 2. What the service promised about the file.
    if (!Verify(task, partial)) return false;

    // 3. Marked before it takes a name anything may start it under. A
    // volume without streams (FAT) cannot carry the mark; the file is
    // still the checked one, so the download stands.
    unsigned long error = 0;
    bool marked = CZoneMark::Write(partial, task.url, error);

    // 4. Only now does the file take the target's name.
    if (!PutInPlace(partial, task.path, displaced)) {
        LOG_ERROR(L"failed to move the downloaded file into place, error is %d",
                  static_cast<int>(GetLastError()));
        DeleteFileW(partial.c_str());
        DeleteFileW(CZoneMark::StreamPath(partial).c_str());
        return false;
    }
    // 5. A stream moves with its file; where the system keeps the mark
    // apart from the file (Wine keeps it as a file of its own), the
    // target is marked again under its final name.
    std::string mark;
    if (marked && (!CZoneMark::Read(task.path, mark) || mark != CZoneMark::Text(task.url))) {
        DeleteFileW(CZoneMark::StreamPath(partial).c_str());
        marked = CZoneMark::Write(task.path, task.url, error);
    }
    if (!marked)
        LOG_ERROR(L"failed to mark the downloaded file as coming from the internet, error is %d",
                  static_cast<int>(error));
    return true;
}

bool CDownloadManager::PutInPlace(const std::wstring& partial, const std::wstring& path,
                                  std::wstring& displaced)
{
    displaced.clear();
    // An earlier file steps aside under a name of its own rather than being
    // replaced by the move: a rename over a large file frees it on the spot
    // and makes some file systems (ext4 under Wine) write the new file out
    // before the next flush of anything, data.json's included. Its deletion
    // is left to the caller, after the download is reported.
    std::wstring aside = DisplacedPath(path);
    bool movedAside = MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        if (movedAside) displaced = aside;
        return true;
    }
    // The earlier file goes back where it was.
    DWORD error = GetLastError();
    if (movedAside) MoveFileExW(aside.c_str(), path.c_str(), 0);
    SetLastError(error);
    return false;
}

bool CDownloadManager::Fetch(const DownloadTask& task, std::wstring& validator)
{
    std::wstring partial = PartialPath(task.path);
    std::wstring record = ResumeRecordPath(task.path);
    std::wstring rest = RestPath(task.path);
    DeleteFileW(rest.c_str());
    // Left over only when the program ended between the two moves of PutInPlace.
    DeleteFileW(DisplacedPath(task.path).c_str());

    // 1. A part kept from a cut transfer of the same URL is continued;
    // anything else starts the file anew.
    ResumeRecord kept;
    unsigned long long have = 0;
    bool resuming = ReadRecord(record, kept) && kept.url == task.url && SizeOf(partial, have) && have > 0 &&
                    (kept.total == 0 || have < kept.total);
    if (!resuming) {
        Forget(partial, record);
        have = 0;
    }

    // 2. A cached copy would hide a changed installer behind the same URL.
    DeleteUrlCacheEntryW(task.url.c_str());
    CBindStatusCallback status(task.id, task.callback);
    if (resuming) status.AskForRest(have, kept.validator);
    HRESULT result = status.Judge(URLDownloadToFileW(nullptr, task.url.c_str(),
                                                     (resuming ? rest : partial).c_str(), 0,
                                                     static_cast<IBindStatusCallback*>(&status)));
    DWORD code = status.ResponseCode();
    unsigned long long appendedTo = 0;  // bytes kept before this transfer, when it continued them
    const std::wstring& headers = status.ResponseHeaders();
    validator = ValidatorOf(headers);
    unsigned long long expected = 0;
    bool known = status.PromisedLength(expected);

    // 3. The server's answer to the request for the rest.
    if (resuming) {
        if (code == 206 && ContinuesPartial(kept, have, headers)) {
            // Whatever arrived continues the kept part, even if cut again.
            bool appended = AppendFile(rest, partial);
            DeleteFileW(rest.c_str());
            if (!appended) {
                LOG_ERROR(L"failed to append the rest of the download, error is %d",
                          static_cast<int>(GetLastError()));
                Forget(partial, record);
                return false;
            }
            appendedTo = have;
            ContentRange range;
            ParseContentRange(HeaderValue(headers, L"Content-Range"), range);
            expected = range.total;
            known = true;
            LOG_INFO(L"the download continues the kept part at byte %I64u", have);
        } else if (code == 200) {
            // The file changed (If-Range) or the server ignores ranges: what
            // arrived is a new file from its first byte.
            LOG_INFO(L"the download starts over, the server sent the whole file");
            if (!MoveFileExW(rest.c_str(), partial.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                LOG_ERROR(L"failed to move the downloaded file into place, error is %d",
                          static_cast<int>(GetLastError()));
                DeleteFileW(rest.c_str());
                Forget(partial, record);
                return false;
            }
        } else if (code != 0) {
            // A range that does not continue the kept part, or a refusal
            // (416 for a file that shrank): the kept part is of no use.
            LOG_INFO(L"the download starts over, the server answered %d to the request for the rest",
                     static_cast<int>(code));
            DeleteFileW(rest.c_str());
            Forget(partial, record);
            return Fetch(task, validator);
        } else {
            // No answer at all: the kept part waits for the next try.
            DeleteFileW(rest.c_str());
            LOG_ERROR(L"failed to call URLDownloadToFile, error is 0x%x", static_cast<unsigned>(result));
            return false;
        }
    }

    // 4. The whole file, or a part to keep or drop. A connection cut before
    // the promised length can still end in S_OK.
    unsigned long long size = 0;
    bool present = SizeOf(partial, size);
    // A full disk does not always end the download with an error either:
    // the bytes that arrived but found no room are missing from the file,
    // and such a part is not worth keeping.
    if (present && size - appendedTo < status.BytesReceived()) {
        LOG_ERROR(L"failed to write the whole file, %I64u of %lu bytes written", size - appendedTo,
                  static_cast<unsigned long>(status.BytesReceived()));
        Forget(partial, record);
        return false;
    }
    if (result != S_OK) {
        LOG_ERROR(L"failed to call URLDownloadToFile, error is 0x%x", static_cast<unsigned>(result));
    } else if (!present) {
        LOG_ERROR(L"failed to find the downloaded file, error is %d", static_cast<int>(GetLastError()));
        Forget(partial, record);
        return false;
    } else if (known && size != expected) {
        LOG_ERROR(L"failed to download the whole file, %I64u of %I64u bytes arrived", size, expected);
    } else {
        DeleteFileW(record.c_str());
        return true;
    }

    // 5. A part is worth keeping only when the server named its file and
    // the part is shorter than that file.
    bool answered = code == 200 || code == 206;
    if (answered && !validator.empty() && present && size > 0 && (!known || size < expected)) {
        std::string text = WriteResumeRecord(ResumeRecord{task.url, validator, known ? expected : 0});
        if (!text.empty() && WriteFileWhole(record, text.data(), text.size(), true)) {
            LOG_INFO(L"kept %I64u bytes of the download to continue later", size);
            return false;
        }
    }
    Forget(partial, record);
    return false;
}

bool CDownloadManager::Verify(const DownloadTask& task, const std::wstring& partial)
{
    std::wstring record = ResumeRecordPath(task.path);
    if (task.check.hasSize) {
        unsigned long long size = 0;
        SizeOf(partial, size);
        if (size != task.check.size) {
            LOG_ERROR(L"failed to verify the downloaded file, size expected %I64u, found %I64u",
                      static_cast<unsigned long long>(task.check.size), size);
            Forget(partial, record);
            return false;
        }
    }
    if (task.check.sha256.empty()) return true;
    std::string found;
    if (!CFileDigest::Sha256(partial, found)) {
        LOG_ERROR(L"failed to verify the downloaded file, its sha256 cannot be computed, error is %d",
                  static_cast<int>(GetLastError()));
        Forget(partial, record);
        return false;
    }
    if (found != task.check.sha256) {
        LOG_ERROR(L"failed to verify the downloaded file, sha256 expected %s, found %s",
                  Utf8ToWide(task.check.sha256).c_str(), Utf8ToWide(found).c_str());
        Forget(partial, record);
        return false;
    }
    return true;
}

std::wstring CDownloadManager::PartialPath(const std::wstring& path) { return path + L".part"; }

std::wstring CDownloadManager::ResumeRecordPath(const std::wstring& path) { return path + L".part.resume"; }

std::wstring CDownloadManager::RestPath(const std::wstring& path) { return path + L".part.rest"; }

std::wstring CDownloadManager::DisplacedPath(const std::wstring& path) { return path + L".old"; }
