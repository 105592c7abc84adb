#pragma once

// Small helpers shared by the test programs: scratch folders, files,
// child processes and the path of the real setup.exe.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Folder of the running test program, with a trailing backslash.
std::wstring TestProgramFolder();
// The real assistant built beside the tests.
std::wstring SetupExePath();

// "installer.YYYYMMDD.log" for today.
std::wstring TodayLogName();

// A variable of the environment the test was started in; empty when unset.
std::wstring Environment(const wchar_t* name);

// A fresh, empty folder below the temporary folder (trailing backslash).
std::wstring ScratchFolder(const std::wstring& name);
void RemoveTree(const std::wstring& path);
bool Exists(const std::wstring& path);

std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// The file read as UTF-16LE code units.
std::wstring ReadUtf16(const std::wstring& path);

struct ProcessResult {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
};
// Starts a program with the given command line (program path quoted by the
// caller) and waits up to timeoutMs for it to end.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// A started process that the test controls; killed on destruction if still running.
class ChildProcess {
public:
    explicit ChildProcess(const std::wstring& commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    // Exit code, or STILL_ACTIVE when it did not end within timeoutMs.
    DWORD Wait(DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_info{};
};

// One argument quoted for a command line, as the C run-time library splits it.
std::wstring QuoteArgument(const std::wstring& arg);

// Command line that starts this test program as a child running the routine
// registered under name (see REGISTER_CHILD_ROUTINE).
std::wstring ChildCommandLine(const std::wstring& name, const std::vector<std::wstring>& args);

using ChildRoutine = std::function<int(const std::vector<std::wstring>&)>;
struct ChildRoutineRegistrar {
    ChildRoutineRegistrar(const wchar_t* name, ChildRoutine routine);
};
#define REGISTER_CHILD_ROUTINE(name, fn) \
    static ::testing_support::ChildRoutineRegistrar child_routine_##fn(name, fn)

// Finds a top-level window of the given process whose caption matches, waiting up to timeoutMs.
HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs);

}  // namespace testing_support
