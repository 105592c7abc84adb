#pragma once

// The off-screen surface a window is painted into before it is copied to
// the screen: a memory DC with a bitmap selected, either compatible with
// the window's DC or a 32-bit top-down DIB whose pixels can be reached (for
// layered windows, whose alpha is fixed up by hand). It owns both and
// deletes them in the right order. UI thread only.

#include <windows.h>

#include <cstdint>

class CBackBuffer {
public:
    CBackBuffer() = default;
    ~CBackBuffer() { Reset(); }
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // Keeps the surface when it already has this size and kind, else makes
    // a new one. False when it cannot be made.
    bool Ensure(HDC compatibleWith, int width, int height, bool dib32);
    void Reset();

    HDC Dc() const { return m_dc; }
    uint8_t* Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    bool m_dib32 = false;
};
