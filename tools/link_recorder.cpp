// Stands in for the browser of a test machine: registered as the handler of
// https links, it appends the link it was asked to open to links.txt beside
// itself, one UTF-8 line per call, and ends. Tests read the file to see
// which links the assistant opened through the shell.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log = path;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"links.txt";

    std::wstring link = commandLine;
    if (link.size() >= 2 && link.front() == L'"' && link.back() == L'"') link = link.substr(1, link.size() - 2);
    int size = WideCharToMultiByte(CP_UTF8, 0, link.c_str(), static_cast<int>(link.size()), nullptr, 0, nullptr, nullptr);
    std::string line(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, link.c_str(), static_cast<int>(link.size()), &line[0], size, nullptr, nullptr);
    line += "\n";

    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
