// The planting tests' control: a program that loads DLLs the ordinary way,
// through its import table (WinHTTP) and by bare name (the others), without
// restricting the search. Run from a folder with planted copies, it loads
// them; the tests use it to see that the plant works. Exit code 0 when
// every library loaded.

#include <windows.h>

#include <winhttp.h>

#include <initializer_list>


int wmain()
{
    // An import: resolved before this line, from beside the executable.
    WinHttpCheckPlatform();
    // By bare name, found beside the executable first.
    int failed = 0;
    for (const wchar_t* name : {L"DBGHELP.DLL", L"iphlpapi.dll", L"gdiplus.dll", L"msimg32.dll", L"urlmon.dll",
                                L"wininet.dll", L"bcrypt.dll", L"dnsapi.dll", L"mpr.dll", L"uxtheme.dll"})
        failed += LoadLibraryW(name) ? 0 : 1;
    return failed;
}
