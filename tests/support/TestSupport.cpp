#include "tests/support/TestSupport.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

namespace testing_support {

namespace {

std::map<std::wstring, ChildRoutine>& ChildRoutines()
{
    static std::map<std::wstring, ChildRoutine> routines;
    return routines;
}

std::wstring ModulePath()
{
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

}  // namespace

std::wstring TestProgramFolder()
{
    std::wstring path = ModulePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring SetupExePath()
{
    wchar_t full[MAX_PATH] = {};
    std::wstring relative = TestProgramFolder() + L"..\\setup.exe";
    GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::wstring TodayLogName()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[64];
    swprintf(name, 64, L"installer.%04d%02d%02d.log", now.wYear, now.wMonth, now.wDay);
    return name;
}

std::wstring ScratchFolder(const std::wstring& name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring path = std::wstring(temp) + L"vantorie-tests\\";
    CreateDirectoryW(path.c_str(), nullptr);
    path += name + L"\\";
    RemoveTree(path);
    CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

void RemoveTree(const std::wstring& path)
{
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(folder.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring entry = data.cFileName;
            if (entry == L"." || entry == L"..") continue;
            RemoveTree(folder + L"\\" + entry);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

bool Exists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

std::string ReadBytes(const std::wstring& path)
{
    std::string bytes;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return bytes;
    char chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
    fclose(file);
    return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    fclose(file);
    return ok;
}

std::wstring ReadUtf16(const std::wstring& path)
{
    std::string bytes = ReadBytes(path);
    std::wstring text(bytes.size() / 2, L'\0');
    if (!text.empty()) memcpy(&text[0], bytes.data(), text.size() * 2);
    return text;
}

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs)
{
    ProcessResult result;
    ChildProcess child(commandLine);
    result.started = child.Started();
    if (!result.started) return result;
    result.exitCode = child.Wait(timeoutMs);
    result.timedOut = result.exitCode == STILL_ACTIVE;
    return result;
}

ChildProcess::ChildProcess(const std::wstring& commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &m_info))
        m_info = PROCESS_INFORMATION{};
}

ChildProcess::~ChildProcess()
{
    if (!m_info.hProcess) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

DWORD ChildProcess::Wait(DWORD timeoutMs)
{
    if (!m_info.hProcess) return STILL_ACTIVE;
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

std::wstring QuoteArgument(const std::wstring& arg)
{
    // Backslashes are literal except before a quote, where each must be doubled.
    std::wstring quoted = L"\"";
    size_t slashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++slashes;
            continue;
        }
        quoted.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
        slashes = 0;
        quoted += c;
    }
    quoted.append(slashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring ChildCommandLine(const std::wstring& name, const std::vector<std::wstring>& args)
{
    std::wstring line = L"\"" + ModulePath() + L"\" --child " + name;
    for (const std::wstring& arg : args) line += L" " + QuoteArgument(arg);
    return line;
}

ChildRoutineRegistrar::ChildRoutineRegistrar(const wchar_t* name, ChildRoutine routine)
{
    ChildRoutines()[name] = std::move(routine);
}

namespace {
struct WindowSearch {
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    if (*search->caption != text) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND WaitForWindow(DWORD processId, const std::wstring& caption, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        WindowSearch search{processId, &caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

std::wstring Environment(const wchar_t* name)
{
    wchar_t value[1024] = {};
    DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

}  // namespace testing_support

int wmain(int argc, wchar_t** argv)
{
    using namespace testing_support;
    if (argc >= 3 && std::wstring(argv[1]) == L"--child") {
        auto it = ChildRoutines().find(argv[2]);
        if (it == ChildRoutines().end()) return 98;
        return it->second(std::vector<std::wstring>(argv + 3, argv + argc));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
