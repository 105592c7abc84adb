// The IP helper needs winsock2.h ahead of windows.h, which the header brings.
#include <winsock2.h>

#include "state/DataManager.h"

#include <windows.h>

#include <iphlpapi.h>
#include <objbase.h>


#include <cstdio>
#include <cstring>

#include "base/FileReplace.h"
#include "base/StringConvert.h"
#include "base/Thread.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "service/DownloadManager.h"
#include "service/FileDigest.h"
#include "service/Pause.h"
#include "service/WinHttpClient.h"
#include "state/DataDocument.h"
#include "state/DeviceIdentity.h"
#include "state/UiSetting.h"

namespace {

// Owns a C run-time file for one scope.
class CFile {
public:
    CFile(const std::wstring& path, const wchar_t* mode) : m_file(_wfopen(path.c_str(), mode)) {}
    ~CFile() { Close(); }
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    FILE* Get() const { return m_file; }
    // True when everything written so far reached the file.
    bool Close()
    {
        if (!m_file) return false;
        bool ok = fclose(m_file) == 0;
        m_file = nullptr;
        return ok;
    }

private:
    FILE* m_file;
};

}  // namespace

CDataManager* CDataManager::GetInstance()
{
    static CDataManager* instance = new CDataManager(GetConfigFolder());
    return instance;
}

CDataManager::CDataManager(const std::wstring& configFolder)
    : CDataManager(configFolder, CUiSetting::GetInstance()->GetLink(L"接口地址"))
{
}

CDataManager::CDataManager(const std::wstring& configFolder, const std::wstring& serviceHost)
    : m_configFolder(configFolder)
{
    // 1. Every field starts empty (the member initialisers); then the file.
    Load();
    // 2. The service host is the product's, not the file's.
    m_serviceHost = serviceHost;
    // 3. What this start runs on.
    m_osVersion = ReadOsVersion();
    m_vendorId = ReadVendorId();
    // 4. A device keeps its identifier for as long as data.json keeps it.
    if (m_deviceId.empty()) {
        m_deviceId = MakeDeviceId();
        Save();
    }
    LOG_INFO(L"device id: %s, vendor id: %s, os: %s", m_deviceId.c_str(), m_vendorId.c_str(),
             Utf8ToWide(m_osVersion).c_str());
}

void CDataManager::SetSoftwareVersion(const std::wstring& version)
{
    {
        CLockGuard guard(m_lock);
        m_softwareVersion = version;
    }
    Save();
}

std::wstring CDataManager::GetInstallFilePath()
{
    CLockGuard guard(m_lock);
    return m_installFilePath;
}

bool CDataManager::IsInstallFileUnchanged(const std::wstring& path)
{
    std::string expected;
    {
        CLockGuard guard(m_lock);
        if (path != m_installFilePath) return false;
        expected = m_installFileSha256;
    }
    // An installer that came without a digest is taken as it is, as always.
    if (expected.empty()) return true;
    std::string found;
    if (!CFileDigest::Sha256(path, found)) {
        LOG_ERROR(L"failed to check the earlier installer %s, error is %d, it is downloaded again",
                  path.c_str(), static_cast<int>(GetLastError()));
        return false;
    }
    if (found != expected) {
        LOG_ERROR(L"the earlier installer %s has changed, sha256 expected %s, found %s, it is downloaded again",
                  path.c_str(), Utf8ToWide(expected).c_str(), Utf8ToWide(found).c_str());
        return false;
    }
    return true;
}

std::wstring CDataManager::GetSoftwareVersion()
{
    CLockGuard guard(m_lock);
    return m_softwareVersion;
}

size_t CDataManager::QueuedEventCount()
{
    CLockGuard guard(m_lock);
    return m_eventQueue.size();
}

int CDataManager::DownloadPercent()
{
    CLockGuard guard(m_lock);
    return m_downloadPercent;
}

void CDataManager::Load()
{
    // 1. and 2. No file is a first run, not a failure. Without a folder from
    // the shell there is no file to read, and none in the current folder.
    if (m_configFolder.empty()) {
        LOG_ERROR(L"failed to find the configure folder, the data configure file is not read");
        return;
    }
    std::wstring path = DataFilePath();
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    // 3. and 4. The lines joined without their line breaks; text mode has
    // already turned each CR LF into one LF.
    std::string text;
    {
        CFile file(path, L"r");
        if (!file.Get()) {
            LOG_ERROR(L"failed to open the data configure file : %s", path.c_str());
            return;
        }
        char chunk[4096];
        size_t got;
        while ((got = fread(chunk, 1, sizeof chunk, file.Get())) > 0) {
            for (size_t i = 0; i < got; ++i) {
                if (chunk[i] == '\n') continue;
                text += chunk[i];
            }
        }
    }
    // 5. and 6. Members that are not text (objects, arrays) count as missing.
    CLockGuard guard(m_lock);
    PersistedData data{m_deviceId, m_installFilePath, m_softwareVersion, m_installFileSha256};
    bool idRefused = false;
    if (!ReadDataDocument(text, data, idRefused)) {
        LOG_ERROR(L"failed to parse the basic configure");
        return;
    }
    if (idRefused) LOG_ERROR(L"the stored device id is not a plain identifier, a new one is made");
    m_deviceId = data.deviceId;
    m_installFilePath = data.installFilePath;
    m_softwareVersion = data.softwareVersion;
    m_installFileSha256 = data.installFileSha256;
}

void CDataManager::Save()
{
    if (m_configFolder.empty()) {
        LOG_ERROR(L"failed to find the configure folder, the data configure file is not saved");
        return;
    }
    // 1. One writer at a time, and the fields are copied only once this
    // save may write: a save that copied earlier but wrote later would put
    // older values over newer ones. m_lock is held just for the copy.
    CLockGuard writer(m_saveLock);
    PersistedData data;
    {
        CLockGuard guard(m_lock);
        data = PersistedData{m_deviceId, m_installFilePath, m_softwareVersion, m_installFileSha256};
    }
    std::string text = WriteDataDocument(data);

    // 2. The text goes whole into a file beside data.json that then replaces
    // it, so an interrupted save or a full disk leaves the old file, and with
    // it the device id, as it was. The new file reaches the disk before the
    // rename does: otherwise a power cut can leave the new name on an empty file.
    // The file has CR LF line breaks; JSON escapes any inside a value.
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    // 3. Replace. This runs on the UI thread when the user picks a version,
    // so a file held open elsewhere is not waited for: the save fails, the
    // values stay in memory and the next save writes them.
    std::wstring path = DataFilePath();
    if (!WriteFileWhole(path, lines.data(), lines.size(), true)) {
        LOG_ERROR(L"failed to save the data configure file : %s", path.c_str());
    }
}

void CDataManager::OnDownloadProgress(int, int percent)
{
    CLockGuard guard(m_lock);
    m_downloadPercent = percent;
}

void CDataManager::OnDownloadComplete(int, bool success)
{
    CLockGuard guard(m_lock);
    m_downloadFinished = true;
    m_downloadSucceeded = success;
    m_downloadEnded.WakeAll();
}

std::wstring CDataManager::MakeDeviceId()
{
    // 1. The first real Ethernet adapter's address.
    std::wstring id;
    ULONG size = 0;
    ULONG result = GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, nullptr, &size);
    if (result != ERROR_BUFFER_OVERFLOW) {
        LOG_ERROR(L"failed to call GetAdaptersAddresses, error is %d", static_cast<int>(result));
    } else {
        std::vector<unsigned char> buffer(size);
        auto* first = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
        result = GetAdaptersAddresses(AF_UNSPEC, GAA_FLAG_INCLUDE_PREFIX, nullptr, first, &size);
        if (result != 0) {
            LOG_ERROR(L"failed to call GetAdaptersAddresses, error is %d", static_cast<int>(result));
        } else {
            std::vector<AdapterRecord> adapters;
            for (IP_ADAPTER_ADDRESSES* a = first; a; a = a->Next) {
                AdapterRecord record;
                record.interfaceType = a->IfType;
                if (a->Description) record.description = a->Description;
                ULONG length = a->PhysicalAddressLength;
                if (length > MAX_ADAPTER_ADDRESS_LENGTH) length = MAX_ADAPTER_ADDRESS_LENGTH;
                record.address.assign(a->PhysicalAddress, a->PhysicalAddress + length);
                adapters.push_back(record);
            }
            id = AdapterDeviceId(adapters);
        }
    }
    if (!id.empty()) return id;

    // 2. A GUID without its braces.
    GUID guid;
    wchar_t text[40] = {};
    if (CoCreateGuid(&guid) == S_OK && StringFromGUID2(guid, text, 40) > 0) {
        std::wstring braced = text;
        if (braced.size() > 2) id = braced.substr(1, braced.size() - 2);
    }
    if (!id.empty()) return id;

    // 3. The tick count, which cannot fail.
    return DecimalText(GetTickCount64());
}

std::wstring CDataManager::ReadVendorId()
{
    wchar_t path[260] = {};
    GetModuleFileNameW(nullptr, path, 260);
    return VendorIdFromModulePath(path);
}

std::string CDataManager::ReadOsVersion()
{
    const wchar_t* key = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    DWORD major = 0, minor = 0;
    DWORD size = sizeof major;
    LONG result = RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMajorVersionNumber",
                               RRF_RT_REG_DWORD, nullptr, &major, &size);
    if (result != ERROR_SUCCESS) {
        LOG_ERROR(L"failed to get the major version, error is %d", static_cast<int>(result));
        major = 0;
    }
    size = sizeof minor;
    result = RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentMinorVersionNumber", RRF_RT_REG_DWORD,
                          nullptr, &minor, &size);
    if (result != ERROR_SUCCESS) {
        LOG_ERROR(L"failed to get the minor version, error is %d", static_cast<int>(result));
        minor = 0;
    }
    wchar_t build[100] = {};
    size = sizeof build;
    result = RegGetValueW(HKEY_LOCAL_MACHINE, key, L"CurrentBuildNumber", RRF_RT_REG_SZ, nullptr,
                          build, &size);
    if (result != ERROR_SUCCESS) {
        LOG_ERROR(L"failed to get the build version, error is %d", static_cast<int>(result));
        wcscpy(build, L"0");
    }
    return FormatOsVersion(static_cast<int>(major), static_cast<int>(minor), build);
}

std::wstring CDataManager::BuildHeaders() const
{
    return L"did: " + m_deviceId + L"\r\nvid: " + m_vendorId + L"\r\nproduct: " +
           CUiSetting::GetInstance()->GetOther(L"产品标识") + L"\r\n";
}

bool CDataManager::ParseReply(const std::string& body, ServiceReply& reply)
{
    switch (ParseServiceReply(body, reply)) {
    case ReplyParse::Ok:
        return true;
    case ReplyParse::FieldLacked:
        LOG_ERROR(L"failed to parse the http response: field lacked");
        return false;
    case ReplyParse::NotJson:
        break;
    }
    LOG_ERROR(L"failed to parse the http response: %s", Utf8ToWide(body).c_str());
    return false;
}

bool CDataManager::GetDownloadInfo(const std::wstring& version, std::wstring& fileName,
                                   std::wstring& fileUrl)
{
    FileCheck check;
    return FetchDownloadInfo(version, fileName, fileUrl, check) == InfoFetch::Ok;
}

bool CDataManager::GetDownloadInfo(const std::wstring& version, std::wstring& fileName,
                                   std::wstring& fileUrl, FileCheck& check)
{
    return FetchDownloadInfo(version, fileName, fileUrl, check) == InfoFetch::Ok;
}

CDataManager::InfoFetch CDataManager::FetchDownloadInfo(const std::wstring& version,
                                                        std::wstring& fileName, std::wstring& fileUrl,
                                                        FileCheck& check)
{
    // 1. The version travels percent-encoded; an absurdly long one is
    // refused, and asking again could never change that.
    std::wstring path;
    if (!BuildDownloadInfoPath(version, path)) {
        LOG_ERROR(L"failed to get installer info, error: the version is too long (%d characters)",
                  static_cast<int>(version.size()));
        return InfoFetch::Refused;
    }
    // 2. and 3. The request; the error number is the failing call's own.
    CWinHttpClient client(m_serviceHost, m_servicePort, L"WinHttpClient", L"", L"", L"", L"");
    HttpResponse response;
    if (!client.Get(path, BuildHeaders(), response)) {
        LOG_ERROR(L"failed to get installer info, error: %s, error code: %d",
                  response.errorText.c_str(), static_cast<int>(response.errorCode));
        return InfoFetch::Failed;
    }
    // 4. and 5. The envelope alone decides, not the status code.
    std::wstring body = Utf8ToWide(response.body);
    ServiceReply reply;
    if (!ParseReply(response.body, reply)) {
        LOG_ERROR(L"failed to get installer info, error: failed to parse http response content: %s",
                  body.c_str());
        return InfoFetch::Failed;
    }
    if (reply.error != 0) {
        LOG_ERROR(L"failed to get installer info, http report error: %s", reply.msg.c_str());
        return InfoFetch::Failed;
    }
    // 6. and 7. The members this operation needs, as non-empty text, and a
    // name that stays inside the temporary folder.
    switch (ReadDownloadInfo(reply.data, fileName, fileUrl, check)) {
    case DownloadInfoRead::Ok:
        return InfoFetch::Ok;
    case DownloadInfoRead::FormatWrong:
        LOG_ERROR(L"failed to get installer info, http content format is wrong, response content is: %s",
                  body.c_str());
        break;
    case DownloadInfoRead::Empty:
        LOG_ERROR(L"failed to get installer info, response content is: %s", body.c_str());
        break;
    case DownloadInfoRead::UnsafeName:
        LOG_ERROR(L"failed to get installer info, the file name is refused, response content is: %s",
                  body.c_str());
        break;
    case DownloadInfoRead::CheckMalformed:
        LOG_ERROR(L"failed to get installer info, the size or sha256 is malformed, response content is: %s",
                  body.c_str());
        break;
    }
    return InfoFetch::Failed;
}

void CDataManager::ReportEvent(const UsageEvent& event)
{
    bool start = false;
    {
        CLockGuard guard(m_lock);
        m_eventQueue.push_back(event);
        start = !m_reportThreadStarted;
        m_reportThreadStarted = true;
    }
    if (start && !CThread::StartDetached([this] { EventReportThread(); })) {
        LOG_ERROR(L"failed to start the thread of reporting event");
        // The next event tries again; the queued ones go with it.
        CLockGuard guard(m_lock);
        m_reportThreadStarted = false;
    }
}

void CDataManager::SendNextEvent()
{
    // 1. The oldest event, copied; it leaves the queue only once accepted.
    UsageEvent event;
    {
        CLockGuard guard(m_lock);
        if (m_eventQueue.empty()) return;
        event = m_eventQueue.front();
    }
    // 2. to 4. The report.
    std::string body = BuildEventBody(event.name, event.time, m_osVersion);
    CWinHttpClient client(m_serviceHost, m_servicePort, L"WinHttpClient", L"", L"", L"", L"");
    HttpResponse response;
    if (!client.Post(L"/v1/report", BuildHeaders() + L"Content-Type: Application/json\r\n", body,
                     response)) {
        LOG_ERROR(L"failed to report event, error: %s, error code: %d", response.errorText.c_str(),
                  static_cast<int>(response.errorCode));
        return;
    }
    if (response.statusCode < 200 || response.statusCode > 299) {
        LOG_ERROR(L"failed to report event, status code: %d", static_cast<int>(response.statusCode));
        return;
    }
    LOG_INFO(L"report event, name: %s, time: %lld", Utf8ToWide(event.name).c_str(),
             static_cast<long long>(event.time));
    CLockGuard guard(m_lock);
    if (!m_eventQueue.empty()) m_eventQueue.erase(m_eventQueue.begin());
}

void CDataManager::EventReportThread()
{
    LOG_INFO(L"the thread of reporting event starts");
    for (;;) {
        PauseFor(1000);
        SendNextEvent();
    }
}

void CDataManager::SetListener(IDownloadCallback* listener)
{
    CLockGuard guard(m_lock);
    m_listener = listener;
    m_listenerDownload = 0;
}

IDownloadCallback* CDataManager::GetListener()
{
    CLockGuard guard(m_lock);
    return m_listener;
}

void CDataManager::StartInstallerDownload()
{
    int download = 0;
    {
        CLockGuard guard(m_lock);
        // A second download would race the first into the same file and
        // share its status: the caller waits for the running one instead.
        if (m_runningDownload == 0) download = m_runningDownload = ++m_lastDownload;
        m_listenerDownload = m_runningDownload;
    }
    if (download == 0) {
        LOG_INFO(L"an installer download is running already, its end is awaited");
        return;
    }
    if (!CThread::StartDetached([this, download] { InstallerDownloadThread(download); })) {
        LOG_ERROR(L"failed to start the thread of downloading installer");
        TellListener(download, false);
    }
}

bool CDataManager::IsInstallerDownloadRunning()
{
    CLockGuard guard(m_lock);
    return m_runningDownload != 0;
}

void CDataManager::TellListener(int download, bool success)
{
    CLockGuard guard(m_lock);
    if (m_runningDownload == download) m_runningDownload = 0;
    IDownloadCallback* listener = m_listener;
    if (listener && m_listenerDownload == download) listener->OnDownloadComplete(0, success);
}

void CDataManager::InstallerDownloadThread(int download)
{
    // 1. and 2.
    LOG_INFO(L"the thread of downloading installer starts");
    std::wstring version = GetSoftwareVersion();

    // 3. Up to three attempts with a second's pause after each failed one;
    // a request that can never be made is not tried again. A successful
    // reply is acted on at once: a pause after it would only delay the
    // install by a second.
    std::wstring fileName, fileUrl;
    FileCheck check;
    InfoFetch fetched = InfoFetch::Failed;
    for (int attempt = 0; attempt < 3 && fetched == InfoFetch::Failed; ++attempt) {
        fetched = FetchDownloadInfo(version, fileName, fileUrl, check);
        if (fetched == InfoFetch::Failed) PauseFor(1000);
    }
    if (fetched != InfoFetch::Ok) {
        TellListener(download, false);
        return;
    }
    // 4. The installer goes into the temporary folder, or nowhere: a bare
    // file name would land beside setup.exe. An earlier installer of that
    // name stays until the download manager puts a checked, complete file
    // over it, so a failed download never leaves a wrong file there.
    std::wstring folder = GetTempFolder();
    if (folder.empty()) {
        LOG_ERROR(L"failed to get the temporary folder, the installer is not downloaded");
        TellListener(download, false);
        return;
    }
    std::wstring target = folder + fileName;

    // 5. The status is reset before the task exists, so no callback races it.
    {
        CLockGuard guard(m_lock);
        m_downloadFinished = false;
        m_downloadSucceeded = false;
        m_downloadPercent = 0;
    }
    // 6. The download manager takes its own lock; ours is not held here.
    if (CDownloadManager::GetInstance()->CreateDownloadingTask(fileUrl, target, this, check) == 0) {
        LOG_ERROR(L"failed to create the download task");
        TellListener(download, false);
        return;
    }
    // 7. Wait for the worker's verdict, woken by it rather than looking
    // once a second, so the install goes on the moment the file is whole.
    bool succeeded = false;
    {
        CLockGuard guard(m_lock);
        while (!m_downloadFinished) m_downloadEnded.Wait(m_lock);
        succeeded = m_downloadSucceeded;
    }
    // 8. Only a complete download becomes the installer to start next time;
    // its digest goes with it, so a later start can see it changed.
    if (succeeded) {
        {
            CLockGuard guard(m_lock);
            m_installFilePath = target;
            m_installFileSha256 = check.sha256;
        }
        Save();
    }
    // 9.
    TellListener(download, succeeded);
}
