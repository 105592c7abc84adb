#include "ui/core/BackBuffer.h"

#include "ui/core/GdiObjects.h"

bool CBackBuffer::Ensure(HDC compatibleWith, int width, int height, bool dib32)
{
    if (m_dc && width == m_width && height == m_height && dib32 == m_dib32) return true;
    Reset();
    if (width <= 0 || height <= 0) return false;
    m_dc = CreateCompatibleDC(compatibleWith);
    if (!m_dc) return false;
    m_bitmap = dib32 ? CreateDib32(width, height, &m_bits) : CreateCompatibleBitmap(compatibleWith, width, height);
    if (!m_bitmap) {
        Reset();
        return false;
    }
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
    m_width = width;
    m_height = height;
    m_dib32 = dib32;
    return true;
}

void CBackBuffer::Reset()
{
    if (m_dc && m_oldBitmap) SelectObject(m_dc, m_oldBitmap);
    if (m_bitmap) DeleteObject(m_bitmap);
    if (m_dc) DeleteDC(m_dc);
    m_dc = nullptr;
    m_bitmap = nullptr;
    m_oldBitmap = nullptr;
    m_bits = nullptr;
    m_width = m_height = 0;
    m_dib32 = false;
}
