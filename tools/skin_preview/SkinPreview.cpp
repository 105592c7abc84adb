// Shows a product's three windows as pictures, straight from the files a
// vendor edits, without the service and without walking the flow:
//   skin_preview SETTINGS.json SKIN_FOLDER OUT_FOLDER X,Y [FONT_FILE]
// SKIN_FOLDER is a full path holding main.xml, install.xml, progress.xml
// and their pictures (one scale; run once per scale, since the shared
// fonts of a skin stay for the process). Writes product.png, install.png,
// progress.png (the bar at a fixed point while the download runs) and
// progress-done.png (after a successful download) into OUT_FOLDER, each
// the window's own pixels as it painted them. The windows are placed from
// the screen point X,Y on: the product window there, the install window to
// its right, the progress window under the product window; they must not
// overlap each other or another preview's, and the screen must hold them
// (the pointer is moved to its bottom right corner). Needs a display: run
// it under Wine. Exit code 0 when every picture was written.

#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <string>
#include <vector>

#include "PngFile.h"
#include "PreviewWindows.h"
#include "state/UiSetting.h"
#include "ui/core/GdiObjects.h"
#include "ui/core/ResourceLocation.h"

namespace {

// Where the bar stands in progress.png, in percent of its maximum.
const int kRunningPercent = 60;

// A window's whole DC, released with ReleaseDC.
class CWholeWindowDC {
public:
    explicit CWholeWindowDC(HWND window) : m_window(window), m_dc(GetWindowDC(window)) {}
    ~CWholeWindowDC()
    {
        if (m_dc) ReleaseDC(m_window, m_dc);
    }
    CWholeWindowDC(const CWholeWindowDC&) = delete;
    CWholeWindowDC& operator=(const CWholeWindowDC&) = delete;
    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

bool ReadFileBytes(const std::wstring& path, std::string& bytes)
{
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    char buffer[16384];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    fclose(file);
    return true;
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Lets the window lay out and paint: messages are handled until none has
// come for a little while, the first paint and its follow-ups included.
void PumpUntilQuiet()
{
    const DWORD start = GetTickCount();
    DWORD lastMessage = start;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            lastMessage = GetTickCount();
        }
        const DWORD now = GetTickCount();
        if (now - lastMessage >= 80 && now - start >= 150) return;
        if (now - start >= 5000) { fwprintf(stderr, L"pump timeout\n"); return; }
        Sleep(5);
    }
}

// The window's pixels as it painted them, read from its own DC.
bool CaptureWindow(HWND window, const std::wstring& path)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    CWholeWindowDC source(window);
    CMemoryDC memory(source.Get());
    uint8_t* bits = nullptr;
    CBitmapHandle bitmap(CreateDib32(width, height, &bits));
    if (!source.Get() || !memory || !bitmap) return false;
    {
        CSelectScope selected(memory.Get(), bitmap.Get());
        if (!BitBlt(memory.Get(), 0, 0, width, height, source.Get(), 0, 0, SRCCOPY)) return false;
        GdiFlush();
    }
    return WritePngFile(path, width, height, bits);
}

// Created as the flow creates a page (the progress window without its
// owner), put at its place on the screen and painted.
bool Open(WindowImplBase& window, DWORD style, DWORD exStyle, POINT at)
{
    if (!window.Create(nullptr, L"", style, exStyle)) return false;
    SetWindowPos(window.GetHWND(), HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE);
    PumpUntilQuiet();
    return true;
}

bool Shoot(WindowImplBase& window, const std::wstring& out, const wchar_t* name)
{
    PumpUntilQuiet();
    const std::wstring path = out + name;
    if (CaptureWindow(window.GetHWND(), path)) {
        wprintf(L"%ls\n", path.c_str());
        return true;
    }
    fwprintf(stderr, L"could not write %ls\n", path.c_str());
    return false;
}

int WidthOf(WindowImplBase& window)
{
    RECT rect{};
    GetWindowRect(window.GetHWND(), &rect);
    return rect.right - rect.left;
}

int HeightOf(WindowImplBase& window)
{
    RECT rect{};
    GetWindowRect(window.GetHWND(), &rect);
    return rect.bottom - rect.top;
}

// The windows stay side by side until the process ends: the product window
// at the origin, the install window to its right, the progress window
// under it. None is taken down: without a window manager Wine waits two
// seconds for each top-level window to be withdrawn, far longer than the
// painting takes, and the end of the process takes them all down at once.
bool RenderAll(const std::wstring& skins, const CUiSetting& settings, const std::wstring& out, POINT origin)
{
    const DWORD pageStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    auto* product = new CPreviewMainWindow(skins, settings);
    if (!Open(*product, pageStyle, WS_EX_APPWINDOW, origin) || !Shoot(*product, out, L"product.png")) return false;

    auto* install = new CPreviewInstallWindow(skins, settings);
    if (!Open(*install, pageStyle, WS_EX_APPWINDOW, POINT{origin.x + WidthOf(*product), origin.y}) ||
        !Shoot(*install, out, L"install.png"))
        return false;

    auto* progress = new CPreviewProgressWindow(skins, settings);
    if (!Open(*progress, WS_POPUP | WS_VISIBLE, 0, POINT{origin.x, origin.y + HeightOf(*product)})) return false;
    progress->ShowRunning(kRunningPercent);
    if (!Shoot(*progress, out, L"progress.png")) return false;
    progress->ShowEnded(true);
    return Shoot(*progress, out, L"progress-done.png");
}

std::wstring WithBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 5) {
        fwprintf(stderr, L"usage: skin_preview SETTINGS.json SKIN_FOLDER OUT_FOLDER X,Y [FONT_FILE]\n");
        return 2;
    }
    POINT origin{};
    if (swscanf(argv[4], L"%ld,%ld", &origin.x, &origin.y) != 2) {
        fwprintf(stderr, L"not a screen point: %ls\n", argv[4]);
        return 2;
    }
    const std::wstring skins = WithBackslash(argv[2]);
    const std::wstring out = WithBackslash(argv[3]);

    // A skin that cannot be read makes the window base ask the user with a
    // box; a tool must say so instead.
    for (const wchar_t* name : {L"main.xml", L"install.xml", L"progress.xml"}) {
        if (!IsFile(skins + name)) {
            fwprintf(stderr, L"no %ls in %ls\n", name, skins.c_str());
            return 1;
        }
    }
    std::string document;
    if (!ReadFileBytes(argv[1], document)) {
        fwprintf(stderr, L"cannot read %ls\n", argv[1]);
        return 1;
    }
    CreateDirectoryW(out.c_str(), nullptr);
    const CUiSetting settings(document);

    // What start-up prepares before the first window, as far as painting
    // depends on it: DPI awareness, COM, GDI+, the skins' font, the module.
    SetProcessDPIAware();
    CoInitialize(nullptr);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    if (argc > 5 && AddFontResourceExW(argv[5], FR_PRIVATE, nullptr) == 0)
        fwprintf(stderr, L"cannot register the font %ls\n", argv[5]);
    ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
    // The pointer stays off the windows, so no control shows its hot look.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);

    const bool written = RenderAll(skins, settings, out, origin);
    fflush(stdout);
    fflush(stderr);
    // Ends here, windows and all (see RenderAll).
    ExitProcess(written ? 0 : 1);
}
