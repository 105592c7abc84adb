// Stands for a DLL that another program dropped into the folder that holds
// ours. Loaded into a process, it leaves "<its own path>.loaded" beside
// itself, which the planting tests look for.

#include <windows.h>

#include <cwchar>

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH + 16] = {};
    DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    wcscat(path, L".loaded");
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
    return TRUE;
}

// The one export a program importing WinHTTP by this name is given, so that
// the control program starts with the planted copy.
extern "C" __declspec(dllexport) BOOL WINAPI WinHttpCheckPlatform() { return TRUE; }
