#include "ui/core/DrawKit.h"

#include <gdiplus.h>
#include <zlib.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "ui/core/FileByteSource.h"
#include "ui/core/ResourceLocation.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
// The skins' formats only: every other decoder, and the floating-point
// paths that pull the maths library in, would only add to the download.
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_ONLY_GIF
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include "stb_image.h"

// Image loading: finding an image's bytes, decoding them into a 32-bit
// premultiplied DIB section, and the GDI+ re-encoding of JPEG files that
// the decoder refuses (arithmetic-coded ones, for example).

namespace {

const size_t kMaxImageBytes = ResourceLocation::kMaxImageFileSize;
// Pixels one image may decode to (64 MiB as a 32-bit DIB). A few kilobytes
// of PNG can describe 16384 by 16384 pixels, a gigabyte of memory; the
// largest picture of the double-size skins has under a million.
const uint64_t kMaxImagePixels = 4096u * 4096u;

bool TooManyPixels(int width, int height)
{
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxImagePixels;
}

struct FoundBytes {
    std::string bytes;
    bool fromResourceSystem = true;
    std::wstring diskPath;              // set when the bytes are a file on disk
};

bool ReadWholeFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    CFileByteSource file;
    if (file.OpenName(path) != CFileByteSource::kOpened || file.Size() == 0 || file.Size() > kMaxImageBytes)
        return false;
    bytes.resize(static_cast<size_t>(file.Size()));
    if (file.ReadAt(0, &bytes[0], bytes.size())) return true;
    bytes.clear();
    return false;
}

// Loading steps 1 and 2: a resource or a skin file (archive or resource
// folder), or else the name as a plain path.
bool FindImageBytes(const std::wstring& name, const wchar_t* type, FoundBytes& found)
{
    if (name.empty()) return false;
    found.fromResourceSystem = true;
    found.diskPath.clear();
    if (type) {
        const wchar_t* id = name.c_str();
        if (name[0] >= L'0' && name[0] <= L'9') id = MAKEINTRESOURCEW(_wtoi(name.c_str()) & 0xFFFF);
        if (ResourceLocation::ReadResourceBytes(id, type, found.bytes) && found.bytes.size() <= kMaxImageBytes)
            return true;
    } else if (ResourceLocation::ReadSkinBytes(name, found.bytes)) {
        if (!ResourceLocation::SkinFromArchive()) found.diskPath = ResourceLocation::GetResourceFolder() + name;
        return true;
    }
    found.fromResourceSystem = false;
    if (!ReadWholeFile(name, found.bytes)) return false;
    found.diskPath = name;
    return true;
}

uint32_t Crc32(const void* bytes, size_t length)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    const Bytef* p = static_cast<const Bytef*>(bytes);
    // zlib takes lengths as uInt; feed large inputs in pieces.
    while (length > 0) {
        uInt piece = length > 0x40000000u ? 0x40000000u : static_cast<uInt>(length);
        crc = crc32(crc, p, piece);
        p += piece;
        length -= piece;
    }
    return static_cast<uint32_t>(crc);
}

std::wstring KeyText(uint32_t crc)
{
    wchar_t text[16];
    _snwprintf(text, 16, L"%08x", crc);
    return text;
}

std::string NameUtf8(const std::wstring& name)
{
    if (name.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0)
        WideCharToMultiByte(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), &out[0], n,
                            nullptr, nullptr);
    return out;
}

// GDI+ for the duration of one re-encoding; start-up and shutdown nest, so
// this is safe whether or not the application started GDI+ itself.
class CGdiplusSession {
public:
    CGdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CGdiplusSession()
    {
        if (m_ok) Gdiplus::GdiplusShutdown(m_token);
    }
    CGdiplusSession(const CGdiplusSession&) = delete;
    CGdiplusSession& operator=(const CGdiplusSession&) = delete;
    bool Ok() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

struct ComRelease {
    void operator()(IUnknown* p) const
    {
        if (p) p->Release();
    }
};

bool JpegEncoder(CLSID& clsid)
{
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<BYTE> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/jpeg") == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Loading step 6: the file the decoder refused, decoded by GDI+, drawn
// into a plain 32-bit bitmap and saved as a baseline JPEG at path. It is
// written under a name of its own first and moved into place when whole,
// so that a cut write never leaves a broken file under the final name.
bool ReencodeJpeg(const std::wstring& sourcePath, const std::wstring& path)
{
    CGdiplusSession gdiplus;
    if (!gdiplus.Ok()) return false;
    Gdiplus::Bitmap source(sourcePath.c_str());
    if (source.GetLastStatus() != Gdiplus::Ok) return false;
    int width = static_cast<int>(source.GetWidth());
    int height = static_cast<int>(source.GetHeight());
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if ((width > screenWidth && height > screenHeight) || (width == 0 && height == 0)) {
        width = screenWidth;
        height = screenHeight;
    }
    if (width <= 0 || height <= 0 || TooManyPixels(width, height)) return false;
    Gdiplus::Bitmap target(width, height, PixelFormat32bppARGB);
    if (target.GetLastStatus() != Gdiplus::Ok) return false;
    {
        Gdiplus::Graphics graphics(&target);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQuality);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        if (graphics.DrawImage(&source, 0, 0, width, height) != Gdiplus::Ok) return false;
    }
    CLSID encoder;
    if (!JpegEncoder(encoder)) return false;
    wchar_t suffix[32];
    _snwprintf(suffix, 32, L".%lu.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    const std::wstring partial = path + suffix;
    if (target.Save(partial.c_str(), &encoder, nullptr) != Gdiplus::Ok) {
        DeleteFileW(partial.c_str());
        return false;
    }
    if (!MoveFileExW(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

std::wstring TemporaryFolder()
{
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    return n > 0 && n <= MAX_PATH ? std::wstring(buffer, n) : std::wstring();
}

// Loading steps 4 and 5: decode and convert into a new entry, or null.
ImageEntry* DecodeIntoEntry(const std::string& bytes, DWORD mask)
{
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) return nullptr;
    int width = 0, height = 0, channels = 0;
    // The size is read from the header before anything is allocated.
    if (stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                              &width, &height, &channels) &&
        TooManyPixels(width, height))
        return nullptr;
    std::unique_ptr<stbi_uc, void (*)(void*)> pixels(
        stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                              &width, &height, &channels, 4),
        stbi_image_free);
    if (!pixels || width <= 0 || height <= 0) return nullptr;

    uint8_t* bits = nullptr;
    HBITMAP bitmap = CreateDib32(width, height, &bits);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }

    auto* entry = new ImageEntry;
    entry->bitmap = bitmap;
    entry->bits = static_cast<uint8_t*>(bits);
    entry->width = width;
    entry->height = height;
    entry->mask = mask;
    const stbi_uc* in = pixels.get();
    uint8_t* out = entry->bits;
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i, in += 4, out += 4) {
        unsigned r = in[0], g = in[1], b = in[2], a = in[3];
        if (a < 255) {
            r = r * a / 255;
            g = g * a / 255;
            b = b * a / 255;
            entry->hasAlpha = true;
        }
        out[0] = static_cast<uint8_t>(b);
        out[1] = static_cast<uint8_t>(g);
        out[2] = static_cast<uint8_t>(r);
        out[3] = static_cast<uint8_t>(a);
        DWORD value = static_cast<DWORD>(out[0]) | static_cast<DWORD>(out[1]) << 8 |
                      static_cast<DWORD>(out[2]) << 16 | static_cast<DWORD>(out[3]) << 24;
        if (value == mask) {
            out[0] = out[1] = out[2] = out[3] = 0;
            entry->hasAlpha = true;
        }
    }
    GdiFlush();
    return entry;
}

ImageEntry* LoadImageAttempt(const std::wstring& name, const wchar_t* type, DWORD mask,
                             std::wstring* key, bool retry)
{
    // 1-2. The bytes: resource, skin file or plain path.
    FoundBytes found;
    if (!FindImageBytes(name, type, found)) return nullptr;
    // 3. The key of the bytes.
    const uint32_t crc = Crc32(found.bytes.data(), found.bytes.size());
    if (key) *key = KeyText(crc);
    // 4-5. Decode and convert.
    ImageEntry* entry = DecodeIntoEntry(found.bytes, mask);
    if (!entry) {
        // 6. A JPEG file on disk that the decoder refuses is re-encoded
        // once into the temporary folder and loaded from there, now and on
        // later runs. A mended file that no longer loads is made anew.
        const std::string& b = found.bytes;
        if (retry || found.diskPath.empty() || b.size() < 3 || static_cast<uint8_t>(b[0]) != 0xFF ||
            static_cast<uint8_t>(b[1]) != 0xD8)
            return nullptr;
        std::wstring folder = TemporaryFolder();
        if (folder.empty()) return nullptr;
        wchar_t fileName[32];
        _snwprintf(fileName, 32, L"fixed_%x.jpg", crc);
        std::wstring fixedPath = folder + fileName;
        if (GetFileAttributesW(fixedPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            entry = LoadImageAttempt(fixedPath, nullptr, mask, nullptr, true);
        if (!entry) {
            if (!ReencodeJpeg(found.diskPath, fixedPath)) return nullptr;
            entry = LoadImageAttempt(fixedPath, nullptr, mask, nullptr, true);
        }
        if (!entry) return nullptr;
    }
    // 7. The entry remembers where it came from and under which key.
    entry->name = name;
    entry->resourceType = type ? type : L"";
    entry->fromResourceSystem = found.fromResourceSystem;
    entry->crc = crc;
    entry->key = KeyText(crc);
    entry->mask = mask;
    return entry;
}

}  // namespace

std::wstring CDrawKit::Crc32Key(const void* bytes, size_t length) { return KeyText(Crc32(bytes, length)); }

ImageEntry* CDrawKit::LoadImage(const std::wstring& name, const wchar_t* type, DWORD mask, std::wstring* key)
{
    return LoadImageAttempt(name, type, mask, key, false);
}

void CDrawKit::FreeImage(ImageEntry* entry)
{
    if (!entry) return;
    if (entry->bitmap) DeleteObject(entry->bitmap);
    delete entry;
}

std::wstring CDrawKit::ImageKey(const std::wstring& name, const wchar_t* type)
{
    FoundBytes found;
    if (FindImageBytes(name, type, found)) return KeyText(Crc32(found.bytes.data(), found.bytes.size()));
    std::string utf8 = NameUtf8(name);
    return KeyText(Crc32(utf8.data(), utf8.size()));
}
