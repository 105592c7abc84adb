#include "diagnostics/WorkFolders.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "base/CriticalSection.h"

namespace {
CCriticalSection g_tempFolderLock;
}

std::wstring CWorkFolders::WorkFolder()
{
    if (!m_work.empty()) return m_work;
    std::wstring root = m_localAppData;
    if (!m_fixedRoot) {
        wchar_t buffer[MAX_PATH] = {};
        // S_FALSE names a folder that does not exist yet: the path is still
        // the right one, and creating below it fails on its own. Anything
        // else gives no path, and no path is not cached, so a later call
        // asks again.
        HRESULT result = SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer);
        if (FAILED(result) || buffer[0] == 0) return std::wstring();
        root = buffer;
    }
    if (root.empty()) return std::wstring();
    std::wstring path = root + L"\\" + m_productFolderName + L"\\";
    // Only this last level is created: a missing parent stays missing.
    CreateDirectoryW(path.c_str(), nullptr);
    m_work = path;
    return m_work;
}

std::wstring CWorkFolders::SubFolder(std::wstring& cache, const wchar_t* name)
{
    if (!cache.empty()) return cache;
    // Without the working folder there is no sub-folder either: never one
    // relative to the current folder, which is usually the one of setup.exe.
    std::wstring work = WorkFolder();
    if (work.empty()) return std::wstring();
    cache = work + name;
    if (!PathFileExistsW(cache.c_str())) CreateDirectoryW(cache.c_str(), nullptr);
    return cache;
}

std::wstring CWorkFolders::TempFolder()
{
    CLockGuard guard(g_tempFolderLock);
    if (m_temp.empty()) {
        // A result of 0 is a failure, one above the buffer's size the length
        // of a path that did not fit; both leave the folder unknown (empty).
        wchar_t buffer[MAX_PATH + 1] = {};
        DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
        if (length != 0 && length <= MAX_PATH) {
            m_temp = buffer;
            if (m_temp.back() != L'\\') m_temp += L'\\';
        }
    }
    return m_temp;
}

std::wstring CWorkFolders::ExeFolder()
{
    if (m_exe.empty()) {
        wchar_t buffer[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, buffer, MAX_PATH);
        std::wstring path = buffer;
        size_t slash = path.find_last_of(L'\\');
        m_exe = (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash)) + L"\\";
    }
    return m_exe;
}

CWorkFolders& CWorkFolders::Process()
{
    static CWorkFolders* folders = new CWorkFolders;
    return *folders;
}

void SetProductFolderName(const std::wstring& name) { CWorkFolders::Process().SetProductFolderName(name); }
std::wstring GetWorkFolder() { return CWorkFolders::Process().WorkFolder(); }
std::wstring GetDataFolder() { return CWorkFolders::Process().DataFolder(); }
std::wstring GetConfigFolder() { return CWorkFolders::Process().ConfigFolder(); }
std::wstring GetLogFolder() { return CWorkFolders::Process().LogFolder(); }
std::wstring GetDumpFolder() { return CWorkFolders::Process().DumpFolder(); }
std::wstring GetTempFolder() { return CWorkFolders::Process().TempFolder(); }
std::wstring GetExeFolder() { return CWorkFolders::Process().ExeFolder(); }
