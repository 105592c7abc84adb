#pragma once

// Stateless drawing on a GDI device context: image loading into 32-bit
// premultiplied DIB sections, image descriptors with nine-slice drawing,
// fills, outlines, clipping and text. UI thread only; the two routines
// looked up in "msimg32.dll" are kept in process-wide variables.
//
// The routines are split over three sources along their seams:
// DrawKitImage.cpp (loading, keys), DrawKitBitmap.cpp (bitmaps, fills,
// shapes, clipping, colours) and DrawKitText.cpp (plain and marked-up text).

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/DescriptorGrammar.h"
#include "ui/core/GdiObjects.h"

class CWindowManagerUI;

// One decoded image, owned by an image cache of a window manager.
struct ImageEntry {
    HBITMAP bitmap = nullptr;           // 32-bit top-down DIB, premultiplied BGRA
    uint8_t* bits = nullptr;            // the DIB's pixels
    std::vector<uint8_t> sourceBits;    // unadjusted pixels, only for hsl images
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    bool colourAdjust = false;
    std::wstring resourceType;
    std::wstring name;
    bool fromResourceSystem = true;
    std::wstring key;                   // CRC-32 of the file's bytes, "%08x"
    uint32_t crc = 0;
    DWORD mask = 0;
    int refCount = 1;
};

// One image attribute of a control. The text is parsed once a manager is
// there to ask; a parse whose image could not be had is not retried until
// the text changes. The descriptor holds one counted reference to its
// image and is the only place that gives it back: on a new text, on
// GiveBack and when it dies, to the manager that lent it (which may no
// longer be the control's manager, after DeleteLater for example). A
// manager that dies first takes its loans back, so a descriptor never
// points into a dead cache.
struct ImageDescriptor {
    std::wstring text;
    bool parsed = false;
    ImageEntry* image = nullptr;        // non-owning: the lender's cache owns it
    CWindowManagerUI* lender = nullptr; // the manager whose cache holds image
    DescriptorFields fields;

    ImageDescriptor() = default;
    // A copy shares the text only; it takes its own reference when painted.
    ImageDescriptor(const ImageDescriptor& other) : text(other.text) {}
    ImageDescriptor& operator=(const ImageDescriptor& other)
    {
        if (this != &other) SetText(other.text);
        return *this;
    }
    ~ImageDescriptor() { GiveBack(); }

    void SetText(const std::wstring& value)
    {
        if (value == text) return;
        Reset();
        text = value;
    }
    void Reset()
    {
        GiveBack();
        text.clear();
        fields = DescriptorFields();
    }
    // Returns the image to its lender and leaves the text to be parsed
    // again at the next paint.
    void GiveBack();
};

// A clip region in force for one scope: closing it puts back the clip that
// was there before and deletes the regions it made.
class ClipScope {
public:
    ClipScope() = default;
    ~ClipScope() { Close(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    void Close();

private:
    friend class CDrawKit;
    // Saves the clip in force, then intersects it with region (owned).
    void Open(HDC dc, const RECT& rect, HRGN region);
    HDC m_dc = nullptr;
    RECT m_rect{};
    CRegionHandle m_region;
    CRegionHandle m_oldRegion;          // null when no clip region was set
    bool m_open = false;
};

class CDrawKit {
public:
    // Images ------------------------------------------------------------
    // Loads one image: a resource of the given type when type is not null
    // (name is then a decimal id or a resource name), else a skin file or a
    // plain path. The key of the file's bytes is handed back through key.
    static ImageEntry* LoadImage(const std::wstring& name, const wchar_t* type, DWORD mask,
                                 std::wstring* key = nullptr);
    static void FreeImage(ImageEntry* entry);
    // The cache key of an image name: the CRC-32 of its bytes when they can
    // be found, else of the name in UTF-8.
    static std::wstring ImageKey(const std::wstring& name, const wchar_t* type = nullptr);
    // The standard CRC-32 as eight lower-case hexadecimal digits.
    static std::wstring Crc32Key(const void* bytes, size_t length);

    // Descriptors and bitmaps -----------------------------------------------
    static bool DrawImageDescriptor(HDC dc, CWindowManagerUI* manager, const RECT& control,
                                    const RECT& paint, ImageDescriptor& descriptor);
    static void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint,
                           const RECT& source, const RECT& corners, bool hasAlpha, BYTE fade = 255,
                           bool hole = false, bool xtiled = false, bool ytiled = false);

    // Fills and shapes -----------------------------------------------------
    static void FillColor(HDC dc, const RECT& rect, DWORD colour);
    static void FillGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool vertical,
                             int steps);
    static void DrawLine(HDC dc, const RECT& rect, int width, DWORD colour, int style = PS_SOLID);
    static void DrawRect(HDC dc, const RECT& rect, int width, DWORD colour);
    static void DrawRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth,
                              int ellipseHeight, DWORD colour);

    // Clipping ---------------------------------------------------------------
    static void ClipToRect(HDC dc, const RECT& rect, ClipScope& scope);
    static void ClipToRoundRect(HDC dc, const RECT& rect, const RECT& round, int ellipseWidth,
                                int ellipseHeight, ClipScope& scope);

    // Colours ------------------------------------------------------------------
    // Hue 0..360 (180 neutral), saturation and lightness 0..200 (100 neutral).
    static DWORD AdjustColor(DWORD colour, int hue, int saturation, int lightness);
    // 0xAARRGGBB to the platform's 0x00BBGGRR.
    static COLORREF ToColorRef(DWORD colour)
    {
        return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    }

    // Text -----------------------------------------------------------------------
    static void DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rect, const std::wstring& text,
                              DWORD colour, int fontId, UINT format);
    // Inline markup. links/linkTexts receive up to linkCount rectangles and
    // their targets; linkCount comes back as the number filled. With
    // DT_CALCRECT nothing is drawn and rect receives the extent.
    static void DrawMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rect, const std::wstring& text,
                               DWORD colour, RECT* links, std::wstring* linkTexts, int& linkCount,
                               UINT format);

    // The replacement of the platform's AlphaBlend is used when the platform
    // lacks it; tests force it to compare both.
    static void ForceSoftwareAlphaBlend(bool force);
    // AlphaBlend's contract: source-over with premultiplied source pixels
    // (when perPixelAlpha) and a constant alpha.
    static BOOL BlendBitmap(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy,
                            int scx, int scy, BYTE constantAlpha, bool perPixelAlpha);
};
