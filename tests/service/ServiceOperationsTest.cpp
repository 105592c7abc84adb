// The data manager's service operations and worker threads, over the real
// WinHTTP and URL monikers, against the local stand-in service.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/JsonValue.h"
#include "base/StringConvert.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "service/DownloadManager.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

std::string Behaviour(const char* member, const std::wstring& value)
{
    Json::Value root(Json::objectValue);
    root[member] = WideToUtf8(value);
    return WriteJson(root);
}

class ServiceOperationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testlog::Open();
        ASSERT_TRUE(standin::Reset()) << "the stand-in service is not running";
        m_folder = ScratchFolder(L"service-operations");
        // Never destroyed, as in the program: its threads outlive the test.
        m_manager = new CDataManager(m_folder);
    }
    size_t LogCount(const std::wstring& text) { return testlog::Lines(text).size(); }
    bool Info(const std::wstring& version)
    {
        std::wstring name, url;
        return m_manager->GetDownloadInfo(version, name, url);
    }

    std::wstring m_folder;
    CDataManager* m_manager = nullptr;
};

TEST_F(ServiceOperationsTest, DownloadInfoCarriesHeadersAndTheEncodedVersion)
{
    std::wstring name, url;
    ASSERT_TRUE(m_manager->GetDownloadInfo(L"3.2 \u6b63\u5f0f\u7248 &#+", name, url));
    EXPECT_EQ(L"sample_installer.exe", name);
    EXPECT_EQ(L"https://localhost/files/sample_installer.exe", url);

    Json::Value requests = standin::RequestsTo("/v1/getDownloadInfo");
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ("GET", requests[0]["method"].asString());
    EXPECT_EQ("orderId=predownload&version=3.2%20%E6%AD%A3%E5%BC%8F%E7%89%88%20%26%23%2B",
              requests[0]["query"].asString());
    // This program is test_service.exe, so its vendor id is "service".
    std::string expected = "did: " + WideToUtf8(m_manager->DeviceId()) +
                           "\r\nvid: service\r\nproduct: sample.viewer\r\n";
    EXPECT_EQ(expected, WideToUtf8(m_manager->BuildHeaders()));
    EXPECT_NE(std::string::npos, standin::HeaderLines(requests[0]).find(expected))
        << standin::HeaderLines(requests[0]);
}

TEST_F(ServiceOperationsTest, EnvelopeDecidesWhateverTheStatus)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"status500\"}"));
    EXPECT_TRUE(Info(L"1.0"));

    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"nomsg\"}"));
    size_t lacked = LogCount(L"failed to parse the http response: field lacked");
    size_t content = LogCount(L"failed to get installer info, error: failed to parse http response content: ");
    EXPECT_FALSE(Info(L"1.0"));
    EXPECT_EQ(lacked + 1, LogCount(L"failed to parse the http response: field lacked"));
    EXPECT_EQ(content + 1,
              LogCount(L"failed to get installer info, error: failed to parse http response content: "));

    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"notjson\"}"));
    size_t notJson = LogCount(L"failed to parse the http response: <html>gateway</html>");
    EXPECT_FALSE(Info(L"1.0"));
    EXPECT_EQ(notJson + 1, LogCount(L"failed to parse the http response: <html>gateway</html>"));

    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"array\"}"));
    EXPECT_FALSE(Info(L"1.0"));

    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"error1\"}"));
    size_t refused = LogCount(L"failed to get installer info, http report error: version not found");
    EXPECT_FALSE(Info(L"1.0"));
    EXPECT_EQ(refused + 1, LogCount(L"failed to get installer info, http report error: version not found"));

    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"ok\", \"filename\": \"\"}"));
    size_t empty = LogCount(L"failed to get installer info, response content is: ");
    EXPECT_FALSE(Info(L"1.0"));
    EXPECT_EQ(empty + 1, LogCount(L"failed to get installer info, response content is: "));
}

TEST_F(ServiceOperationsTest, HostileFileNamesAreRefusedWithTheBody)
{
    const wchar_t* names[] = {L"..\\..\\evil.exe", L"../evil.exe", L"C:\\Windows\\evil.exe",
                              L"setup.exe:payload", L"..", L"CON", L"nul.exe", L"com3.exe",
                              L"setup.exe.", L"setup\x01.exe"};
    for (const wchar_t* name : names) {
        ASSERT_TRUE(standin::SetBehaviour(Behaviour("filename", name)));
        size_t before = LogCount(L"the file name is refused, response content is: {");
        EXPECT_FALSE(Info(L"1.0")) << WideToUtf8(name);
        EXPECT_EQ(before + 1, LogCount(L"the file name is refused, response content is: {"))
            << WideToUtf8(name);
    }
}

TEST_F(ServiceOperationsTest, OverlongVersionIsRefusedWithoutARequest)
{
    size_t before = LogCount(L"failed to get installer info, error: the version is too long");
    EXPECT_FALSE(Info(std::wstring(700, L'\u7248')));
    EXPECT_EQ(before + 1, LogCount(L"failed to get installer info, error: the version is too long"));
    EXPECT_EQ(0u, standin::Requests().size());
    EXPECT_TRUE(Info(std::wstring(300, L'v')));
}

TEST_F(ServiceOperationsTest, InstallerDownloadReplacesAnOldFileAndRecordsThePath)
{
    std::wstring target = GetTempFolder() + L"sample_installer.exe";
    std::wstring partial = CDownloadManager::PartialPath(target);
    std::wstring marker = GetTempFolder() + L"sample_installer.marker";
    DeleteFileW(marker.c_str());
    ASSERT_TRUE(WriteBytes(target, "an old installer"));
    m_manager->SetSoftwareVersion(L"3.2");
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"slow\"}"));

    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    // While the new file arrives, the old one stays whole at its place.
    bool arriving = false;
    for (int waited = 0; waited < 20000 && !arriving && listener.Events().empty(); waited += 20) {
        int percent = m_manager->DownloadPercent();
        arriving = percent > 0 && percent < 100;
        if (!arriving) Sleep(20);
    }
    EXPECT_TRUE(arriving);
    EXPECT_EQ("an old installer", ReadBytes(target));
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_FALSE(Exists(partial));
    std::vector<DownloadEvent> events = listener.Events();
    ASSERT_EQ(1u, events.size());  // the listener hears the end, never the progress
    EXPECT_EQ(0, events[0].taskId);
    EXPECT_EQ(1, events[0].value);
    EXPECT_EQ(100, m_manager->DownloadPercent());

    std::string served = ReadBytes(TestProgramFolder() + L"..\\tools\\sample_installer.exe");
    ASSERT_FALSE(served.empty());
    EXPECT_EQ(served, ReadBytes(target));
    EXPECT_EQ(target, m_manager->GetInstallFilePath());
    Json::Value saved;
    ASSERT_TRUE(ParseJson(ReadBytes(m_manager->DataFilePath()), saved));
    EXPECT_EQ(WideToUtf8(target), saved["install_file_path"].asString());
    EXPECT_EQ("3.2", saved["software_version"].asString());
    EXPECT_EQ("version=3.2", standin::RequestsTo("/v1/getDownloadInfo")[0]["query"].asString().substr(20));

    // The downloaded program is the sample installer: it leaves its marker and asks the user.
    ChildProcess installer(L"\"" + target + L"\"");
    ASSERT_TRUE(installer.Started());
    EXPECT_NE(nullptr, WaitForWindow(installer.Id(), L"Sample installer", 20000));
    EXPECT_TRUE(Exists(marker));
}

TEST_F(ServiceOperationsTest, FailedDownloadLeavesPathAndFileAsTheyWere)
{
    ASSERT_TRUE(WriteBytes(m_manager->DataFilePath(),
                           "{\"device_id\": \"dev\", \"install_file_path\": \"C:\\\\earlier.exe\"}"));
    m_manager = new CDataManager(m_folder);
    std::string before = ReadBytes(m_manager->DataFilePath());
    std::wstring target = GetTempFolder() + L"sample_installer.exe";
    ASSERT_TRUE(WriteBytes(target, "an old installer"));
    // A 404 whose error page the moniker writes, and a connection cut halfway.
    size_t cutLines = LogCount(L"failed to download the whole file, ");
    for (const char* file : {"missing", "cut"}) {
        ASSERT_TRUE(standin::SetBehaviour(std::string("{\"file\": \"") + file + "\"}"));
        CDownloadRecorder listener;
        m_manager->SetListener(&listener);
        m_manager->StartInstallerDownload();
        ASSERT_TRUE(listener.WaitForCompletions(1)) << file;
        EXPECT_EQ(0, listener.Events()[0].value) << file;
        EXPECT_EQ("an old installer", ReadBytes(target)) << file;
        EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target))) << file;
        EXPECT_EQ(L"C:\\earlier.exe", m_manager->GetInstallFilePath()) << file;
        EXPECT_EQ(before, ReadBytes(m_manager->DataFilePath())) << file;
    }
    EXPECT_EQ(cutLines + 1, LogCount(L"failed to download the whole file, "));
}

TEST_F(ServiceOperationsTest, OverlongVersionFailsAtOnceWithoutRetries)
{
    m_manager->SetSoftwareVersion(std::wstring(700, L'\u7248'));
    const wchar_t* line = L"failed to get installer info, error: the version is too long";
    size_t before = LogCount(line);
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(0, listener.Events()[0].value);
    // One refusal, not three attempts a second apart.
    Sleep(1500);
    EXPECT_EQ(before + 1, LogCount(line));
    EXPECT_EQ(0u, standin::Requests().size());
}

// A child whose temporary folder cannot be learnt: the installer download
// must be refused, not written under a bare name into the current folder.
// The exit code names the first check that failed.
int NoTemporaryFolderRoutine(const std::vector<std::wstring>& args)
{
    if (!GetTempFolder().empty()) return 2;
    g_pLogger = new CLogger(args.at(0), L"installer");
    auto* manager = new CDataManager(args.at(0));
    manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    manager->SetListener(&listener);
    manager->StartInstallerDownload();
    if (!listener.WaitForCompletions(1)) return 3;
    if (listener.Events()[0].value != 0) return 4;
    return 0;
}
REGISTER_CHILD_ROUTINE(L"no-temporary-folder", NoTemporaryFolderRoutine);

TEST_F(ServiceOperationsTest, NoTemporaryFolderRefusesTheDownload)
{
    // Wine, like Windows, gives no temporary path when TMP is too long for one.
    std::wstring tooLong = L"C:\\" + std::wstring(300, L'x');
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring stray = std::wstring(current) + L"\\sample_installer.exe";
    DeleteFileW(stray.c_str());
    SetEnvironmentVariableW(L"TMP", tooLong.c_str());
    SetEnvironmentVariableW(L"TEMP", tooLong.c_str());
    ProcessResult result = RunProcess(ChildCommandLine(L"no-temporary-folder", {m_folder}), 60000);
    SetEnvironmentVariableW(L"TMP", nullptr);
    SetEnvironmentVariableW(L"TEMP", nullptr);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_FALSE(Exists(stray));
    EXPECT_EQ(0u, standin::RequestsTo("/files/sample_installer.exe").size());
    std::wstring log = ReadUtf16(m_folder + TodayLogName());
    EXPECT_NE(std::wstring::npos, log.find(L"failed to get the temporary folder, the installer is not downloaded"))
        << WideToUtf8(log);
}

TEST_F(ServiceOperationsTest, ThreeRefusalsTakeThreeSecondsBeforeTheListenerHearsFalse)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"info\": \"error1\"}"));
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    ULONGLONG start = GetTickCount64();
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, 3000u);
    EXPECT_EQ(0, listener.Events()[0].value);
    EXPECT_EQ(3u, standin::RequestsTo("/v1/getDownloadInfo").size());
    EXPECT_EQ(0u, standin::RequestsTo("/files/sample_installer.exe").size());
}

TEST_F(ServiceOperationsTest, ASuccessfulInstallerDownloadIsHeardWithoutWaitingOnAClock)
{
    // A second's pause after the accepted reply, or a once-a-second look at
    // the download status, would each add a second to the whole run.
    m_manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    ULONGLONG start = GetTickCount64();
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_LT(took, 1000u);
    EXPECT_EQ(1, listener.Events()[0].value);
    EXPECT_EQ(1u, standin::RequestsTo("/v1/getDownloadInfo").size());
    EXPECT_EQ(GetTempFolder() + L"sample_installer.exe", m_manager->GetInstallFilePath());
}

TEST_F(ServiceOperationsTest, ThirdAttemptThatSucceedsStillDownloads)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"fail_first\": 2, \"file\": \"nolength\"}"));
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(1, listener.Events()[0].value);
    EXPECT_EQ(3u, standin::RequestsTo("/v1/getDownloadInfo").size());
    // Without a length no percentage was ever reported.
    EXPECT_EQ(0, m_manager->DownloadPercent());
}

TEST_F(ServiceOperationsTest, AVerifiedInstallerIsRecordedWithItsDigestAndRecheckedBeforeReuse)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"check\": \"served\"}"));
    std::wstring name, url;
    FileCheck check;
    ASSERT_TRUE(m_manager->GetDownloadInfo(L"3.2", name, url, check));
    std::string served = ReadBytes(TestProgramFolder() + L"..\\tools\\sample_installer.exe");
    ASSERT_FALSE(served.empty());
    EXPECT_TRUE(check.hasSize);
    EXPECT_EQ(served.size(), check.size);
    ASSERT_EQ(64u, check.sha256.size());

    m_manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(1, listener.Events()[0].value);
    std::wstring target = GetTempFolder() + L"sample_installer.exe";
    EXPECT_EQ(served, ReadBytes(target));
    Json::Value saved;
    ASSERT_TRUE(ParseJson(ReadBytes(m_manager->DataFilePath()), saved));
    EXPECT_EQ(check.sha256, saved["install_file_sha256"].asString());

    // A later start reads the digest back and finds the file unchanged.
    CDataManager* later = new CDataManager(m_folder);
    EXPECT_TRUE(later->IsInstallFileUnchanged(target));
    // A file changed since is not started again: it is downloaded anew.
    ASSERT_TRUE(WriteBytes(target, served + "x"));
    size_t changed = LogCount(L"the earlier installer " + target + L" has changed, sha256 expected " +
                              Utf8ToWide(check.sha256) + L", found ");
    EXPECT_FALSE(later->IsInstallFileUnchanged(target));
    EXPECT_EQ(changed + 1, LogCount(L"the earlier installer " + target + L" has changed, sha256 expected " +
                                    Utf8ToWide(check.sha256) + L", found "));
    DeleteFileW(target.c_str());
    EXPECT_FALSE(later->IsInstallFileUnchanged(target));
    EXPECT_FALSE(later->IsInstallFileUnchanged(target + L".other"));
}

TEST_F(ServiceOperationsTest, WithoutADigestTheFileIsKeptAndReusedAsBefore)
{
    // A service that sends neither member: data.json has the three members
    // it always had, and the recorded installer is taken as it is.
    m_manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(1, listener.Events()[0].value);
    Json::Value saved;
    ASSERT_TRUE(ParseJson(ReadBytes(m_manager->DataFilePath()), saved));
    EXPECT_EQ((std::vector<std::string>{"device_id", "install_file_path", "software_version"}),
              saved.getMemberNames());
    std::wstring target = GetTempFolder() + L"sample_installer.exe";
    ASSERT_TRUE(WriteBytes(target, "changed, but nothing says so"));
    EXPECT_TRUE(m_manager->IsInstallFileUnchanged(target));
}

TEST_F(ServiceOperationsTest, AnHtmlPageForTheInstallerIsAFailedDownloadThatRecordsNothing)
{
    ASSERT_TRUE(WriteBytes(m_manager->DataFilePath(),
                           "{\"device_id\": \"dev\", \"install_file_path\": \"C:\\\\earlier.exe\"}"));
    m_manager = new CDataManager(m_folder);
    std::string before = ReadBytes(m_manager->DataFilePath());
    std::wstring target = GetTempFolder() + L"sample_installer.exe";
    ASSERT_TRUE(WriteBytes(target, "an old installer"));
    ASSERT_TRUE(standin::SetBehaviour("{\"check\": \"served\", \"html_page\": true}"));
    size_t lines = LogCount(L"failed to verify the downloaded file, size expected ");
    CDownloadRecorder listener;
    m_manager->SetListener(&listener);
    m_manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(0, listener.Events()[0].value);
    EXPECT_EQ(lines + 1, LogCount(L"failed to verify the downloaded file, size expected "));
    EXPECT_EQ("an old installer", ReadBytes(target));
    EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target)));
    EXPECT_EQ(L"C:\\earlier.exe", m_manager->GetInstallFilePath());
    EXPECT_EQ(before, ReadBytes(m_manager->DataFilePath()));
}

TEST_F(ServiceOperationsTest, AMalformedSizeOrDigestRefusesTheReply)
{
    for (const char* extra : {"{\"size\": \"12\"}", "{\"sha256\": \"abc\"}"}) {
        ASSERT_TRUE(standin::SetBehaviour(std::string("{\"data_extra\": ") + extra + "}"));
        size_t before = LogCount(L"failed to get installer info, the size or sha256 is malformed, response content is: ");
        EXPECT_FALSE(Info(L"3.2")) << extra;
        EXPECT_EQ(before + 1,
                  LogCount(L"failed to get installer info, the size or sha256 is malformed, response content is: "))
            << extra;
    }
    // Members the client does not know are still ignored.
    ASSERT_TRUE(standin::SetBehaviour("{\"data_extra\": {\"md5\": \"x\", \"mirror\": [1]}}"));
    EXPECT_TRUE(Info(L"3.2"));
}

Json::Value WaitForReports(size_t count, int timeoutMs)
{
    Json::Value reports;
    for (int waited = 0; waited < timeoutMs; waited += 100) {
        reports = standin::RequestsTo("/v1/report");
        if (reports.size() >= count) break;
        Sleep(100);
    }
    return reports;
}

TEST_F(ServiceOperationsTest, EventsAreSentOneASecondInOrder)
{
    m_manager->ReportEvent(UsageEvent{"software_activation", 1700000000000LL});
    m_manager->ReportEvent(UsageEvent{"second_event", 1700000001000LL});
    Json::Value reports = WaitForReports(2, 8000);
    ASSERT_EQ(2u, reports.size());
    Json::Value first, second;
    ASSERT_TRUE(ParseJson(reports[0]["body"].asString(), first));
    ASSERT_TRUE(ParseJson(reports[1]["body"].asString(), second));
    EXPECT_EQ("software_activation", first["evt"].asString());
    EXPECT_EQ(1700000000000ULL, first["ct"].asUInt64());
    EXPECT_EQ(m_manager->OsVersion(), first["host"]["os"].asString());
    EXPECT_EQ("second_event", second["evt"].asString());
    double gap = reports[1]["time"].asDouble() - reports[0]["time"].asDouble();
    EXPECT_GT(gap, 0.7);
    EXPECT_LT(gap, 2.5);
    std::string expected = WideToUtf8(m_manager->BuildHeaders()) + "Content-Type: Application/json\r\n";
    EXPECT_NE(std::string::npos, standin::HeaderLines(reports[0]).find(expected))
        << standin::HeaderLines(reports[0]);
    for (int waited = 0; waited < 2000 && m_manager->QueuedEventCount() > 0; waited += 100) Sleep(100);
    EXPECT_EQ(0u, m_manager->QueuedEventCount());
    EXPECT_LE(2u, LogCount(L"report event, name: "));
}

TEST_F(ServiceOperationsTest, EventsStayQueuedWhileTheServiceIsDown)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"report\": \"down\"}"));
    size_t errors = LogCount(L"failed to report event, status code: 503");
    m_manager->ReportEvent(UsageEvent{"first", 1000});
    m_manager->ReportEvent(UsageEvent{"second", 2000});
    const wchar_t* refused = L"failed to report event, status code: 503";
    for (int waited = 0; waited < 8000 && LogCount(refused) < errors + 3; waited += 100) Sleep(100);
    EXPECT_LE(errors + 3, LogCount(refused));
    Json::Value reports = standin::RequestsTo("/v1/report");
    ASSERT_GE(reports.size(), 3u);
    // The refused oldest event holds back the later one.
    for (const Json::Value& report : reports) {
        Json::Value body;
        ASSERT_TRUE(ParseJson(report["body"].asString(), body));
        EXPECT_EQ("first", body["evt"].asString());
    }
    EXPECT_EQ(2u, m_manager->QueuedEventCount());

    ASSERT_TRUE(standin::Reset());
    reports = WaitForReports(2, 8000);
    ASSERT_EQ(2u, reports.size());
    Json::Value first, second;
    ASSERT_TRUE(ParseJson(reports[0]["body"].asString(), first));
    ASSERT_TRUE(ParseJson(reports[1]["body"].asString(), second));
    EXPECT_EQ("first", first["evt"].asString());
    EXPECT_EQ("second", second["evt"].asString());
}

}  // namespace

namespace {

TEST(ServiceUnreachable, EventsStayQueuedWithAnErrorLineEachSecond)
{
    testlog::Open();
    // Nothing listens on this loopback address, so every request fails to connect.
    auto* manager = new CDataManager(ScratchFolder(L"service-unreachable"), L"127.0.0.2");
    // The connection is refused: the number is WinHTTP's own for that
    // (12029), not the 0 that closing the handles leaves behind.
    const wchar_t* line = L"failed to report event, error: WinHttpSendRequest fails!, error code: 12029";
    size_t before = testlog::Lines(line).size();
    ULONGLONG start = GetTickCount64();
    manager->ReportEvent(UsageEvent{"software_activation", 1000});
    for (int waited = 0; waited < 10000 && testlog::Lines(line).size() < before + 3; waited += 100)
        Sleep(100);
    EXPECT_LE(before + 3, testlog::Lines(line).size());
    // At most one try a second.
    EXPECT_GE(GetTickCount64() - start, 2900u);
    EXPECT_EQ(1u, manager->QueuedEventCount());

    std::wstring name, url;
    const wchar_t* info = L"failed to get installer info, error: WinHttpSendRequest fails!, error code: 12029";
    size_t infoBefore = testlog::Lines(info).size();
    EXPECT_FALSE(manager->GetDownloadInfo(L"1.0", name, url));
    EXPECT_EQ(infoBefore + 1, testlog::Lines(info).size());

    // A name that does not resolve fails with a number of its own.
    auto* nowhere = new CDataManager(ScratchFolder(L"service-unresolvable"), L"nowhere.invalid");
    EXPECT_FALSE(nowhere->GetDownloadInfo(L"1.0", name, url));
    std::vector<std::wstring> lines = testlog::Lines(L"failed to get installer info, error: ");
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::wstring::npos, lines.back().find(L"error code: 12007")) << WideToUtf8(lines.back());
}

}  // namespace
