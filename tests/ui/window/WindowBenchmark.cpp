// Prints how long a skinned 800x600 window with the product window's
// skin takes from Create to its first completed paint, beside a bare Win32
// window of the same size created and painted by this same program, and
// the ratio of the two. Not a test: it judges nothing.
// Run: wine bench_ui_window.exe --child bench

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/core/ResourceLocation.h"

#ifndef PRODUCT_SKIN_PATH
#error "PRODUCT_SKIN_PATH names the product window's skin"
#endif

using namespace window_tests;

namespace {

using draw_test::Now;

void PumpUntil(const bool& done)
{
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class BenchWindow : public TestWindow {
public:
    bool painted = false;
    void OnFirstPaint() override { painted = true; }
};

bool g_barePainted = false;

LRESULT CALLBACK BareProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        EndPaint(window, &ps);
        g_barePainted = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

double SkinnedOnce(DWORD holdMs)
{
    BenchWindow window;
    window.skin = L"main.xml";
    const double start = Now();
    if (!window.Create(nullptr, L"skinned", WS_POPUP | WS_VISIBLE, 0, 100, 100, 800, 600)) return -1;
    PumpUntil(window.painted);
    const double elapsed = Now() - start;
    // Left on screen a while when asked, for a screenshot.
    for (DWORD end = GetTickCount() + holdMs; GetTickCount() < end;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(20);
    }
    return elapsed;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double BareOnce()
{
    g_barePainted = false;
    const double start = Now();
    HWND window = CreateWindowExW(0, L"LumetaBenchBare", L"bare", WS_POPUP | WS_VISIBLE, 100, 100, 800, 600,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!window) return -1;
    PumpUntil(g_barePainted);
    const double elapsed = Now() - start;
    DestroyWindow(window);
    return elapsed;
}

// The pictures the product skin names, as plain PNGs of their sizes.
void WritePictures(const std::wstring& folder)
{
    struct Picture {
        const wchar_t* name;
        int width, height;
        uint32_t colour;
    } pictures[] = {
        {L"表头模块.png", 800, 210, 0xFF2060C0}, {L"close_button.png", 20, 20, 0xFFFFFFFF},
        {L"组合logo.png", 146, 146, 0xFF40A040}, {L"首页按钮.png", 360, 60, 0xFF3070E0},
        {L"combo3_nr.png", 360, 36, 0xFFF4F4F4}, {L"combo3_ov.png", 360, 36, 0xFFE0E0E0},
    };
    for (const Picture& p : pictures) {
        std::vector<uint32_t> pixels(static_cast<size_t>(p.width) * p.height, p.colour);
        draw_test::WritePng(folder, p.name, p.width, p.height, pixels);
    }
}

}  // namespace

int RunBenchmark(const std::vector<std::wstring>& args)
{
    const DWORD holdMs = !args.empty() && args[0] == L"hold" ? 4000 : 0;
    ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
    SkinFolder skins;
    const std::string markup = testing_support::ReadBytes(PRODUCT_SKIN_PATH);
    if (markup.empty()) return 1;
    testing_support::WriteBytes(skins.Path() + L"main.xml", markup);
    WritePictures(skins.Path());

    WNDCLASSW wc{};
    wc.lpfnWndProc = &BareProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"LumetaBenchBare";
    RegisterClassW(&wc);

    // The first round pays for what a process does once (classes, fonts,
    // decoding the pictures into the first window's cache); the rest show
    // a window of a warmed-up process.
    const int rounds = 7;
    std::vector<double> skinnedTimes, bareTimes;
    std::printf("%-8s %16s %16s %8s\n", "round", "skinned (ms)", "bare (ms)", "ratio");
    for (int i = 0; i < rounds; ++i) {
        const double skinned = SkinnedOnce(i == 0 ? holdMs : 0);
        const double bare = BareOnce();
        if (skinned < 0 || bare <= 0) return 1;
        std::printf("%-8d %16.2f %16.2f %8.1f\n", i + 1, skinned * 1e3, bare * 1e3, skinned / bare);
        if (i > 0) {
            skinnedTimes.push_back(skinned);
            bareTimes.push_back(bare);
        }
    }
    const double skinned = Median(skinnedTimes), bare = Median(bareTimes);
    std::printf("Create to first paint, 800x600 product skin %.2f ms, bare window %.2f ms (warm medians): "
                "ratio %.1f\n",
                skinned * 1e3, bare * 1e3, skinned / bare);
    return 0;
}

REGISTER_CHILD_ROUTINE(L"bench", RunBenchmark);
