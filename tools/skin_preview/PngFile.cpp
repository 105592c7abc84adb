#include "PngFile.h"

#include <zlib.h>

#include <cstdio>
#include <memory>

namespace {

void PutBigEndian32(std::string& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Length, type, data and the CRC of type and data.
void PutChunk(std::string& out, const char type[4], const std::string& data)
{
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    std::string typed(type, 4);
    typed += data;
    out += typed;
    uLong crc = crc32(0L, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};

}  // namespace

std::string EncodePng(int width, int height, const uint8_t* bgrx)
{
    if (width <= 0 || height <= 0 || !bgrx) return std::string();
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);

    // 1. The rows as the format wants them: a filter byte (none), then RGB.
    std::string raw;
    raw.reserve(h * (1 + 3 * w));
    for (size_t y = 0; y < h; ++y) {
        raw += '\0';
        const uint8_t* pixel = bgrx + y * w * 4;
        for (size_t x = 0; x < w; ++x, pixel += 4) {
            raw += static_cast<char>(pixel[2]);
            raw += static_cast<char>(pixel[1]);
            raw += static_cast<char>(pixel[0]);
        }
    }

    // 2. One zlib stream for the image data.
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::string();
    packed.resize(packedSize);

    // 3. Signature, header (8-bit truecolour, no interlace), data, end.
    std::string header;
    PutBigEndian32(header, static_cast<uint32_t>(width));
    PutBigEndian32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", std::string());
    return png;
}

bool WritePngFile(const std::wstring& path, int width, int height, const uint8_t* bgrx)
{
    const std::string png = EncodePng(width, height, bgrx);
    if (png.empty()) return false;
    std::unique_ptr<FILE, FileCloser> file(_wfopen(path.c_str(), L"wb"));
    if (!file) return false;
    return fwrite(png.data(), 1, png.size(), file.get()) == png.size();
}
