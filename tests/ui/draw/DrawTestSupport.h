#pragma once

// A real 32-bit DIB to draw into and read back, and real PNG files made
// with zlib, for the drawing tests.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace draw_test {

class Canvas {
public:
    Canvas(int width, int height, DWORD fill = 0xFFFFFFFF);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return m_dc; }
    RECT Rect() const { return RECT{0, 0, m_width, m_height}; }
    // 0x00RRGGBB of the pixel (the alpha byte is dropped).
    DWORD Pixel(int x, int y) const;
    void Fill(DWORD colour);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::vector<uint32_t> Snapshot() const;

private:
    int m_width, m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    uint32_t* m_bits = nullptr;
};

// A PNG of straight (not premultiplied) 0xAARRGGBB pixels, row by row.
std::string MakePng(int width, int height, const std::vector<uint32_t>& argb);
std::wstring WritePng(const std::wstring& folder, const std::wstring& name, int width, int height,
                      const std::vector<uint32_t>& argb);

inline int Red(DWORD c) { return (c >> 16) & 0xFF; }
inline int Green(DWORD c) { return (c >> 8) & 0xFF; }
inline int Blue(DWORD c) { return c & 0xFF; }
// True when every channel of a is within tolerance of b.
bool Near(DWORD a, DWORD b, int tolerance);

// Seconds from the performance counter, for the benchmarks.
inline double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace draw_test
