#pragma once

#include <string>

// Where the assistant keeps its own files: one working folder per product
// under the local application-data folder, with four sub-folders. Every
// path ends with a backslash and, once known, is kept for the process.
// When the shell or the system gives no folder, the helpers give the empty
// string and their callers skip what needed it: nothing ever falls back to
// the current folder or the root of a drive.
//
// Threads: the caches are unlocked. Start-up asks for every path on the main
// thread before any worker exists, except the temporary folder, which the
// download threads ask for first and which is therefore guarded.
class CWorkFolders {
public:
    // The local application-data folder is asked of the shell unless given.
    CWorkFolders() = default;
    explicit CWorkFolders(const std::wstring& localAppData) : m_localAppData(localAppData), m_fixedRoot(true) {}

    void SetProductFolderName(const std::wstring& name) { m_productFolderName = name; }
    const std::wstring& ProductFolderName() const { return m_productFolderName; }

    std::wstring WorkFolder();
    std::wstring DataFolder() { return SubFolder(m_data, L"data\\"); }
    std::wstring ConfigFolder() { return SubFolder(m_config, L"Configs\\"); }
    std::wstring LogFolder() { return SubFolder(m_log, L"Log\\"); }
    std::wstring DumpFolder() { return SubFolder(m_dump, L"dump\\"); }
    std::wstring TempFolder();
    std::wstring ExeFolder();

    // The process-wide instance behind the free helpers below.
    static CWorkFolders& Process();

private:
    std::wstring SubFolder(std::wstring& cache, const wchar_t* name);

    std::wstring m_localAppData;
    bool m_fixedRoot = false;
    std::wstring m_productFolderName;
    std::wstring m_work, m_data, m_config, m_log, m_dump, m_temp, m_exe;
};

// "Vantorie" followed by the product identifier; set once by start-up.
void SetProductFolderName(const std::wstring& name);
std::wstring GetWorkFolder();
std::wstring GetDataFolder();
std::wstring GetConfigFolder();
std::wstring GetLogFolder();
std::wstring GetDumpFolder();
std::wstring GetTempFolder();
std::wstring GetExeFolder();
