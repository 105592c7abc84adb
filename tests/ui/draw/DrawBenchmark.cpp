// Prints how long the drawing kit takes for the work a paint does most:
// decoding a skin image, nine-slice drawing on both paths, translucent
// fills and laying out marked-up text. Not a test: it asserts nothing and
// only reports numbers. Run: wine bench_ui_draw.exe --child bench

#include <cstdio>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "ui/core/DrawKit.h"
#include "ui/core/WindowManagerUI.h"

namespace {

using draw_test::Now;

template <typename Work>
void Measure(const char* what, int rounds, Work work)
{
    work();  // warm-up
    double start = Now();
    for (int i = 0; i < rounds; ++i) work();
    double each = (Now() - start) / rounds;
    std::printf("%-46s %10.1f us\n", what, each * 1e6);
}

}  // namespace

int RunBenchmark(const std::vector<std::wstring>&)
{
    std::wstring folder = testing_support::ScratchFolder(L"drawbench");
    std::vector<uint32_t> px(512 * 512);
    for (int i = 0; i < 512 * 512; ++i) px[i] = 0xFF000000u | (i * 2654435761u >> 8 & 0xFFFFFF);
    std::wstring opaque = draw_test::WritePng(folder, L"opaque.png", 512, 512, px);
    for (auto& p : px) p = (p & 0x00FFFFFF) | 0x80000000u;
    std::wstring translucent = draw_test::WritePng(folder, L"alpha.png", 512, 512, px);

    CWindowManagerUI manager;
    draw_test::Canvas canvas(800, 600);
    ImageEntry* solid = CDrawKit::LoadImage(opaque, nullptr, 0);
    ImageEntry* alpha = CDrawKit::LoadImage(translucent, nullptr, 0);
    if (!solid || !alpha) return 1;
    const RECT all = canvas.Rect(), src{0, 0, 512, 512}, corners{8, 8, 8, 8};

    Measure("LoadImage 512x512 PNG (noisy, 1 MB pixels)", 20, [&] {
        CDrawKit::FreeImage(CDrawKit::LoadImage(opaque, nullptr, 0));
    });
    Measure("DrawBitmap 512x512 at own size (block copy)", 200, [&] {
        CDrawKit::DrawBitmap(canvas.Dc(), solid->bitmap, RECT{0, 0, 512, 512}, all, src, RECT{}, false);
    });
    Measure("DrawBitmap nine-slice 800x600, opaque", 200, [&] {
        CDrawKit::DrawBitmap(canvas.Dc(), solid->bitmap, all, all, src, corners, false);
    });
    Measure("DrawBitmap nine-slice 800x600, AlphaBlend", 100, [&] {
        CDrawKit::DrawBitmap(canvas.Dc(), alpha->bitmap, all, all, src, corners, true);
    });
    CDrawKit::ForceSoftwareAlphaBlend(true);
    Measure("DrawBitmap nine-slice 800x600, software blend", 20, [&] {
        CDrawKit::DrawBitmap(canvas.Dc(), alpha->bitmap, all, all, src, corners, true);
    });
    CDrawKit::ForceSoftwareAlphaBlend(false);
    Measure("FillColor #80FF0000 800x600", 200, [&] { CDrawKit::FillColor(canvas.Dc(), all, 0x80FF0000); });
    Measure("FillGradient 800x600 opaque", 200,
            [&] { CDrawKit::FillGradient(canvas.Dc(), all, 0xFFFF0000, 0xFF0000FF, true, 64); });

    std::wstring paragraph;
    for (int i = 0; i < 40; ++i) paragraph += L"Some <b>bold</b> words and <a link>a link</a> wrap here. ";
    Measure("DrawMarkupText 2.4 KB in 400 px, draw", 50, [&] {
        RECT r{0, 0, 400, 600};
        RECT links[8];
        int count = 8;
        CDrawKit::DrawMarkupText(canvas.Dc(), &manager, r, paragraph, 0xFF000000, links, nullptr, count, 0);
    });
    CDrawKit::FreeImage(solid);
    CDrawKit::FreeImage(alpha);
    return 0;
}

REGISTER_CHILD_ROUTINE(L"bench", RunBenchmark);
