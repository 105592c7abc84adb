// The baseline of the launch, idle and memory figures of scripts/bench: the
// least a Win32 program can do to show an 800x600 window with a picture in
// it. It makes one bitmap once and paints it on every WM_PAINT.

#include <windows.h>

namespace {

const int kWidth = 800;
const int kHeight = 600;
HBITMAP g_picture = nullptr;

// A colour gradient with a frame, so that a capture of the window is not a
// flat colour that a half-painted window could match.
HBITMAP MakePicture()
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            bool frame = x < 8 || y < 8 || x >= kWidth - 8 || y >= kHeight - 8;
            DWORD r = static_cast<DWORD>(x * 255 / kWidth), g = static_cast<DWORD>(y * 255 / kHeight);
            pixels[y * kWidth + x] = frame ? 0x202020u : (r << 16) | (g << 8) | 0xC0u;
        }
    return bitmap;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, g_picture);
        BitBlt(dc, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show)
{
    g_picture = MakePicture();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.lpszClassName = L"BareWindow";
    RegisterClassW(&windowClass);
    // A pop-up of exactly 800x600, as the skinned windows are.
    int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    HWND window = CreateWindowExW(WS_EX_APPWINDOW, L"BareWindow", L"Bare", WS_POPUP | WS_VISIBLE, x,
                                  y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(g_picture);
    return 0;
}
