#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/ConditionVariable.h"
#include "base/CriticalSection.h"
#include "service/DownloadCallback.h"
#include "service/ServiceProtocol.h"
#include "service/UsageEvent.h"

// The assistant's state shared by the windows and the background threads:
// the values kept in data.json, the identifiers worked out at start, the
// status of the installer download and the queue of usage events; and the
// service operations with the two threads that run them.
//
// Threads: the UI thread constructs it and calls the accessors,
// StartInstallerDownload and ReportEvent. Each StartInstallerDownload runs
// an installer-download thread; the first ReportEvent starts the
// event-report thread; the download manager's worker calls
// OnDownloadProgress and OnDownloadComplete. m_lock guards the software
// version, the install file path and its digest, the download status and the event queue,
// and is held only to copy or set them: never across a request, a sleep, a
// file access or a call into the download manager, so it is never held
// together with the download manager's lock. m_saveLock lets one save copy
// and write data.json at a time; a save takes m_lock inside it only to copy
// the fields, and nothing takes m_saveLock while holding m_lock. The
// identifiers, host and port are set during construction and read without
// a lock afterwards. The installer-download thread waits for the worker's
// verdict on m_downloadEnded, which OnDownloadComplete signals under m_lock;
// the wait leaves m_lock while asleep.
//
// One installer download runs at a time. A StartInstallerDownload while one
// runs starts nothing: the caller's listener is bound to the running one and
// hears its end. The end is told under m_lock, together with clearing the
// running mark, so that a listener bound to one download never hears the end
// of another; listeners therefore only post or record, and never wait.
class CDataManager : public IDownloadCallback {
public:
    static CDataManager* GetInstance();

    // Works in the given folder (ending with a backslash) and talks to the
    // given service host; start-up's instance uses GetConfigFolder and the
    // product's host, as does the one-argument form.
    explicit CDataManager(const std::wstring& configFolder);
    CDataManager(const std::wstring& configFolder, const std::wstring& serviceHost);
    CDataManager(const CDataManager&) = delete;
    CDataManager& operator=(const CDataManager&) = delete;

    // The listener hears nothing until StartInstallerDownload binds it.
    void SetListener(IDownloadCallback* listener);
    IDownloadCallback* GetListener();
    void SetSoftwareVersion(const std::wstring& version);
    std::wstring GetInstallFilePath();
    // True when the installer recorded at path may be started again: it is
    // the recorded one and, when the service gave its digest, still has it.
    // Reads the whole file; false (logged) when it changed or is unreadable.
    bool IsInstallFileUnchanged(const std::wstring& path);
    void Load();
    void Save();

    void OnDownloadProgress(int taskId, int percent) override;
    void OnDownloadComplete(int taskId, bool success) override;

    void StartInstallerDownload();
    bool IsInstallerDownloadRunning();
    void ReportEvent(const UsageEvent& event);
    bool GetDownloadInfo(const std::wstring& version, std::wstring& fileName,
                         std::wstring& fileUrl);
    // The same, with the size and digest the service promised (empty when none).
    bool GetDownloadInfo(const std::wstring& version, std::wstring& fileName,
                         std::wstring& fileUrl, FileCheck& check);
    void SendNextEvent();
    std::wstring BuildHeaders() const;
    bool ParseReply(const std::string& body, ServiceReply& reply);

    std::wstring MakeDeviceId();
    std::wstring ReadVendorId();
    std::string ReadOsVersion();

    // Read-only views, for the windows and for tests.
    std::wstring DataFilePath() const { return m_configFolder + L"data.json"; }
    const std::wstring& DeviceId() const { return m_deviceId; }
    const std::wstring& VendorId() const { return m_vendorId; }
    const std::string& OsVersion() const { return m_osVersion; }
    const std::wstring& ServiceHost() const { return m_serviceHost; }
    std::wstring GetSoftwareVersion();
    size_t QueuedEventCount();
    int DownloadPercent();

private:
    // How one request for the download information ended: Refused when it
    // cannot be made at all (a version too long for the query).
    enum class InfoFetch { Ok, Failed, Refused };
    InfoFetch FetchDownloadInfo(const std::wstring& version, std::wstring& fileName,
                                std::wstring& fileUrl, FileCheck& check);
    void InstallerDownloadThread(int download);
    void EventReportThread();
    void TellListener(int download, bool success);

    CCriticalSection m_lock;
    IDownloadCallback* m_listener = nullptr;  // under m_lock
    int m_listenerDownload = 0;  // the download the listener waits for, 0 for none
    int m_runningDownload = 0;   // 0 while no installer download runs
    int m_lastDownload = 0;
    std::wstring m_softwareVersion;
    std::wstring m_installFilePath;
    std::string m_installFileSha256;  // of the file at m_installFilePath, empty when unknown
    bool m_downloadFinished = false;
    bool m_downloadSucceeded = false;
    int m_downloadPercent = 0;
    CConditionVariable m_downloadEnded;
    std::wstring m_serviceHost;
    int m_servicePort = 443;
    std::wstring m_deviceId;
    std::wstring m_vendorId;
    std::vector<UsageEvent> m_eventQueue;
    std::string m_osVersion;

    std::wstring m_configFolder;
    CCriticalSection m_saveLock;
    bool m_reportThreadStarted = false;
};
