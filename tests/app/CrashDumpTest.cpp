// Crashes child processes that install the assistant's crash handling and
// looks at the dump and the log they leave.

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "base/Thread.h"
#include "app/Startup.h"
#include "diagnostics/DumpUtil.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "tests/app/PlantedDlls.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

struct PureCallBase {
    PureCallBase() { CallLater(); }
    virtual ~PureCallBase() = default;
    virtual int Value() = 0;
    // Called while the base is being built, the pure function is still in
    // the table. Outside the anonymous namespace, with noipa and a volatile
    // pointer, the compiler cannot resolve the call itself.
    __attribute__((noipa)) void CallLater()
    {
        PureCallBase* volatile self = this;
        LOG_INFO(L"value returned %d", self->Value());
    }
};
struct PureCallDerived : PureCallBase {
    int Value() override { return 2; }
};

namespace {

const wchar_t kProductFolder[] = L"VantorieCrashTest";

std::wstring WorkFolder()
{
    wchar_t local[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::wstring(local) + L"\\" + kProductFolder + L"\\";
}

std::wstring DumpFolder() { return WorkFolder() + L"dump\\"; }

// setup.exe's own start-up up to step 6, with every log line recorded.
void StartLikeTheAssistant()
{
    StartDiagnostics(kProductFolder);
    g_pLogger->SetThreshold(Debug);
    LOG_INFO(L"main thread %d", static_cast<int>(GetCurrentThreadId()));
}

// Runs the fault on a worker thread, as the service threads would meet it.
template <class Fault>
int FailOnWorker(Fault fault)
{
    CThread worker(fault);
    worker.Join();
    return 0;  // only reached if the crash handling let the process go on
}

int AccessViolation(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    return FailOnWorker([] { *static_cast<volatile int*>(nullptr) = 1; });
}

int InvalidParameter(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    return FailOnWorker([] {
        wchar_t small[4];
        const wchar_t* source = L"longer than four";
        errno_t result = wcscpy_s(small, 4, source);
        LOG_INFO(L"wcscpy_s returned %d", result);
    });
}

int PureVirtualCall(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    return FailOnWorker([] { PureCallDerived derived; });
}

int UncaughtThrow(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    return FailOnWorker([] { throw 7; });
}

LONG WINAPI OtherFilter(EXCEPTION_POINTERS*)
{
    ExitProcess(77);
}

int LaterFilterReplacement(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(OtherFilter);
    LOG_INFO(L"replacement returned %d", previous == nullptr ? 0 : 1);
    return FailOnWorker([] { *static_cast<volatile int*>(nullptr) = 1; });
}

int DumpFolderRemoved(const std::vector<std::wstring>&)
{
    StartLikeTheAssistant();
    RemoveDirectoryW(DumpFolder().c_str());
    return FailOnWorker([] { *static_cast<volatile int*>(nullptr) = 1; });
}

REGISTER_CHILD_ROUTINE(L"access-violation", AccessViolation);
REGISTER_CHILD_ROUTINE(L"invalid-parameter", InvalidParameter);
REGISTER_CHILD_ROUTINE(L"pure-virtual-call", PureVirtualCall);
REGISTER_CHILD_ROUTINE(L"uncaught-throw", UncaughtThrow);
REGISTER_CHILD_ROUTINE(L"later-filter", LaterFilterReplacement);
REGISTER_CHILD_ROUTINE(L"dump-folder-removed", DumpFolderRemoved);

std::vector<std::wstring> DumpFiles()
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((DumpFolder() + L"*.dmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.push_back(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

std::wstring TodayLog()
{
    return WorkFolder() + L"Log\\" + TodayLogName();
}

// The thread identifier of the first record holding text.
int RecordThread(const std::wstring& log, const std::wstring& text)
{
    size_t at = log.find(text);
    if (at == std::wstring::npos) return -1;
    size_t tid = log.rfind(L"[tid:", at);
    return tid == std::wstring::npos ? -1 : _wtoi(log.c_str() + tid + 5);
}

uint32_t U32(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    if (at + 4 <= bytes.size()) memcpy(&value, bytes.data() + at, 4);
    return value;
}

struct DumpFacts {
    bool signature = false;
    bool exceptionStream = false;
    uint32_t threadId = 0;
    uint32_t exceptionCode = 0;
};

// Reads the header, walks the stream directory and the exception stream.
DumpFacts ReadDump(const std::wstring& path)
{
    DumpFacts facts;
    std::string bytes = ReadBytes(path);
    facts.signature = bytes.compare(0, 4, "MDMP") == 0;
    uint32_t streams = U32(bytes, 8);
    uint32_t directory = U32(bytes, 12);
    for (uint32_t i = 0; i < streams && directory + 12 * (i + 1) <= bytes.size(); ++i) {
        size_t entry = directory + 12 * i;
        if (U32(bytes, entry) != 6) continue;  // ExceptionStream
        uint32_t rva = U32(bytes, entry + 8);
        facts.exceptionStream = U32(bytes, entry + 4) >= 8 + 4 && rva + 12 <= bytes.size();
        facts.threadId = U32(bytes, rva);
        facts.exceptionCode = U32(bytes, rva + 8);
    }
    return facts;
}

class CrashDumpTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveTree(WorkFolder()); }
    void TearDown() override { RemoveTree(WorkFolder()); }

    // Runs a child routine and expects the dump path: one well-named dump
    // of the faulting worker and exit code 1. Returns the exception code.
    uint32_t ExpectDumpOfWorker(const wchar_t* routine)
    {
        SYSTEMTIME before;
        GetLocalTime(&before);
        ProcessResult result = RunProcess(ChildCommandLine(routine, {}), 60000);
        EXPECT_TRUE(result.started);
        EXPECT_EQ(1u, result.exitCode) << routine;

        std::vector<std::wstring> dumps = DumpFiles();
        EXPECT_EQ(1u, dumps.size()) << routine;
        if (dumps.empty()) return 0;
        const std::wstring& name = dumps[0];
        wchar_t day[16];
        swprintf(day, 16, L"%04d%02d%02d_", before.wYear, before.wMonth, before.wDay);
        EXPECT_EQ(28u, name.size()) << name;
        EXPECT_EQ(0u, name.find(std::wstring(L"minidump_") + day)) << name;
        EXPECT_EQ(name.size() - 4, name.find(L".dmp"));
        for (size_t i = 18; i < 24; ++i) EXPECT_TRUE(iswdigit(name[i])) << name;

        DumpFacts facts = ReadDump(DumpFolder() + name);
        EXPECT_TRUE(facts.signature);
        EXPECT_TRUE(facts.exceptionStream);

        // The dump names the worker that faulted, not the main thread.
        std::wstring log = ReadUtf16(TodayLog());
        int worker = RecordThread(log, L"catch an unhandle exception");
        EXPECT_NE(-1, worker);
        EXPECT_NE(RecordThread(log, L"main thread"), worker);
        EXPECT_EQ(static_cast<uint32_t>(worker), facts.threadId);
        EXPECT_NE(std::wstring::npos, log.find(L"dump file path = " + DumpFolder() + name + L"\r\n"));
        EXPECT_NE(std::wstring::npos, log.find(L"exit process because of exception"));
        EXPECT_EQ(std::wstring::npos, log.find(L"#Error>>")) << log;
        return facts.exceptionCode;
    }
};

}  // namespace

TEST(DumpFileNameTest, NamesTheLocalTimeOrFallsBack)
{
    wchar_t buffer[kDumpNameCapacity];
    std::tm time{};
    time.tm_year = 2026 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 8;
    time.tm_hour = 14;
    time.tm_min = 3;
    time.tm_sec = 7;
    EXPECT_EQ(28u, FormatDumpFileName(buffer, kDumpNameCapacity, &time));
    EXPECT_STREQ(L"minidump_20261208_140307.dmp", buffer);
    EXPECT_EQ(12u, FormatDumpFileName(buffer, kDumpNameCapacity, nullptr));
    EXPECT_STREQ(L"minidump.dmp", buffer);
    // A buffer too small is cut and terminated, never overrun.
    wchar_t small[9] = {L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'x', L'#'};
    EXPECT_EQ(7u, FormatDumpFileName(small, 8, &time));
    EXPECT_STREQ(L"minidum", small);
    EXPECT_EQ(L'#', small[8]);
}

TEST_F(CrashDumpTest, AccessViolationOnAWorkerLeavesADump)
{
    EXPECT_EQ(static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION), ExpectDumpOfWorker(L"access-violation"));
}

TEST_F(CrashDumpTest, RuntimeLibraryFailuresTakeTheDumpPath)
{
    // These reach the filter through std::terminate, which raises its own code.
    const uint32_t kUncaughtCppException = 0xE0000001;
    EXPECT_EQ(kUncaughtCppException, ExpectDumpOfWorker(L"invalid-parameter"));
    // The library's failure did not return to the caller.
    EXPECT_EQ(std::wstring::npos, ReadUtf16(TodayLog()).find(L"wcscpy_s returned"));

    RemoveTree(WorkFolder());
    EXPECT_EQ(kUncaughtCppException, ExpectDumpOfWorker(L"pure-virtual-call"));
    EXPECT_EQ(std::wstring::npos, ReadUtf16(TodayLog()).find(L"value "));

    RemoveTree(WorkFolder());
    EXPECT_EQ(kUncaughtCppException, ExpectDumpOfWorker(L"uncaught-throw"));
}

TEST_F(CrashDumpTest, LaterFilterReplacementChangesNothing)
{
    EXPECT_EQ(static_cast<uint32_t>(EXCEPTION_ACCESS_VIOLATION), ExpectDumpOfWorker(L"later-filter"));
    EXPECT_NE(std::wstring::npos, ReadUtf16(TodayLog()).find(L"replacement returned 0"));
}

// A DBGHELP.DLL that another program dropped beside the executable must
// not be what writes the dump. The test program runs from a copy in a
// folder of its own with the planted DLL beside it; Wine is told to prefer
// DLLs found that way, as Windows does.
TEST_F(CrashDumpTest, PlantedDebugHelpLibraryIsNotLoaded)
{
    std::wstring folder = ScratchFolder(L"planted crash");
    std::wstring copy = folder + L"test_crash.exe";
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"test_crash.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"planted.dll").c_str(), (folder + L"dbghelp.dll").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"planting_control.exe").c_str(),
                          (folder + L"planting_control.exe").c_str(), FALSE));
    ProcessResult result, control;
    bool plantedInCrash = false;
    {
        CPreferPlantedDlls prefer({L"test_crash.exe", L"planting_control.exe"}, {L"dbghelp.dll"});
        result = RunProcess(L"\"" + copy + L"\" --child access-violation", 60000);
        plantedInCrash = Exists(folder + L"dbghelp.dll.loaded");
        control = RunProcess(L"\"" + folder + L"planting_control.exe\"", 60000);
    }
    EXPECT_EQ(1u, result.exitCode);
    EXPECT_FALSE(plantedInCrash);
    EXPECT_EQ(1u, DumpFiles().size());
    EXPECT_EQ(std::wstring::npos, ReadUtf16(TodayLog()).find(L"#Error>>"));
    // The same folder does plant the DLL into a program that loads it by name.
    EXPECT_EQ(0u, control.exitCode);
    EXPECT_TRUE(Exists(folder + L"dbghelp.dll.loaded"));
    RemoveTree(folder);
}

TEST_F(CrashDumpTest, RemovedDumpFolderIsLoggedAndStillEndsWithOne)
{
    ProcessResult result = RunProcess(ChildCommandLine(L"dump-folder-removed", {}), 60000);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(1u, result.exitCode);
    EXPECT_FALSE(Exists(DumpFolder()));
    std::wstring log = ReadUtf16(TodayLog());
    size_t at = log.find(L"#Error>>");
    ASSERT_NE(std::wstring::npos, at) << log;
    EXPECT_NE(std::wstring::npos, log.find(L"failed to create dump file " + DumpFolder() + L"minidump_", at));
    EXPECT_EQ(std::wstring::npos, log.find(L"exit process because of exception"));
}
