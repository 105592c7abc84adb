// Faults of the network and of the service, over the real WinHTTP and URL
// monikers against the local stand-in: what the user is told (the end of
// the install that the progress window shows), what the log says, and that
// nothing already on the machine is lost: the earlier installer and
// data.json stay as they were, and a refused usage event stays queued.

#include <windows.h>

#include <winhttp.h>

#include <gtest/gtest.h>

#include "base/JsonValue.h"
#include "base/StringConvert.h"
#include "diagnostics/WorkFolders.h"
#include "service/DownloadManager.h"
#include "service/WinHttpClient.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const char kEarlierData[] = "{\"device_id\": \"dev\", \"install_file_path\": \"C:\\\\earlier.exe\"}";
const char kEarlierInstaller[] = "an earlier installer";

class FaultSuiteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testlog::Open();
        ASSERT_TRUE(standin::Reset()) << "the stand-in service is not running";
        m_folder = ScratchFolder(L"faults");
        ASSERT_TRUE(WriteBytes(m_folder + L"data.json", kEarlierData));
        m_target = GetTempFolder() + L"sample_installer.exe";
        ASSERT_TRUE(WriteBytes(m_target, kEarlierInstaller));
    }
    void TearDown() override { standin::Reset(); }

    // Never destroyed, as in the program: its threads outlive the test.
    CDataManager* Manager(const std::wstring& host = L"localhost")
    {
        return new CDataManager(m_folder, host);
    }
    // One install as the install window runs it; the listener's verdict is
    // what the progress window shows (1 success, 0 failure).
    int Install(CDataManager* manager, int timeoutMs = 60000)
    {
        manager->SetSoftwareVersion(L"3.2");
        m_data = ReadBytes(manager->DataFilePath());
        CDownloadRecorder listener;
        manager->SetListener(&listener);
        manager->StartInstallerDownload();
        if (!listener.WaitForCompletions(1, timeoutMs)) return -1;
        return listener.Events()[0].value;
    }
    // A failed install lost nothing: the earlier installer, the recorded
    // path and data.json are as they were.
    void ExpectNothingLost(CDataManager* manager, const char* fault)
    {
        EXPECT_EQ(kEarlierInstaller, ReadBytes(m_target)) << fault;
        EXPECT_EQ(L"C:\\earlier.exe", manager->GetInstallFilePath()) << fault;
        EXPECT_EQ(m_data, ReadBytes(manager->DataFilePath())) << fault;
    }
    void ExpectTheServedInstaller(CDataManager* manager)
    {
        std::string served = ReadBytes(TestProgramFolder() + L"..\\tools\\sample_installer.exe");
        ASSERT_FALSE(served.empty());
        EXPECT_EQ(served, ReadBytes(m_target));
        EXPECT_EQ(m_target, manager->GetInstallFilePath());
        EXPECT_FALSE(Exists(CDownloadManager::PartialPath(m_target)));
    }
    static size_t Count(const std::wstring& text) { return testlog::Lines(text).size(); }
    static std::wstring Last(const std::wstring& text)
    {
        std::vector<std::wstring> lines = testlog::Lines(text);
        return lines.empty() ? std::wstring() : lines.back();
    }

    std::wstring m_folder;
    std::wstring m_target;
    std::string m_data;
};

TEST_F(FaultSuiteTest, ResetInTheMiddleOfTheReplyOrOfTheDownloadFailsAndKeepsEverything)
{
    // The reply to the question for the installer breaks off halfway: the
    // half that came is not JSON, and all three attempts fail.
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"reset\", \"fault_paths\": [\"/v1/getDownloadInfo\"]}"));
    CDataManager* manager = Manager();
    size_t parse = Count(L"failed to get installer info, ");
    EXPECT_EQ(0, Install(manager));
    ExpectNothingLost(manager, "reset reply");
    EXPECT_EQ(3u, standin::RequestsTo("/v1/getDownloadInfo").size());
    EXPECT_EQ(parse + 3, Count(L"failed to get installer info, ")) << WideToUtf8(Last(L"failed to get installer info, "));
    EXPECT_EQ(0u, standin::RequestsTo("/files/sample_installer.exe").size());

    // The download breaks off halfway.
    ASSERT_TRUE(standin::Reset());
    ASSERT_TRUE(standin::SetBehaviour(
        "{\"fault\": \"reset\", \"fault_paths\": [\"/files/sample_installer.exe\"]}"));
    size_t download = Count(L"failed to call URLDownloadToFile, error is 0x") +
                      Count(L"failed to download the whole file, ");
    EXPECT_EQ(0, Install(manager));
    ExpectNothingLost(manager, "reset download");
    EXPECT_EQ(download + 1, Count(L"failed to call URLDownloadToFile, error is 0x") +
                                Count(L"failed to download the whole file, "));

    // A report whose answer breaks off: when the status line got through,
    // the service has the event and it leaves the queue; when the reset
    // came first, it stays queued and is sent again once the service
    // answers. Either way it is never dropped unsent.
    ASSERT_TRUE(standin::Reset());
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"reset\", \"fault_paths\": [\"/v1/report\"]}"));
    size_t reportErrors = Count(L"failed to report event, ");
    manager->ReportEvent(UsageEvent{"software_activation", 1700000000000LL});
    for (int waited = 0; waited < 10000 && standin::RequestsTo("/v1/report").size() == 0; waited += 100)
        Sleep(100);
    Sleep(300);
    bool refused = Count(L"failed to report event, ") > reportErrors;
    printf("a report whose answer was reset was %s\n", refused ? "kept and sent again" : "taken as accepted");
    EXPECT_EQ(refused ? 1u : 0u, manager->QueuedEventCount());
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"\"}"));
    for (int waited = 0; waited < 10000 && manager->QueuedEventCount() > 0; waited += 100) Sleep(100);
    EXPECT_EQ(0u, manager->QueuedEventCount());
    Json::Value reports = standin::RequestsTo("/v1/report");
    ASSERT_EQ(refused ? 2u : 1u, reports.size());
    for (const Json::Value& report : reports) {
        Json::Value body;
        ASSERT_TRUE(ParseJson(report["body"].asString(), body));
        EXPECT_EQ("software_activation", body["evt"].asString());
    }
}

TEST_F(FaultSuiteTest, ShortDownloadFailsAndKeepsEverything)
{
    // The server promises the whole length, sends half and closes in order.
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"cut\"}"));
    CDataManager* manager = Manager();
    size_t shortLines = Count(L"failed to download the whole file, ");
    EXPECT_EQ(0, Install(manager));
    ExpectNothingLost(manager, "short download");
    EXPECT_EQ(shortLines + 1, Count(L"failed to download the whole file, "));
}

TEST_F(FaultSuiteTest, TenMegabyteReplyIsReadWholeAndTheInstallGoesOn)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"big\", \"fault_paths\": [\"/v1/getDownloadInfo\"]}"));
    CDataManager* manager = Manager();
    std::wstring name, url;
    ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(manager->GetDownloadInfo(L"3.2", name, url));
    printf("a 10 MB reply took %llu ms\n", GetTickCount64() - start);
    EXPECT_EQ(L"sample_installer.exe", name);
    EXPECT_EQ(1, Install(manager));
    ExpectTheServedInstaller(manager);
}

TEST_F(FaultSuiteTest, ReplyThatDripsPastTheTimeoutsIsWaitedFor)
{
    // One byte every 100 ms for 35 seconds: longer than any of WinHTTP's
    // default time-outs (30 s to send or receive), but every wait between
    // two bytes is short, so the reply arrives whole and is used.
    ASSERT_TRUE(standin::SetBehaviour(
        "{\"fault\": \"drip\", \"fault_paths\": [\"/v1/getDownloadInfo\"], \"drip_bytes\": 350}"));
    CDataManager* manager = Manager();
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(1, Install(manager, 120000));
    ULONGLONG took = GetTickCount64() - start;
    printf("the dripping reply and the install took %llu ms\n", took);
    EXPECT_GE(took, 34000u);
    ExpectTheServedInstaller(manager);
    EXPECT_EQ(1u, standin::RequestsTo("/v1/getDownloadInfo").size());
}

TEST_F(FaultSuiteTest, UntrustedCertificateFailsWithItsErrorNumber)
{
    // The stand-in's second address shows a certificate that signs itself.
    CDataManager* manager = Manager(L"127.0.0.3");
    std::wstring name, url;
    EXPECT_FALSE(manager->GetDownloadInfo(L"3.2", name, url));
    std::wstring line = Last(L"failed to get installer info, error: ");
    // The number is WinHTTP's own for this failure: what a bare request to
    // the same address leaves, a secure-channel failure (12175 on Windows,
    // 12157 under Wine), never the 0 that closing the handles leaves.
    CWinHttpClient bare(L"127.0.0.3", 443, L"WinHttpClient", L"", L"", L"", L"");
    HttpResponse response;
    EXPECT_FALSE(bare.Get(L"/v1/getDownloadInfo", L"", response));
    unsigned long code = response.errorCode;
    EXPECT_TRUE(code == ERROR_WINHTTP_SECURE_FAILURE || code == ERROR_WINHTTP_SECURE_CHANNEL_ERROR) << code;
    EXPECT_NE(std::wstring::npos, line.find(L"error: WinHttpSendRequest fails!, error code: " + std::to_wstring(code)))
        << WideToUtf8(line);
    printf("untrusted service: %s\n", WideToUtf8(line).c_str());
    EXPECT_EQ(0u, standin::Requests().size()) << "a request went past the certificate";

    EXPECT_EQ(0, Install(manager));
    ExpectNothingLost(manager, "untrusted service");

    // An installer behind such a certificate is not downloaded either.
    ASSERT_TRUE(standin::SetBehaviour("{\"fileurl\": \"https://127.0.0.3/files/sample_installer.exe\"}"));
    CDataManager* trusted = Manager();
    size_t failures = Count(L"failed to call URLDownloadToFile, error is 0x");
    EXPECT_EQ(0, Install(trusted));
    ExpectNothingLost(trusted, "untrusted download");
    EXPECT_EQ(failures + 1, Count(L"failed to call URLDownloadToFile, error is 0x"));
    // INET_E_INVALID_CERTIFICATE: the monikers name the certificate.
    EXPECT_NE(std::wstring::npos, Last(L"failed to call URLDownloadToFile").find(L"error is 0x800c0019"));
    printf("untrusted download: %s\n", WideToUtf8(Last(L"failed to call URLDownloadToFile")).c_str());
    EXPECT_EQ(0u, standin::RequestsTo("/files/sample_installer.exe").size());
}

TEST_F(FaultSuiteTest, HostNameThatDoesNotResolveFailsAndKeepsEverything)
{
    CDataManager* nowhere = Manager(L"nowhere.invalid");
    EXPECT_EQ(0, Install(nowhere));
    ExpectNothingLost(nowhere, "unresolvable service");
    EXPECT_NE(std::wstring::npos, Last(L"failed to get installer info, error: ").find(L"error code: 12007"));

    ASSERT_TRUE(standin::SetBehaviour("{\"fileurl\": \"https://nowhere.invalid/sample_installer.exe\"}"));
    CDataManager* manager = Manager();
    size_t failures = Count(L"failed to call URLDownloadToFile, error is 0x");
    EXPECT_EQ(0, Install(manager));
    ExpectNothingLost(manager, "unresolvable download");
    EXPECT_EQ(failures + 1, Count(L"failed to call URLDownloadToFile, error is 0x"));
    printf("unresolvable download: %s\n", WideToUtf8(Last(L"failed to call URLDownloadToFile")).c_str());
}

TEST_F(FaultSuiteTest, RedirectToAnotherHostIsFollowed)
{
    // localhost sends the download to 127.0.0.1: another host name with a
    // trusted certificate; the file arrives whole from there.
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"redirect\", \"redirect_host\": \"127.0.0.1\"}"));
    CDataManager* manager = Manager();
    EXPECT_EQ(1, Install(manager));
    ExpectTheServedInstaller(manager);
    Json::Value files = standin::RequestsTo("/files/sample_installer.exe");
    ASSERT_EQ(2u, files.size());
    std::string second = standin::HeaderLines(files[1]);
    EXPECT_NE(std::string::npos, second.find("Host: 127.0.0.1")) << second;

    // Sent on to a host whose certificate nobody trusts: refused, nothing lost.
    ASSERT_TRUE(WriteBytes(m_target, kEarlierInstaller));
    ASSERT_TRUE(WriteBytes(m_folder + L"data.json", kEarlierData));
    ASSERT_TRUE(standin::Reset());
    ASSERT_TRUE(standin::SetBehaviour("{\"fault\": \"redirect\", \"redirect_host\": \"127.0.0.3\"}"));
    CDataManager* again = Manager();
    EXPECT_EQ(0, Install(again));
    ExpectNothingLost(again, "redirect to an untrusted host");
}

}  // namespace
