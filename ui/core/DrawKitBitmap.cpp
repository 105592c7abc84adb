#include "ui/core/DrawKit.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "ui/core/WindowManagerUI.h"

// Bitmaps, fills, shapes, clipping and colours.

namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Looked up once in "msimg32.dll"; null when the platform lacks them.
struct Msimg32Routines {
    AlphaBlendFn alphaBlend = nullptr;
    GradientFillFn gradientFill = nullptr;
    Msimg32Routines()
    {
        HMODULE module = LoadLibraryW(L"msimg32.dll");
        if (!module) return;
        alphaBlend = reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(GetProcAddress(module, "AlphaBlend")));
        gradientFill =
            reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")));
    }
};

const Msimg32Routines& Msimg32()
{
    static Msimg32Routines routines;
    return routines;
}

bool g_forceSoftwareBlend = false;

// AlphaBlend's contract done by hand: the destination and the stretched
// source are copied into DIBs, mixed pixel by pixel, and copied back.
BOOL SoftwareBlend(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy, int scx, int scy,
                   BYTE constantAlpha, bool perPixelAlpha)
{
    uint8_t* dstBits = nullptr;
    uint8_t* srcBits = nullptr;
    CBitmapHandle dstDib(CreateDib32(cx, cy, &dstBits));
    CBitmapHandle srcDib(CreateDib32(cx, cy, &srcBits));
    if (!dstDib || !srcDib || !dstBits || !srcBits) return FALSE;
    CMemoryDC dstDC(dest), srcDC(dest);
    if (!dstDC || !srcDC) return FALSE;
    CSelectScope selectDst(dstDC.Get(), dstDib.Get());
    CSelectScope selectSrc(srcDC.Get(), srcDib.Get());
    BitBlt(dstDC.Get(), 0, 0, cx, cy, dest, x, y, SRCCOPY);
    SetStretchBltMode(srcDC.Get(), COLORONCOLOR);
    StretchBlt(srcDC.Get(), 0, 0, cx, cy, source, sx, sy, scx, scy, SRCCOPY);
    GdiFlush();
    const unsigned ca = constantAlpha;
    const size_t count = static_cast<size_t>(cx) * cy;
    for (size_t i = 0; i < count; ++i) {
        uint8_t* d = dstBits + i * 4;
        const uint8_t* s = srcBits + i * 4;
        const unsigned sa = perPixelAlpha ? s[3] : 255;
        // Source pixels are premultiplied, so the source adds its colour
        // scaled by the constant alpha and the destination keeps what the
        // combined alpha leaves of it.
        const unsigned keep = 65025 - sa * ca;
        for (int c = 0; c < 4; ++c) {
            unsigned value = (s[c] * ca * 255 + d[c] * keep + 32512) / 65025;
            d[c] = static_cast<uint8_t>(std::min(value, 255u));
        }
    }
    return BitBlt(dest, x, y, cx, cy, dstDC.Get(), 0, 0, SRCCOPY);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool Meets(const RECT& a, const RECT& b)
{
    RECT scratch;
    return IntersectRect(&scratch, &a, &b) != FALSE;
}

// Everything one slice needs to be drawn by either path.
struct SliceTarget {
    HDC dc;
    HDC source;
    const RECT& paint;
    bool alphaPath;
    BYTE fade;
};

void DrawSlice(const SliceTarget& t, const RECT& dest, const RECT& source)
{
    const int dw = Width(dest), dh = Height(dest), sw = Width(source), sh = Height(source);
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !Meets(dest, t.paint)) return;
    if (t.alphaPath)
        CDrawKit::BlendBitmap(t.dc, dest.left, dest.top, dw, dh, t.source, source.left, source.top, sw, sh,
                              t.fade, true);
    else if (dw == sw && dh == sh)
        BitBlt(t.dc, dest.left, dest.top, dw, dh, t.source, source.left, source.top, SRCCOPY);
    else
        StretchBlt(t.dc, dest.left, dest.top, dw, dh, t.source, source.left, source.top, sw, sh, SRCCOPY);
}

// The middle slice, stretched or tiled.
void DrawMiddle(const SliceTarget& t, const RECT& dest, const RECT& source, bool xtiled, bool ytiled)
{
    const int sw = Width(source), sh = Height(source);
    if (Width(dest) <= 0 || Height(dest) <= 0 || sw <= 0 || sh <= 0 || !Meets(dest, t.paint)) return;
    if (xtiled && ytiled) {
        for (int y = dest.top; y < dest.bottom; y += sh) {
            const int th = std::min(sh, static_cast<int>(dest.bottom) - y);
            for (int x = dest.left; x < dest.right; x += sw) {
                const int tw = std::min(sw, static_cast<int>(dest.right) - x);
                DrawSlice(t, RECT{x, y, x + tw, y + th},
                          RECT{source.left, source.top, source.left + tw, source.top + th});
            }
        }
    } else if (xtiled) {
        for (int x = dest.left; x < dest.right; x += sw) {
            const int tw = std::min(sw, static_cast<int>(dest.right) - x);
            DrawSlice(t, RECT{x, dest.top, x + tw, dest.bottom},
                      RECT{source.left, source.top, source.left + tw, source.bottom});
        }
    } else if (ytiled) {
        for (int y = dest.top; y < dest.bottom; y += sh) {
            const int th = std::min(sh, static_cast<int>(dest.bottom) - y);
            DrawSlice(t, RECT{dest.left, y, dest.right, y + th},
                      RECT{source.left, source.top, source.right, source.top + th});
        }
    } else {
        DrawSlice(t, dest, source);
    }
}

double HueToChannel(double p, double q, double h)
{
    if (h < 0) h += 1;
    if (h > 1) h -= 1;
    if (h < 1.0 / 6) return p + (q - p) * 6 * h;
    if (h < 0.5) return q;
    if (h < 2.0 / 3) return p + (q - p) * (2.0 / 3 - h) * 6;
    return p;
}

}  // namespace

void CDrawKit::ForceSoftwareAlphaBlend(bool force) { g_forceSoftwareBlend = force; }

BOOL CDrawKit::BlendBitmap(HDC dest, int x, int y, int cx, int cy, HDC source, int sx, int sy, int scx,
                           int scy, BYTE constantAlpha, bool perPixelAlpha)
{
    if (cx <= 0 || cy <= 0 || scx <= 0 || scy <= 0) return FALSE;
    AlphaBlendFn platform = Msimg32().alphaBlend;
    if (platform && !g_forceSoftwareBlend) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, constantAlpha, static_cast<BYTE>(perPixelAlpha ? AC_SRC_ALPHA : 0)};
        return platform(dest, x, y, cx, cy, source, sx, sy, scx, scy, blend);
    }
    return SoftwareBlend(dest, x, y, cx, cy, source, sx, sy, scx, scy, constantAlpha, perPixelAlpha);
}

void CDrawKit::DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& dest, const RECT& paint, const RECT& source,
                          const RECT& corners, bool hasAlpha, BYTE fade, bool hole, bool xtiled, bool ytiled)
{
    if (!dc || !bitmap || IsRectEmpty(&dest) || IsRectEmpty(&source)) return;
    CMemoryDC memory(dc);
    if (!memory) return;
    CSelectScope select(memory.Get(), bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);

    const bool alphaPath = hasAlpha || fade < 255;
    SliceTarget t{dc, memory.Get(), paint, alphaPath, fade};
    const LONG cl = corners.left, ct = corners.top, cr = corners.right, cb = corners.bottom;
    const bool noCorners = cl == 0 && ct == 0 && cr == 0 && cb == 0;

    // 1. The opaque image at its own size: one block copy of what the paint needs.
    if (!alphaPath && noCorners && Width(dest) == Width(source) && Height(dest) == Height(source)) {
        RECT part;
        if (!IntersectRect(&part, &dest, &paint)) return;
        BitBlt(dc, part.left, part.top, Width(part), Height(part), memory.Get(),
               source.left + (part.left - dest.left), source.top + (part.top - dest.top), SRCCOPY);
        return;
    }
    // 2. The middle, unless it is a hole.
    if (!hole)
        DrawMiddle(t, RECT{dest.left + cl, dest.top + ct, dest.right - cr, dest.bottom - cb},
                   RECT{source.left + cl, source.top + ct, source.right - cr, source.bottom - cb}, xtiled, ytiled);
    // 3. The four edges, each stretched along its length only.
    if (cl > 0)
        DrawSlice(t, RECT{dest.left, dest.top + ct, dest.left + cl, dest.bottom - cb},
                  RECT{source.left, source.top + ct, source.left + cl, source.bottom - cb});
    if (ct > 0)
        DrawSlice(t, RECT{dest.left + cl, dest.top, dest.right - cr, dest.top + ct},
                  RECT{source.left + cl, source.top, source.right - cr, source.top + ct});
    if (cr > 0)
        DrawSlice(t, RECT{dest.right - cr, dest.top + ct, dest.right, dest.bottom - cb},
                  RECT{source.right - cr, source.top + ct, source.right, source.bottom - cb});
    if (cb > 0)
        DrawSlice(t, RECT{dest.left + cl, dest.bottom - cb, dest.right - cr, dest.bottom},
                  RECT{source.left + cl, source.bottom - cb, source.right - cr, source.bottom});
    // 4. The four corners, copied at their size.
    if (cl > 0 && ct > 0)
        DrawSlice(t, RECT{dest.left, dest.top, dest.left + cl, dest.top + ct},
                  RECT{source.left, source.top, source.left + cl, source.top + ct});
    if (cr > 0 && ct > 0)
        DrawSlice(t, RECT{dest.right - cr, dest.top, dest.right, dest.top + ct},
                  RECT{source.right - cr, source.top, source.right, source.top + ct});
    if (cl > 0 && cb > 0)
        DrawSlice(t, RECT{dest.left, dest.bottom - cb, dest.left + cl, dest.bottom},
                  RECT{source.left, source.bottom - cb, source.left + cl, source.bottom});
    if (cr > 0 && cb > 0)
        DrawSlice(t, RECT{dest.right - cr, dest.bottom - cb, dest.right, dest.bottom},
                  RECT{source.right - cr, source.bottom - cb, source.right, source.bottom});
}

void ImageDescriptor::GiveBack()
{
    if (lender) lender->ReturnLoan(this);
    lender = nullptr;
    image = nullptr;
    parsed = false;
}

bool CDrawKit::DrawImageDescriptor(HDC dc, CWindowManagerUI* manager, const RECT& control, const RECT& paint,
                                   ImageDescriptor& descriptor)
{
    if (!dc || descriptor.text.empty()) return false;
    // 1. Parse once and fetch the image; a failure is remembered. Without a
    //    manager nothing was asked, so nothing counts as failed yet: the
    //    lookup happens at the first paint with a manager.
    if (!descriptor.parsed) {
        if (!manager) return false;
        descriptor.parsed = true;
        descriptor.fields = ParseDescriptorText(descriptor.text);
        const DescriptorFields& f = descriptor.fields;
        const wchar_t* type = f.isResource && !f.resourceType.empty() ? f.resourceType.c_str() : nullptr;
        descriptor.image = manager->FindOrLoadImage(f.file, type, f.mask, f.hsl);
        if (descriptor.image) {
            descriptor.lender = manager;
            manager->RecordLoan(&descriptor);
        }
    }
    ImageEntry* image = descriptor.image;
    if (!image) return false;
    const DescriptorFields& f = descriptor.fields;
    // 2. The source within the image.
    RECT source{f.source.left, f.source.top, f.source.right, f.source.bottom};
    if (f.source.IsZero()) source = RECT{0, 0, image->width, image->height};
    source.right = std::min<LONG>(source.right, image->width);
    source.bottom = std::min<LONG>(source.bottom, image->height);
    // 3. The destination within the control.
    RECT dest = control;
    if (!f.dest.IsZero()) {
        dest.left = control.left + f.dest.left;
        dest.top = control.top + f.dest.top;
        dest.right = std::min<LONG>(control.right, control.left + f.dest.right);
        dest.bottom = std::min<LONG>(control.bottom, control.top + f.dest.bottom);
    }
    // 4. Draw when it shows at all.
    if (Meets(dest, control) && Meets(dest, paint)) {
        RECT corners{f.corner.left, f.corner.top, f.corner.right, f.corner.bottom};
        DrawBitmap(dc, image->bitmap, dest, paint, source, corners, image->hasAlpha, static_cast<BYTE>(f.fade),
                   f.hole, f.xtiled, f.ytiled);
    }
    return true;
}

void CDrawKit::FillColor(HDC dc, const RECT& rect, DWORD colour)
{
    const BYTE alpha = static_cast<BYTE>(colour >> 24);
    if (!dc || alpha == 0 || IsRectEmpty(&rect)) return;
    if (alpha == 255) {
        COLORREF old = SetBkColor(dc, ToColorRef(colour));
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        SetBkColor(dc, old);
        return;
    }
    // The blend takes premultiplied pixels; an unscaled colour would add
    // its full intensity and come out far too bright.
    uint8_t* bits = nullptr;
    CBitmapHandle pixel(CreateDib32(1, 1, &bits));
    if (!pixel || !bits) return;
    bits[0] = static_cast<uint8_t>((colour & 0xFF) * alpha / 255);
    bits[1] = static_cast<uint8_t>(((colour >> 8) & 0xFF) * alpha / 255);
    bits[2] = static_cast<uint8_t>(((colour >> 16) & 0xFF) * alpha / 255);
    bits[3] = alpha;
    DrawBitmap(dc, pixel.Get(), rect, rect, RECT{0, 0, 1, 1}, RECT{0, 0, 0, 0}, true, 255);
}

void CDrawKit::FillGradient(HDC dc, const RECT& rect, DWORD first, DWORD second, bool /*vertical*/, int steps)
{
    const unsigned alpha = ((first >> 24) + (second >> 24)) / 2;
    const int width = Width(rect), height = Height(rect);
    if (!dc || alpha == 0 || width <= 0 || height <= 0) return;

    // Below full alpha the gradient is drawn aside and blended in.
    HDC target = dc;
    RECT area = rect;
    uint8_t* bits = nullptr;
    CBitmapHandle buffer;
    std::unique_ptr<CMemoryDC> memory;
    std::unique_ptr<CSelectScope> select;
    if (alpha < 255) {
        buffer.Reset(CreateDib32(width, height, &bits));
        memory.reset(new CMemoryDC(dc));
        if (!buffer || !*memory) return;
        select.reset(new CSelectScope(memory->Get(), buffer.Get()));
        target = memory->Get();
        area = RECT{0, 0, width, height};
    }

    if (GradientFillFn gradient = Msimg32().gradientFill) {
        // The direction asked for is not honoured: the gradient always runs
        // from the first colour at the top to the second at the bottom.
        TRIVERTEX v[2] = {};
        v[0].x = area.left;
        v[0].y = area.top;
        v[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
        v[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
        v[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
        v[1].x = area.right;
        v[1].y = area.bottom;
        v[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
        v[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
        v[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
        GRADIENT_RECT gr{0, 1};
        gradient(target, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);
    } else {
        const int bands = steps < 16 ? 8 : 16;
        for (int i = 0; i < bands; ++i) {
            auto mix = [&](int shift) {
                int a = (first >> shift) & 0xFF, b = (second >> shift) & 0xFF;
                return static_cast<DWORD>(a + (b - a) * i / (bands - 1));
            };
            DWORD colour = 0xFF000000 | mix(16) << 16 | mix(8) << 8 | mix(0);
            RECT band{area.left, area.top + Height(area) * i / bands, area.right,
                      area.top + Height(area) * (i + 1) / bands};
            FillColor(target, band, colour);
        }
    }
    if (alpha < 255)
        BlendBitmap(dc, rect.left, rect.top, width, height, memory->Get(), 0, 0, width, height,
                    static_cast<BYTE>(alpha), false);
}

void CDrawKit::DrawLine(HDC dc, const RECT& rect, int width, DWORD colour, int style)
{
    if (!dc) return;
    CPenHandle pen(CreatePen(style, width, ToColorRef(colour)));
    if (!pen) return;
    CSelectScope select(dc, pen.Get());
    POINT old;
    MoveToEx(dc, rect.left, rect.top, &old);
    LineTo(dc, rect.right, rect.bottom);
    MoveToEx(dc, old.x, old.y, nullptr);
}

void CDrawKit::DrawRect(HDC dc, const RECT& rect, int width, DWORD colour)
{
    if (!dc || IsRectEmpty(&rect)) return;
    CPenHandle pen(CreatePen(PS_SOLID | PS_INSIDEFRAME, width, ToColorRef(colour)));
    if (!pen) return;
    CSelectScope selectPen(dc, pen.Get());
    CSelectScope selectBrush(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void CDrawKit::DrawRoundRect(HDC dc, const RECT& rect, int width, int ellipseWidth, int ellipseHeight,
                             DWORD colour)
{
    if (!dc || IsRectEmpty(&rect)) return;
    CPenHandle pen(CreatePen(PS_SOLID | PS_INSIDEFRAME, width, ToColorRef(colour)));
    if (!pen) return;
    CSelectScope selectPen(dc, pen.Get());
    CSelectScope selectBrush(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, ellipseWidth, ellipseHeight);
}

// Clipping ------------------------------------------------------------------

void ClipScope::Close()
{
    if (!m_open) return;
    m_open = false;
    // The clip region itself was saved, not just its bounding box, so a
    // rounded clip of an outer scope survives an inner rectangular one.
    SelectClipRgn(m_dc, m_oldRegion.Get());
    m_region.Reset();
    m_oldRegion.Reset();
    m_dc = nullptr;
}

void ClipScope::Open(HDC dc, const RECT& rect, HRGN region)
{
    Close();
    m_dc = dc;
    m_rect = rect;
    CRegionHandle saved(CreateRectRgn(0, 0, 0, 0));
    if (saved && GetClipRgn(dc, saved.Get()) == 1) m_oldRegion = std::move(saved);
    m_region.Reset(region);
    ExtSelectClipRgn(dc, region, RGN_AND);
    m_open = true;
}

void CDrawKit::ClipToRect(HDC dc, const RECT& rect, ClipScope& scope)
{
    if (!dc) return;
    HRGN region = CreateRectRgnIndirect(&rect);
    if (!region) return;
    scope.Open(dc, rect, region);
}

void CDrawKit::ClipToRoundRect(HDC dc, const RECT& rect, const RECT& round, int ellipseWidth, int ellipseHeight,
                               ClipScope& scope)
{
    if (!dc) return;
    HRGN region = CreateRectRgnIndirect(&rect);
    if (!region) return;
    CRegionHandle rounded(
        CreateRoundRectRgn(round.left, round.top, round.right + 1, round.bottom + 1, ellipseWidth, ellipseHeight));
    if (rounded) CombineRgn(region, region, rounded.Get(), RGN_AND);
    scope.Open(dc, rect, region);
}

// Colours ---------------------------------------------------------------------

DWORD CDrawKit::AdjustColor(DWORD colour, int hue, int saturation, int lightness)
{
    if (hue == 180 && saturation == 100 && lightness == 100) return colour;
    const double r = ((colour >> 16) & 0xFF) / 255.0, g = ((colour >> 8) & 0xFF) / 255.0, b = (colour & 0xFF) / 255.0;
    const double maxc = std::max({r, g, b}), minc = std::min({r, g, b});
    double h = 0, s = 0, l = (maxc + minc) / 2;
    if (maxc > minc) {
        const double d = maxc - minc;
        s = l > 0.5 ? d / (2 - maxc - minc) : d / (maxc + minc);
        if (maxc == r)
            h = (g - b) / d + (g < b ? 6 : 0);
        else if (maxc == g)
            h = (b - r) / d + 2;
        else
            h = (r - g) / d + 4;
        h /= 6;
    }
    h += (hue - 180) / 360.0;
    h -= std::floor(h);
    s = std::clamp(s * saturation / 100.0, 0.0, 1.0);
    l = std::clamp(l * lightness / 100.0, 0.0, 1.0);
    double nr = l, ng = l, nb = l;
    if (s > 0) {
        const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
        const double p = 2 * l - q;
        nr = HueToChannel(p, q, h + 1.0 / 3);
        ng = HueToChannel(p, q, h);
        nb = HueToChannel(p, q, h - 1.0 / 3);
    }
    auto byte = [](double v) { return static_cast<DWORD>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return (colour & 0xFF000000) | byte(nr) << 16 | byte(ng) << 8 | byte(nb);
}
