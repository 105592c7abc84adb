// The service client and the installer download behind a real proxy
// (squid on the loopback address), set as the system proxy for WinHTTP and
// for URL monikers. tests/service/proxy_test.sh starts the proxy, gives
// this program its own Wine prefix and tells it, through the environment:
//   VANTORIE_PROXY        the proxy's "127.0.0.1:port"
//   VANTORIE_PROXY_MODE   "plain" (no authentication) or "basic"
//   VANTORIE_PROXY_LOG    the proxy's access log (a Windows path)
//   VANTORIE_STANDIN_HOST the stand-in's address that the proxy is bypassed for
//   VANTORIE_PROXY_WINHTTP "direct" where Wine's WinHTTP is known to ignore it
// The proxy reaches the stand-in from 127.0.0.2, so the stand-in's record
// tells which requests came through it.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/StringConvert.h"
#include "diagnostics/WorkFolders.h"
#include "service/DownloadManager.h"
#include "state/DataManager.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const wchar_t kInternetSettings[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const wchar_t kConnections[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// The system proxy of this prefix: WinHTTP's default configuration (the
// "WinHttpSettings" record) and the one URL monikers read (the user's
// Internet settings). Nothing is bypassed but the stand-in's control address.
void SetSystemProxy(const std::wstring& proxy, const std::wstring& bypass)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kConnections, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) == ERROR_SUCCESS) {
        std::string server = WideToUtf8(proxy);
        std::string skip = WideToUtf8(bypass);
        std::string record;
        auto put = [&record](DWORD value) { record.append(reinterpret_cast<const char*>(&value), 4); };
        put(0x18);  // the size of the header, which marks the record
        put(0);
        put(3);  // a named proxy, and direct for what it bypasses
        put(static_cast<DWORD>(server.size()));
        record += server;
        put(static_cast<DWORD>(skip.size()));
        record += skip;
        RegSetValueExW(key, L"WinHttpSettings", 0, REG_BINARY,
                       reinterpret_cast<const BYTE*>(record.data()), static_cast<DWORD>(record.size()));
        RegCloseKey(key);
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) == ERROR_SUCCESS) {
        DWORD enable = 1;
        RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                       sizeof enable);
        RegSetValueExW(key, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(proxy.c_str()),
                       static_cast<DWORD>((proxy.size() + 1) * sizeof(wchar_t)));
        RegSetValueExW(key, L"ProxyOverride", 0, REG_SZ, reinterpret_cast<const BYTE*>(bypass.c_str()),
                       static_cast<DWORD>((bypass.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void ClearSystemProxy()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kConnections, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"WinHttpSettings");
        RegCloseKey(key);
    }
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kInternetSettings, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        DWORD enable = 0;
        RegSetValueExW(key, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable),
                       sizeof enable);
        RegDeleteValueW(key, L"ProxyServer");
        RegDeleteValueW(key, L"ProxyOverride");
        RegCloseKey(key);
    }
}

// Lines of the proxy's access log that hold every one of the texts.
size_t ProxyLogLines(const std::string& first, const std::string& second)
{
    std::string log = ReadBytes(Environment(L"VANTORIE_PROXY_LOG"));
    size_t count = 0;
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        if (line.find(first) != std::string::npos && line.find(second) != std::string::npos) ++count;
        start = end + 1;
    }
    return count;
}

// The proxy writes a line once a tunnel has closed.
size_t WaitForProxyLines(const std::string& first, const std::string& second, size_t atLeast)
{
    size_t count = 0;
    for (int waited = 0; waited < 10000; waited += 100) {
        count = ProxyLogLines(first, second);
        if (count >= atLeast) break;
        Sleep(100);
    }
    return count;
}

// The refusal as the log gives it: the 407 itself where WinHTTP hands it
// over, Wine's secure-channel failure (12157) where it does not.
bool NamesTheProxyRefusal(const std::wstring& line)
{
    return line.find(L"407") != std::wstring::npos ||
           line.find(L"WinHttpSendRequest fails!, error code: 12157") != std::wstring::npos;
}

class ProxyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!Environment(L"VANTORIE_PROXY").empty())
            SetSystemProxy(Environment(L"VANTORIE_PROXY"), Environment(L"VANTORIE_STANDIN_HOST"));
    }
    static void TearDownTestSuite() { ClearSystemProxy(); }

    void SetUp() override
    {
        if (Environment(L"VANTORIE_PROXY").empty()) GTEST_SKIP() << "run by proxy_test.sh only";
        testlog::Open();
        ASSERT_TRUE(standin::Reset()) << "the stand-in service is not reachable around the proxy";
        m_folder = ScratchFolder(L"proxy");
    }
    bool Mode(const wchar_t* mode) { return Environment(L"VANTORIE_PROXY_MODE") == mode; }

    std::wstring m_folder;
};

TEST_F(ProxyTest, EveryRequestAndTheDownloadGoThroughAProxyWithoutAuthentication)
{
    if (!Mode(L"plain")) GTEST_SKIP();
    auto* manager = new CDataManager(m_folder, L"localhost");

    manager->ReportEvent(UsageEvent{"software_activation", 1700000000000LL});
    for (int waited = 0; waited < 10000 && manager->QueuedEventCount() > 0; waited += 100) Sleep(100);
    EXPECT_EQ(0u, manager->QueuedEventCount());

    std::wstring installer = GetTempFolder() + L"sample_installer.exe";
    DeleteFileW(installer.c_str());
    manager->SetSoftwareVersion(L"3.2");
    CDownloadRecorder listener;
    manager->SetListener(&listener);
    manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1));
    EXPECT_EQ(1, listener.Events()[0].value);
    std::string served = ReadBytes(TestProgramFolder() + L"..\\tools\\sample_installer.exe");
    ASSERT_FALSE(served.empty());
    EXPECT_EQ(served, ReadBytes(installer));
    EXPECT_EQ(installer, manager->GetInstallFilePath());

    // The service saw the report, the question and the download, each from
    // the proxy. As Windows 8.1 and later the program opens WinHTTP with the
    // automatic-proxy access type, which on Windows follows the user's proxy
    // settings but which Wine 8 serves without any proxy: there
    // (VANTORIE_PROXY_WINHTTP=direct) only the download is held to the proxy.
    bool winHttpGoesDirect = Environment(L"VANTORIE_PROXY_WINHTTP") == L"direct";
    Json::Value requests = standin::Requests();
    size_t reports = 0, infos = 0, files = 0;
    for (const Json::Value& request : requests) {
        std::string path = request["path"].asString();
        reports += path == "/v1/report" ? 1 : 0;
        infos += path == "/v1/getDownloadInfo" ? 1 : 0;
        files += path == "/files/sample_installer.exe" ? 1 : 0;
        bool proxied = request["client"].asString() == "127.0.0.2";
        if (path.rfind("/files/", 0) == 0 || !winHttpGoesDirect) {
            EXPECT_TRUE(proxied) << path << " did not come through the proxy";
        } else {
            printf("%s went %s\n", path.c_str(), proxied ? "through the proxy" : "straight to the service");
        }
    }
    EXPECT_EQ(1u, reports);
    EXPECT_EQ(1u, infos);
    EXPECT_EQ(1u, files);
    // The proxy logs a tunnel when it closes, and Wine keeps them open for
    // reuse: proxy_test.sh reads its log once it has stopped.
}

TEST_F(ProxyTest, AProxyAskingForCredentialsEndsCleanlyAfterOneResend)
{
    if (!Mode(L"basic")) GTEST_SKIP();
    const std::string denied = "TCP_DENIED/407";
    const std::string target = "CONNECT localhost:443";
    auto* manager = new CDataManager(m_folder, L"localhost");

    // The question for the download information: refused by the proxy.
    // On Windows WinHTTP hands the refusal of the tunnel to the client as a
    // 407, which asks once more without credentials and gets the same;
    // Wine's WinHTTP starts TLS over the refused tunnel instead and fails
    // the send with 12157, so the question goes out once. Either way it
    // ends in one logged failure, without credentials ever being sent.
    size_t before = ProxyLogLines(denied, target);
    std::wstring name, url;
    EXPECT_FALSE(manager->GetDownloadInfo(L"3.2", name, url));
    size_t rounds = WaitForProxyLines(denied, target, before + 1) - before;
    Sleep(500);
    EXPECT_EQ(rounds, ProxyLogLines(denied, target) - before);
    EXPECT_GE(rounds, 1u);
    EXPECT_LE(rounds, 2u);
    printf("the proxy refused the question %u time(s)\n", static_cast<unsigned>(rounds));
    std::vector<std::wstring> lines = testlog::Lines(L"failed to get installer info, ");
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(NamesTheProxyRefusal(lines.back())) << WideToUtf8(lines.back());

    // A report is refused the same way and stays queued.
    size_t reportErrors = testlog::Lines(L"failed to report event, ").size();
    manager->ReportEvent(UsageEvent{"software_activation", 1700000000000LL});
    for (int waited = 0; waited < 10000 && testlog::Lines(L"failed to report event, ").size() == reportErrors;
         waited += 100)
        Sleep(100);
    lines = testlog::Lines(L"failed to report event, ");
    ASSERT_LT(reportErrors, lines.size());
    EXPECT_TRUE(NamesTheProxyRefusal(lines.back())) << WideToUtf8(lines.back());
    EXPECT_EQ(1u, manager->QueuedEventCount());

    // The install: nothing reaches the service, the earlier installer and
    // data.json stay as they were.
    std::wstring installer = GetTempFolder() + L"sample_installer.exe";
    ASSERT_TRUE(WriteBytes(installer, "an earlier installer"));
    std::string data = ReadBytes(manager->DataFilePath());
    CDownloadRecorder listener;
    manager->SetListener(&listener);
    manager->StartInstallerDownload();
    ASSERT_TRUE(listener.WaitForCompletions(1, 30000));
    EXPECT_EQ(0, listener.Events()[0].value);
    EXPECT_EQ("an earlier installer", ReadBytes(installer));
    EXPECT_EQ(data, ReadBytes(manager->DataFilePath()));
    EXPECT_TRUE(manager->GetInstallFilePath().empty());

    // A download through the URL monikers is refused too, and leaves nothing.
    size_t monikerBefore = ProxyLogLines(denied, target);
    std::wstring direct = m_folder + L"direct.exe";
    CDownloadRecorder recorder;
    CDownloadManager::GetInstance()->CreateDownloadingTask(L"https://localhost/files/sample_installer.exe",
                                                           direct, &recorder);
    ASSERT_TRUE(recorder.WaitForCompletions(1));
    EXPECT_EQ(0, recorder.Events().back().value);
    EXPECT_FALSE(Exists(direct));
    EXPECT_FALSE(Exists(CDownloadManager::PartialPath(direct)));
    EXPECT_LT(monikerBefore, WaitForProxyLines(denied, target, monikerBefore + 1));
    EXPECT_EQ(0u, standin::Requests().size()) << "a request passed the proxy";
}

}  // namespace
