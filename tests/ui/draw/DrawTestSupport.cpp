#include "tests/ui/draw/DrawTestSupport.h"

#include <zlib.h>

#include <cstdlib>

#include "tests/support/TestSupport.h"
#include "ui/core/GdiObjects.h"

namespace draw_test {

Canvas::Canvas(int width, int height, DWORD fill) : m_width(width), m_height(height)
{
    uint8_t* bits = nullptr;
    m_bitmap = CreateDib32(width, height, &bits);
    m_bits = reinterpret_cast<uint32_t*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

DWORD Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    return m_bits[y * m_width + x] & 0x00FFFFFF;
}

void Canvas::Fill(DWORD colour)
{
    GdiFlush();
    for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = colour;
}

std::vector<uint32_t> Canvas::Snapshot() const
{
    GdiFlush();
    return std::vector<uint32_t>(m_bits, m_bits + m_width * m_height);
}

namespace {

void Put32(std::string& out, uint32_t v)
{
    out += static_cast<char>(v >> 24);
    out += static_cast<char>(v >> 16);
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v);
}

void Chunk(std::string& out, const char* type, const std::string& data)
{
    Put32(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Put32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

}  // namespace

std::string MakePng(int width, int height, const std::vector<uint32_t>& argb)
{
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // filter: none
        for (int x = 0; x < width; ++x) {
            uint32_t p = argb[y * width + x];
            raw += static_cast<char>(p >> 16);
            raw += static_cast<char>(p >> 8);
            raw += static_cast<char>(p);
            raw += static_cast<char>(p >> 24);
        }
    }
    // Test pictures are far below zlib's 32-bit lengths (uLong is 32 bits
    // on Windows even in a 64-bit build).
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    compress(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
             static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    std::string header;
    Put32(header, width);
    Put32(header, height);
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8-bit RGBA, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", std::string());
    return png;
}

std::wstring WritePng(const std::wstring& folder, const std::wstring& name, int width, int height,
                      const std::vector<uint32_t>& argb)
{
    std::wstring path = folder + name;
    testing_support::WriteBytes(path, MakePng(width, height, argb));
    return path;
}

bool Near(DWORD a, DWORD b, int tolerance)
{
    return std::abs(Red(a) - Red(b)) <= tolerance && std::abs(Green(a) - Green(b)) <= tolerance &&
           std::abs(Blue(a) - Blue(b)) <= tolerance;
}

}  // namespace draw_test
