#include "app/Startup.h"

#include <windows.h>

#include "diagnostics/DumpUtil.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

namespace {
const int kLargeScreenWidth = 2880;
}

void RestrictDllSearch()
{
    // Windows 7 has the call only with its loader update, so it is looked up.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    auto restrict = kernel32 ? reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
                                   GetProcAddress(kernel32, "SetDefaultDllDirectories")))
                             : nullptr;
    if (!restrict || !restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        // Without it, at least the current folder leaves the search.
        SetDllDirectoryW(L"");
    }
}

void StartDiagnostics(const std::wstring& productFolderName)
{
    // 3. and 4. The working folder is named after the product; the log lives in it.
    SetProductFolderName(productFolderName);
    g_pLogger = GetLogger(L"installer");

    // 5. The crash filter must not compute paths while the process is failing.
    SetDumpFolderCopy(GetDumpFolder());

    // 6. From here on a crash on any thread leaves a dump and exit code 1.
    InstallCrashHandling();
}

int SkinArchiveForScreenWidth(int width) { return width < kLargeScreenWidth ? 130 : 138; }
