// The sample product's "installer" that the stand-in service hands out: it
// installs nothing, but leaves a marker file beside itself and says what a
// real installer would do now, so that a user and the tests can see it ran.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring marker = path;
    marker = marker.substr(0, marker.find_last_of(L'\\') + 1) + L"sample_installer.marker";

    // The marker comes first: the message box waits for the user.
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const char text[] = "sample installer ran\r\n";
        DWORD written = 0;
        WriteFile(file, text, sizeof text - 1, &written, nullptr);
        CloseHandle(file);
    }
    MessageBoxW(nullptr, L"The product would install now.", L"Sample installer",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
