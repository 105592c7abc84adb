// Prints the launch, idle and memory figures of setup.exe beside a bare
// window program, both started as new processes and watched from outside:
//   bench_launch.exe SETUP.EXE BARE_WINDOW.EXE [runs]
// Not a test: it judges nothing. A launch ends when the screen shows the
// program's window exactly as it looks once settled (every picture, text
// and the combo's first item), so both programs are judged by the same
// pixels-on-screen rule.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ui/core/GdiObjects.h"

namespace {

double NowMs()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One started program; ended and waited for when it goes out of scope.
class CChild {
public:
    explicit CChild(const std::wstring& path)
    {
        std::wstring command = L"\"" + path + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
        m_started = CreateProcessW(path.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   folder.c_str(), &startup, &m_info) != FALSE;
    }
    ~CChild()
    {
        if (!m_started) return;
        TerminateProcess(m_info.hProcess, 0);
        WaitForSingleObject(m_info.hProcess, 10000);
        CloseHandle(m_info.hThread);
        CloseHandle(m_info.hProcess);
    }
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;
    bool Started() const { return m_started; }
    HANDLE Process() const { return m_info.hProcess; }
    DWORD Id() const { return m_info.dwProcessId; }

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

struct FindRequest {
    DWORD process;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindOne(HWND window, LPARAM parameter)
{
    auto* request = reinterpret_cast<FindRequest*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (process == request->process && IsWindowVisible(window) &&
        wcscmp(name, request->className) == 0) {
        request->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessWindow(DWORD process, const wchar_t* className)
{
    FindRequest request{process, className, nullptr};
    EnumWindows(FindOne, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

HWND WaitForProcessWindow(DWORD process, const wchar_t* className, int timeoutMs)
{
    double end = NowMs() + timeoutMs;
    for (;;) {
        if (HWND window = FindProcessWindow(process, className)) return window;
        if (NowMs() > end) return nullptr;
        Sleep(1);
    }
}

// What the screen shows where the window is: its pixels, read back from
// the display as any other program could.
std::vector<DWORD> Capture(HWND window)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return {};
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    uint8_t* bits = nullptr;
    CGdiObject<HBITMAP> bitmap(CreateDib32(width, height, &bits));
    std::vector<DWORD> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap.Get());
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* first = reinterpret_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(width) * static_cast<size_t>(height));
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    pixels.push_back(static_cast<DWORD>(width));
    return pixels;
}

// The window as it looks once nothing changes any more.
std::vector<DWORD> SettledLook(HWND window)
{
    std::vector<DWORD> last = Capture(window);
    for (int i = 0; i < 50; ++i) {
        Sleep(200);
        std::vector<DWORD> now = Capture(window);
        if (now == last) return now;
        last = now;
    }
    return last;
}

// Milliseconds from CreateProcess to the settled look on screen; < 0 on failure.
double TimeLaunch(const std::wstring& program, const wchar_t* className,
                  const std::vector<DWORD>& settled)
{
    double start = NowMs();
    CChild child(program);
    if (!child.Started()) return -1;
    HWND window = WaitForProcessWindow(child.Id(), className, 20000);
    if (!window) return -1;
    double end = start + 20000;
    while (NowMs() < end) {
        if (Capture(window) == settled) return NowMs() - start;
        Sleep(1);
    }
    return -1;
}

double Median(std::vector<double> values)
{
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Committed private memory of a process, as Windows counts "private bytes".
double PrivateMegabytes(HANDLE process)
{
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr;
         VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return static_cast<double>(total) / (1024.0 * 1024.0);
}

double CpuMs(HANDLE process)
{
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return -1;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// Percent of one core the process used over `seconds` while left alone.
double IdleCpuPercent(HANDLE process, int seconds)
{
    double before = CpuMs(process), start = NowMs();
    Sleep(static_cast<DWORD>(seconds * 1000));
    double after = CpuMs(process), took = NowMs() - start;
    if (before < 0 || after < 0) return -1;
    return 100.0 * (after - before) / took;
}

void Click(HWND window, int x, int y)
{
    LPARAM at = MAKELPARAM(x, y);
    PostMessageW(window, WM_MOUSEMOVE, 0, at);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
}

struct Program {
    const char* label;
    std::wstring path;
    const wchar_t* className;
    std::vector<DWORD> settled;
    std::vector<double> launches;
    double privateMb = -1;
    double idlePercent = -1;
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bench_launch SETUP.EXE BARE_WINDOW.EXE [runs]\n");
        return 2;
    }
    int runs = argc > 3 ? _wtoi(argv[3]) : 15;
    Program setup{"setup.exe", argv[1], L"InstallerMain", {}, {}};
    Program bare{"bare 800x600 program", argv[2], L"BareWindow", {}, {}};

    // 1. Each program once, left to settle: its final look, its memory and
    // its idle CPU with nothing happening.
    for (Program* p : {&setup, &bare}) {
        CChild child(p->path);
        HWND window = child.Started() ? WaitForProcessWindow(child.Id(), p->className, 30000) : nullptr;
        if (!window) {
            printf("%s: no window\n", p->label);
            return 1;
        }
        p->settled = SettledLook(window);
        p->privateMb = PrivateMegabytes(child.Process());
        p->idlePercent = IdleCpuPercent(child.Process(), 10);
        printf("%s: %.0f ms of CPU from its start to the end of the idle time\n", p->label,
               CpuMs(child.Process()));
    }

    // 2. Launches, the two programs taking turns so that both see the same machine.
    for (int i = 0; i < runs; ++i)
        for (Program* p : {&setup, &bare}) p->launches.push_back(TimeLaunch(p->path, p->className, p->settled));

    for (Program* p : {&setup, &bare}) {
        int failed = static_cast<int>(std::count_if(p->launches.begin(), p->launches.end(),
                                                    [](double v) { return v < 0; }));
        p->launches.erase(std::remove_if(p->launches.begin(), p->launches.end(),
                                         [](double v) { return v < 0; }),
                          p->launches.end());
        printf("launch -> painted, %-22s median %8.1f ms of %d runs (%d failed)\n", p->label,
               Median(p->launches), static_cast<int>(p->launches.size()), failed);
    }
    double ratio = Median(setup.launches) / Median(bare.launches);
    printf("ROW launch %.1f %.1f %.2f\n", Median(setup.launches), Median(bare.launches), ratio);
    printf("ROW memory %.2f %.2f %.2f\n", setup.privateMb, bare.privateMb, setup.privateMb / bare.privateMb);
    printf("ROW idle_main %.2f %.2f\n", setup.idlePercent, bare.idlePercent);

    // 3. The install window and the progress window, reached by the clicks
    // a user makes, each left alone for ten seconds.
    {
        CChild child(setup.path);
        HWND main = child.Started() ? WaitForProcessWindow(child.Id(), L"InstallerMain", 30000) : nullptr;
        if (main) {
            SettledLook(main);
            Click(main, 400, 540);  // "installBtn"
        }
        HWND install = WaitForProcessWindow(child.Id(), L"InstallerInstall", 20000);
        double installIdle = -1, progressIdle = -1;
        if (install) {
            SettledLook(install);
            installIdle = IdleCpuPercent(child.Process(), 10);
            Click(install, 550, 430);  // "installBtn"
            HWND progress = WaitForProcessWindow(child.Id(), L"InstallerProgress", 20000);
            if (progress) {
                SettledLook(progress);
                progressIdle = IdleCpuPercent(child.Process(), 10);
            }
        }
        printf("ROW idle_install %.2f\n", installIdle);
        printf("ROW idle_progress %.2f\n", progressIdle);
    }
    return 0;
}
