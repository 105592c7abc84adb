#include "diagnostics/WorkFolders.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <mutex>

namespace {
std::mutex g_tempFolderMutex;
}

std::wstring CWorkFolders::WorkFolder()
{
    if (!m_work.empty()) return m_work;
    std::wstring root = m_localAppData;
    if (!m_fixedRoot) {
        wchar_t buffer[MAX_PATH] = {};
        // A failure is not cached, so a later call asks again.
        if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
            return std::wstring();
        root = buffer;
    }
    std::wstring path = root + L"\\" + m_productFolderName + L"\\";
    // Only this last level is created: a missing parent stays missing.
    CreateDirectoryW(path.c_str(), nullptr);
    m_work = path;
    return m_work;
}

std::wstring CWorkFolders::SubFolder(std::wstring& cache, const wchar_t* name)
{
    if (!cache.empty()) return cache;
    cache = WorkFolder() + name;
    if (!PathFileExistsW(cache.c_str())) CreateDirectoryW(cache.c_str(), nullptr);
    return cache;
}

std::wstring CWorkFolders::TempFolder()
{
    std::lock_guard<std::mutex> guard(g_tempFolderMutex);
    if (m_temp.empty()) {
        wchar_t buffer[MAX_PATH] = {};
        if (GetTempPathW(MAX_PATH, buffer) != 0) m_temp = buffer;
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
