// Runs the download's own system calls the way setup.exe reaches them: the
// DLL search restricted first, then the delay-loaded hashing, URL cache and
// URL moniker functions called (a download from a closed port fails at
// once). Run from a folder with planted copies, it must load none of them.
// It then writes the base name of every module in the process, one a line,
// into the file its argument names, so that the planting test can see
// that it plants every DLL this takes.

#include <windows.h>

#include <tlhelp32.h>
#include <urlmon.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "app/Startup.h"
#include "service/FileDigest.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 3;
    RestrictDllSearch();
    CoInitialize(nullptr);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::string digest;
    int failed = CFileDigest::Sha256(self, digest) ? 0 : 1;
    DeleteUrlCacheEntryW(L"https://127.0.0.1:9/probe.exe");
    std::wstring target = std::wstring(self) + L".download";
    URLDownloadToFileW(nullptr, L"https://127.0.0.1:9/probe.exe", target.c_str(), 0, nullptr);

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 2;
    FILE* list = _wfopen(argv[1], L"w");
    if (!list) return 4;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry))
        fwprintf(list, L"%ls\n", entry.szModule);
    fclose(list);
    CloseHandle(snapshot);
    return failed;
}
