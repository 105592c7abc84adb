// The download manager and its bind-status callback over the real URL
// monikers, against the local stand-in service.

#include <windows.h>

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "base/StringConvert.h"
#include "service/BindStatusCallback.h"
#include "service/DownloadManager.h"
#include "service/ZoneMark.h"
#include "tests/service/DownloadRecorder.h"
#include "tests/service/StandIn.h"
#include "tests/service/TestLog.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

class DownloadManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testlog::Open();
        ASSERT_TRUE(standin::Reset()) << "the stand-in service is not running";
        m_folder = ScratchFolder(L"downloads");
    }
    std::wstring m_folder;
};

std::vector<int> ProgressOf(const std::vector<DownloadEvent>& events, int taskId)
{
    std::vector<int> percents;
    for (const DownloadEvent& e : events)
        if (e.taskId == taskId && !e.complete) percents.push_back(e.value);
    return percents;
}

void ExpectStrictlyRising(const std::vector<int>& percents)
{
    for (size_t i = 0; i < percents.size(); ++i) {
        EXPECT_GE(percents[i], 1);
        EXPECT_LE(percents[i], 100);
        if (i > 0) {
            EXPECT_GT(percents[i], percents[i - 1]);
        }
    }
}

TEST_F(DownloadManagerTest, RefusesTasksWithoutUrlPathOrCallback)
{
    CDownloadRecorder recorder;
    size_t before = testlog::Lines(L"failed to create a downloading task, error: invalid param").size();
    CDownloadManager* manager = CDownloadManager::GetInstance();
    EXPECT_EQ(0, manager->CreateDownloadingTask(L"", m_folder + L"a", &recorder));
    EXPECT_EQ(0, manager->CreateDownloadingTask(L"https://localhost/blob/10", L"", &recorder));
    EXPECT_EQ(0, manager->CreateDownloadingTask(L"https://localhost/blob/10", m_folder + L"a", nullptr));
    EXPECT_EQ(before + 3,
              testlog::Lines(L"failed to create a downloading task, error: invalid param").size());
    Sleep(200);
    EXPECT_TRUE(recorder.Events().empty());
}

TEST_F(DownloadManagerTest, DownloadsWithRisingProgressAndOneCompletion)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"slow\"}"));
    CDownloadRecorder recorder;
    std::wstring target = m_folder + L"blob.bin";
    int id = CDownloadManager::GetInstance()->CreateDownloadingTask(
        L"https://localhost/blob/400000", target, &recorder);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(recorder.WaitForCompletions(1));
    Sleep(100);
    std::vector<DownloadEvent> events = recorder.Events();
    ASSERT_FALSE(events.empty());
    EXPECT_TRUE(events.back().complete);
    EXPECT_EQ(1, events.back().value);
    EXPECT_EQ(id, events.back().taskId);
    std::vector<int> percents = ProgressOf(events, id);
    EXPECT_GE(percents.size(), 2u);
    ExpectStrictlyRising(percents);
    EXPECT_EQ(400000u, ReadBytes(target).size());
    // The cache was bypassed: the file came from the service itself.
    EXPECT_EQ(1u, standin::RequestsTo("/blob/400000").size());
}

TEST_F(DownloadManagerTest, NoLengthGivesNoProgressButSuccess)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"nolength\"}"));
    CDownloadRecorder recorder;
    std::wstring target = m_folder + L"nolength.bin";
    int id = CDownloadManager::GetInstance()->CreateDownloadingTask(
        L"https://localhost/blob/150000", target, &recorder);
    ASSERT_TRUE(recorder.WaitForCompletions(1));
    std::vector<DownloadEvent> events = recorder.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(id, events[0].taskId);
    EXPECT_TRUE(events[0].complete);
    EXPECT_EQ(1, events[0].value);
    EXPECT_EQ(150000u, ReadBytes(target).size());
}

TEST_F(DownloadManagerTest, TasksRunOneAfterTheOtherWithRisingIds)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"slow\"}"));
    CDownloadRecorder recorder;
    CDownloadManager* manager = CDownloadManager::GetInstance();
    int first = manager->CreateDownloadingTask(L"https://localhost/blob/200000", m_folder + L"1.bin",
                                               &recorder);
    int second = manager->CreateDownloadingTask(L"https://localhost/blob/200001",
                                                m_folder + L"2.bin", &recorder);
    ASSERT_GT(first, 0);
    EXPECT_EQ(first + 1, second);
    ASSERT_TRUE(recorder.WaitForCompletions(2));
    std::vector<DownloadEvent> events = recorder.Events();
    size_t firstEnd = events.size();
    for (size_t i = 0; i < events.size(); ++i)
        if (events[i].complete && events[i].taskId == first) firstEnd = i;
    ASSERT_LT(firstEnd, events.size());
    for (size_t i = 0; i < firstEnd; ++i) EXPECT_EQ(first, events[i].taskId) << i;
    for (size_t i = firstEnd + 1; i < events.size(); ++i) EXPECT_EQ(second, events[i].taskId) << i;
    EXPECT_FALSE(ProgressOf(events, second).empty());
    EXPECT_EQ(200001u, ReadBytes(m_folder + L"2.bin").size());
}

TEST_F(DownloadManagerTest, AnIdleWorkerStartsANewTaskAtOnce)
{
    // The worker has just found its queue empty when the second task comes;
    // one that looked again on a one-second clock would start it about a
    // second late, one woken by the task starts it at once.
    CDownloadRecorder first, second;
    CDownloadManager* manager = CDownloadManager::GetInstance();
    ASSERT_GT(manager->CreateDownloadingTask(L"https://localhost/blob/1000", m_folder + L"a.bin", &first), 0);
    ASSERT_TRUE(first.WaitForCompletions(1));
    Sleep(50);
    ULONGLONG start = GetTickCount64();
    ASSERT_GT(manager->CreateDownloadingTask(L"https://localhost/blob/1001", m_folder + L"b.bin", &second), 0);
    ASSERT_TRUE(second.WaitForCompletions(1));
    EXPECT_LT(GetTickCount64() - start, 700u);
    EXPECT_EQ(1001u, ReadBytes(m_folder + L"b.bin").size());
}

TEST_F(DownloadManagerTest, UnreachableAndMissingFilesFailWithOneErrorLine)
{
    CDownloadRecorder recorder;
    const wchar_t* line = L"failed to call URLDownloadToFile, error is 0x";
    size_t before = testlog::Lines(line).size();
    int id = CDownloadManager::GetInstance()->CreateDownloadingTask(
        L"https://127.0.0.1:9/nothing.exe", m_folder + L"nothing.exe", &recorder);
    ASSERT_TRUE(recorder.WaitForCompletions(1));
    std::vector<DownloadEvent> events = recorder.Events();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(id, events[0].taskId);
    EXPECT_EQ(0, events[0].value);
    std::vector<std::wstring> lines = testlog::Lines(line);
    ASSERT_EQ(before + 1, lines.size());
    // The result code follows in hexadecimal, e.g. 0x800c0007.
    std::wstring code = lines.back().substr(lines.back().find(line) + wcslen(line));
    EXPECT_FALSE(code.empty());
    EXPECT_EQ(std::wstring::npos, code.find_first_not_of(L"0123456789abcdef")) << code;

    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"missing\"}"));
    CDownloadManager::GetInstance()->CreateDownloadingTask(
        L"https://localhost/files/sample_installer.exe", m_folder + L"missing.exe", &recorder);
    ASSERT_TRUE(recorder.WaitForCompletions(2));
    EXPECT_EQ(0, recorder.Events().back().value);
}

int ThreadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

// A fresh process: refused tasks start no worker, and the first accepted
// task gets id 1. The exit code names the first check that failed.
int FreshManagerRoutine(const std::vector<std::wstring>& args)
{
    CDownloadRecorder recorder;
    CDownloadManager* manager = CDownloadManager::GetInstance();
    int before = ThreadsOfThisProcess();
    if (manager->CreateDownloadingTask(L"", args.at(0) + L"x", &recorder) != 0) return 2;
    if (manager->CreateDownloadingTask(L"https://127.0.0.1:9/x", args.at(0) + L"x", nullptr) != 0)
        return 3;
    Sleep(300);
    if (ThreadsOfThisProcess() != before) return 4;
    if (manager->CreateDownloadingTask(L"https://127.0.0.1:9/x", args.at(0) + L"x", &recorder) != 1)
        return 5;
    if (ThreadsOfThisProcess() <= before) return 6;
    if (manager->CreateDownloadingTask(L"https://127.0.0.1:9/y", args.at(0) + L"y", &recorder) != 2)
        return 7;
    if (!recorder.WaitForCompletions(2)) return 8;
    return 0;
}
REGISTER_CHILD_ROUTINE(L"fresh-download-manager", FreshManagerRoutine);

TEST_F(DownloadManagerTest, FreshProcessStartsTheWorkerOnlyForAnAcceptedTask)
{
    ProcessResult result = RunProcess(ChildCommandLine(L"fresh-download-manager", {m_folder}));
    ASSERT_TRUE(result.started);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(0u, result.exitCode);
}

class ProgressRecorder : public IDownloadCallback {
public:
    void OnDownloadProgress(int taskId, int percent) override
    {
        calls.push_back(taskId * 1000 + percent);
    }
    std::vector<int> calls;
};

TEST(BindStatusCallback, PromisedLengthIsAPlainContentLength)
{
    struct {
        const wchar_t* headers;
        bool promised;
        unsigned long long length;
    } rows[] = {
        {L"HTTP/1.1 200 OK\r\nContent-Type: x\r\nContent-Length: 1234\r\n\r\n", true, 1234},
        {L"HTTP/1.1 200 OK\r\ncontent-length:  5 \r\n\r\n", true, 5},
        {L"HTTP/1.1 200 OK\r\nContent-Length: 8589934592\r\n", true, 8589934592ULL},
        {L"HTTP/1.1 200 OK\r\nContent-Type: x\r\n\r\n", false, 0},
        // The file on disk is decoded and may lawfully differ in size.
        {L"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Encoding: gzip\r\n\r\n", false, 0},
        {L"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nContent-Length: 10\r\n\r\n", false, 0},
        {L"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n", false, 0},
        {L"HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Length: 11\r\n\r\n", false, 0},
        {nullptr, false, 0},
    };
    for (const auto& row : rows) {
        unsigned long long length = 99;
        EXPECT_EQ(row.promised, CBindStatusCallback::PromisedLengthOf(row.headers, length))
            << (row.headers ? WideToUtf8(row.headers) : "null");
        if (row.promised) {
            EXPECT_EQ(row.length, length);
        }
    }
}

TEST_F(DownloadManagerTest, ACutOrFailedDownloadLeavesTheTargetAndNoPartBehind)
{
    std::wstring target = m_folder + L"kept.bin";
    ASSERT_TRUE(WriteBytes(target, "earlier"));
    for (const char* file : {"cut", "missing"}) {
        ASSERT_TRUE(standin::SetBehaviour(std::string("{\"file\": \"") + file + "\"}"));
        CDownloadRecorder recorder;
        CDownloadManager::GetInstance()->CreateDownloadingTask(L"https://localhost/files/sample_installer.exe",
                                                               target, &recorder);
        ASSERT_TRUE(recorder.WaitForCompletions(1)) << file;
        EXPECT_EQ(0, recorder.Events().back().value) << file;
        EXPECT_EQ("earlier", ReadBytes(target)) << file;
        EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target))) << file;
    }
}

TEST(BindStatusCallback, CountsTheBodyBytesTheMonikerReceived)
{
    // The largest count of the data steps, with or without a total; other
    // steps carry no byte count of the body.
    ProgressRecorder recorder;
    CBindStatusCallback status(3, &recorder);
    EXPECT_EQ(0u, status.BytesReceived());
    status.OnProgress(0, 0, BINDSTATUS_CONNECTING, nullptr);
    status.OnProgress(700, 0, BINDSTATUS_DOWNLOADINGDATA, nullptr);
    status.OnProgress(9999, 0, BINDSTATUS_CACHEFILENAMEAVAILABLE, nullptr);
    status.OnProgress(1500, 0, BINDSTATUS_ENDDOWNLOADDATA, nullptr);
    status.OnProgress(900, 2000, BINDSTATUS_DOWNLOADINGDATA, nullptr);
    EXPECT_EQ(1500u, status.BytesReceived());
}

// SHA-256 of the stand-in's /blob/100000 and /blob/300000.
const char kBlob100k[] = "d909bd22cdd9346263643b2752f9f24f1dde87d24a70223723bce0a9acc17d4e";
const char kBlob300k[] = "ecda81fd0ee0f18cf639a00231450db2d5fa89a1cebaac5c0dafd0fedacd8ab0";

FileCheck Check(bool hasSize, uint64_t size, const std::string& sha256)
{
    FileCheck check;
    check.hasSize = hasSize;
    check.size = size;
    check.sha256 = sha256;
    return check;
}

// One task to the end; the success it reported.
bool DownloadOnce(const std::wstring& url, const std::wstring& target, const FileCheck& check = FileCheck())
{
    CDownloadRecorder recorder;
    CDownloadManager::GetInstance()->CreateDownloadingTask(url, target, &recorder, check);
    if (!recorder.WaitForCompletions(1)) return false;
    return recorder.Events().back().value == 1;
}

TEST_F(DownloadManagerTest, AWholeFileTakesTheEarlierOnesPlaceAndNothingIsLeftBeside)
{
    std::wstring target = m_folder + L"replaced.bin";
    std::wstring aside = CDownloadManager::DisplacedPath(target);
    ASSERT_TRUE(WriteBytes(target, "earlier"));
    // What a start that ended between the two moves of an earlier download left.
    ASSERT_TRUE(WriteBytes(aside, "left over"));
    ASSERT_TRUE(DownloadOnce(L"https://localhost/blob/1000", target));
    // In place by the time the caller is told.
    EXPECT_EQ(1000u, ReadBytes(target).size());
    // The earlier file is deleted just after that, on the worker.
    for (int i = 0; i < 100 && Exists(aside); ++i) Sleep(20);
    EXPECT_FALSE(Exists(aside));
    EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target)));

    // The same for a target with nothing to replace; a left-over earlier
    // file is cleared all the same.
    DeleteFileW(target.c_str());
    ASSERT_TRUE(WriteBytes(aside, "left over"));
    ASSERT_TRUE(DownloadOnce(L"https://localhost/blob/2000", target));
    EXPECT_EQ(2000u, ReadBytes(target).size());
    EXPECT_FALSE(Exists(aside));
}

TEST_F(DownloadManagerTest, AFileUnlikeThePromisedOneFailsWithBothValuesAndLeavesNothing)
{
    std::wstring target = m_folder + L"checked.bin";
    ASSERT_TRUE(WriteBytes(target, "earlier"));
    const std::string zeros(64, '0');
    struct {
        FileCheck check;
        std::wstring line;
    } rows[] = {
        {Check(true, 99999, ""), L"failed to verify the downloaded file, size expected 99999, found 100000"},
        {Check(false, 0, zeros), L"failed to verify the downloaded file, sha256 expected " +
                                     std::wstring(zeros.begin(), zeros.end()) + L", found " +
                                     Utf8ToWide(kBlob100k)},
        {Check(true, 100000, zeros), L"failed to verify the downloaded file, sha256 expected "},
    };
    for (const auto& row : rows) {
        size_t before = testlog::Lines(row.line).size();
        EXPECT_FALSE(DownloadOnce(L"https://localhost/blob/100000", target, row.check)) << WideToUtf8(row.line);
        EXPECT_EQ(before + 1, testlog::Lines(row.line).size()) << WideToUtf8(row.line);
        EXPECT_EQ("earlier", ReadBytes(target));
        EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target)));
        EXPECT_FALSE(Exists(CDownloadManager::ResumeRecordPath(target)));
    }
    // The promised file passes, with either check or both.
    for (const FileCheck& check : {Check(true, 100000, ""), Check(false, 0, kBlob100k), Check(true, 100000, kBlob100k)}) {
        ASSERT_TRUE(WriteBytes(target, "earlier"));
        EXPECT_TRUE(DownloadOnce(L"https://localhost/blob/100000", target, check));
        EXPECT_EQ(100000u, ReadBytes(target).size());
    }
}

TEST_F(DownloadManagerTest, AnHtmlErrorPageInsteadOfTheFileIsCaughtBySizeOrDigest)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"html_page\": true}"));
    std::wstring target = m_folder + L"page.bin";
    // Unchecked, the page would pass for the file: a 200 of its promised length.
    EXPECT_TRUE(DownloadOnce(L"https://localhost/blob/100000", target));
    EXPECT_EQ(0u, ReadBytes(target).find("<html>"));
    DeleteFileW(target.c_str());
    for (const FileCheck& check : {Check(true, 100000, ""), Check(false, 0, kBlob100k)}) {
        EXPECT_FALSE(DownloadOnce(L"https://localhost/blob/100000", target, check));
        EXPECT_FALSE(Exists(target));
        EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target)));
    }
}

TEST_F(DownloadManagerTest, TheFileCarriesTheInternetZoneAndItsSource)
{
    std::wstring target = m_folder + L"marked.bin";
    std::wstring url = L"https://localhost/blob/1000";
    ASSERT_TRUE(DownloadOnce(url, target));
    std::string mark;
    ASSERT_TRUE(CZoneMark::Read(target, mark));
    EXPECT_EQ("[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://localhost/blob/1000\r\n", mark);
    // Nothing of the mark is left under the transfer's own name.
    EXPECT_FALSE(CZoneMark::Read(CDownloadManager::PartialPath(target), mark));
}

// The request headers the stand-in saw for the n-th request to a path.
std::string HeadersOf(const std::string& path, Json::ArrayIndex index)
{
    Json::Value requests = standin::RequestsTo(path);
    return index < requests.size() ? standin::HeaderLines(requests[index]) : std::string();
}

TEST_F(DownloadManagerTest, ACutDownloadIsContinuedWithTheRestOfTheSameFile)
{
    ASSERT_TRUE(standin::SetBehaviour("{\"resume\": true, \"file\": \"cut\"}"));
    std::wstring target = m_folder + L"resumed.bin";
    std::wstring url = L"https://localhost/blob/300000";
    // 1. Cut halfway: the half stays, with what it takes to continue it.
    size_t kept = testlog::Lines(L"kept 150000 bytes of the download to continue later").size();
    EXPECT_FALSE(DownloadOnce(url, target, Check(true, 300000, kBlob300k)));
    EXPECT_EQ(kept + 1, testlog::Lines(L"kept 150000 bytes of the download to continue later").size());
    EXPECT_EQ(150000u, ReadBytes(CDownloadManager::PartialPath(target)).size());
    EXPECT_TRUE(Exists(CDownloadManager::ResumeRecordPath(target)));
    EXPECT_FALSE(Exists(target));

    // 2. The next try asks for the rest of that very file and appends it;
    // the digest is of the whole.
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"ok\"}"));
    size_t continued = testlog::Lines(L"the download continues the kept part at byte 150000").size();
    CDownloadRecorder recorder;
    CDownloadManager::GetInstance()->CreateDownloadingTask(url, target, &recorder, Check(true, 300000, kBlob300k));
    ASSERT_TRUE(recorder.WaitForCompletions(1));
    EXPECT_EQ(1, recorder.Events().back().value);
    EXPECT_EQ(continued + 1, testlog::Lines(L"the download continues the kept part at byte 150000").size());
    std::string second = HeadersOf("/blob/300000", 1);
    EXPECT_NE(std::string::npos, second.find("Range: bytes=150000-\r\n")) << second;
    EXPECT_NE(std::string::npos, second.find("If-Range: \"")) << second;
    EXPECT_EQ(300000u, ReadBytes(target).size());
    EXPECT_FALSE(Exists(CDownloadManager::PartialPath(target)));
    EXPECT_FALSE(Exists(CDownloadManager::ResumeRecordPath(target)));
    EXPECT_FALSE(Exists(CDownloadManager::RestPath(target)));
    // The kept half counts: the percentages of the rest start above 50.
    std::vector<int> percents = ProgressOf(recorder.Events(), recorder.Events().back().taskId);
    ASSERT_FALSE(percents.empty());
    EXPECT_GT(percents.front(), 50);
    EXPECT_EQ(100, percents.back());
}

TEST_F(DownloadManagerTest, AKeptPartOfAChangedFileIsStartedOver)
{
    std::wstring target = m_folder + L"changed.bin";
    std::wstring url = L"https://localhost/blob/300000";
    // Each row: what the server does on the second request, and what the log says.
    struct {
        const char* second;
        const wchar_t* line;
        size_t requests;
    } rows[] = {
        // The file changed: If-Range makes the server send all of it.
        {"{\"file\": \"ok\", \"etag\": \"\\\"other\\\"\"}", L"the download starts over, the server sent the whole file", 2},
        // A range that does not continue the kept part: asked again, whole.
        {"{\"file\": \"ok\", \"range_reply\": \"wrong_start\"}",
         L"the download starts over, the server answered 206 to the request for the rest", 3},
        // A server that ignores ranges.
        {"{\"file\": \"ok\", \"range_reply\": \"whole\"}", L"the download starts over, the server sent the whole file", 2},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(standin::Reset());
        ASSERT_TRUE(standin::SetBehaviour("{\"resume\": true, \"file\": \"cut\"}"));
        EXPECT_FALSE(DownloadOnce(url, target));
        ASSERT_TRUE(Exists(CDownloadManager::ResumeRecordPath(target))) << row.second;
        ASSERT_TRUE(standin::SetBehaviour(row.second));
        size_t before = testlog::Lines(row.line).size();
        EXPECT_TRUE(DownloadOnce(url, target, Check(true, 300000, kBlob300k))) << row.second;
        EXPECT_EQ(before + 1, testlog::Lines(row.line).size()) << row.second;
        EXPECT_EQ(row.requests, standin::RequestsTo("/blob/300000").size()) << row.second;
        EXPECT_FALSE(Exists(CDownloadManager::ResumeRecordPath(target))) << row.second;
        DeleteFileW(target.c_str());
    }
    // Another URL for the same path never continues the part.
    ASSERT_TRUE(standin::Reset());
    ASSERT_TRUE(standin::SetBehaviour("{\"resume\": true, \"file\": \"cut\"}"));
    EXPECT_FALSE(DownloadOnce(url, target));
    ASSERT_TRUE(standin::SetBehaviour("{\"file\": \"ok\"}"));
    EXPECT_TRUE(DownloadOnce(L"https://localhost/blob/300001", target));
    EXPECT_EQ(std::string::npos, HeadersOf("/blob/300001", 0).find("Range:"));
    EXPECT_EQ(300001u, ReadBytes(target).size());
}

TEST(BindStatusCallback, PassesOnlyRisingPercentagesOfAKnownTotal)
{
    struct Step {
        ULONG progress, total;
    };
    struct {
        std::vector<Step> steps;
        std::vector<int> calls;  // task 7: 7000 + percent
    } rows[] = {
        {{{0, 1000}, {10, 1000}, {500, 1000}, {1000, 1000}}, {7001, 7050, 7100}},
        {{{300, 1000}, {200, 1000}, {300, 1000}, {301, 1000}}, {7030}},
        {{{100, 0}, {5000, 0}}, {}},
        {{{2000, 1000}, {999, 1000}}, {7099}},
        {{{1, 3}, {2, 3}, {3, 3}}, {7033, 7066, 7100}},
        {{{4294967295u, 4294967295u}}, {7100}},
        // Sizes whose float product rounds below a whole hundred.
        {{{671088, 671089}, {671089, 671089}}, {7099, 7100}},
    };
    for (const auto& row : rows) {
        ProgressRecorder recorder;
        CBindStatusCallback status(7, &recorder);
        for (const Step& step : row.steps)
            EXPECT_EQ(S_OK, status.OnProgress(step.progress, step.total, 0, nullptr));
        EXPECT_EQ(row.calls, recorder.calls);
    }
    CBindStatusCallback orphan(1, nullptr);
    EXPECT_EQ(E_ABORT, orphan.OnProgress(1, 2, 0, nullptr));
    void* object = &orphan;
    EXPECT_EQ(E_NOINTERFACE, orphan.QueryInterface(IID_IUnknown, &object));
    EXPECT_EQ(1u, orphan.AddRef());
    EXPECT_EQ(1u, orphan.Release());
}

}  // namespace
