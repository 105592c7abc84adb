#include "ui/core/DrawKit.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "ui/core/WindowManagerUI.h"

using draw_test::Canvas;
using draw_test::Near;
using draw_test::WritePng;

namespace {

std::vector<uint32_t> Solid(int w, int h, uint32_t argb) { return std::vector<uint32_t>(w * h, argb); }

// Source of the nine-slice cases: red encodes the column, green the row,
// blue marks the middle, so any stretching of a border shows in the values.
uint32_t SliceSource(int x, int y, int w, int h, const RECT& c)
{
    bool middle = x >= c.left && x < w - c.right && y >= c.top && y < h - c.bottom;
    return 0xFF000000u | (x * 8) << 16 | (y * 12) << 8 | (middle ? 200 : 0);
}

class DrawKitTest : public ::testing::Test {
protected:
    void SetUp() override { m_folder = testing_support::ScratchFolder(L"drawkit"); }
    void TearDown() override { CDrawKit::ForceSoftwareAlphaBlend(false); }
    std::wstring m_folder;
};

TEST_F(DrawKitTest, NineSliceKeepsBordersUnstretched)
{
    const int w = 30, h = 20;
    const RECT c{2, 2, 15, 2};
    std::vector<uint32_t> px(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px[y * w + x] = SliceSource(x, y, w, h, c);
    std::wstring path = WritePng(m_folder, L"combo3_nr.png", w, h, px);

    CWindowManagerUI manager;
    Canvas canvas(360, 36);
    ImageDescriptor d;
    d.SetText(L"file='" + path + L"' corner='2,2,15,2'");
    ASSERT_TRUE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), d));
    auto expect = [&](int dx, int dy, int sx, int sy) {
        EXPECT_EQ(canvas.Pixel(dx, dy), SliceSource(sx, sy, w, h, c) & 0xFFFFFF) << dx << "," << dy;
    };
    // Corners are copies.
    for (int i = 0; i < 2; ++i) {
        expect(i, i, i, i);
        expect(359 - i, 35 - i, 29 - i, 19 - i);
    }
    expect(345, 0, 15, 0);
    // Left and right borders keep their columns over the whole height.
    for (int y = 2; y < 34; y += 5) {
        expect(0, y, 0, 2 + (y - 2) * 16 / 32);
        expect(1, y, 1, 2 + (y - 2) * 16 / 32);
        for (int i = 0; i < 15; ++i) EXPECT_EQ(draw_test::Red(canvas.Pixel(345 + i, y)), (15 + i) * 8);
    }
    // Top and bottom borders keep their rows along the whole width.
    for (int x = 2; x < 345; x += 37) {
        EXPECT_EQ(draw_test::Green(canvas.Pixel(x, 0)), 0);
        EXPECT_EQ(draw_test::Green(canvas.Pixel(x, 1)), 12);
        EXPECT_EQ(draw_test::Green(canvas.Pixel(x, 34)), 18 * 12);
        EXPECT_EQ(draw_test::Green(canvas.Pixel(x, 35)), 19 * 12);
    }
    // The middle is the source's middle, stretched.
    EXPECT_EQ(draw_test::Blue(canvas.Pixel(180, 18)), 200);
    EXPECT_EQ(draw_test::Blue(canvas.Pixel(2, 2)), 200);
    EXPECT_EQ(draw_test::Blue(canvas.Pixel(344, 33)), 200);

    // The alpha path slices the same way.
    canvas.Fill(0xFFFFFFFF);
    ImageDescriptor faded;
    faded.SetText(L"file='" + path + L"' corner='2,2,15,2' fade='254'");
    ASSERT_TRUE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), faded));
    for (int y = 2; y < 34; y += 7)
        for (int i = 0; i < 15; ++i) EXPECT_NEAR(draw_test::Red(canvas.Pixel(345 + i, y)), (15 + i) * 8, 2);
    EXPECT_NEAR(draw_test::Green(canvas.Pixel(100, 35)), 19 * 12, 2);
    EXPECT_NEAR(draw_test::Red(canvas.Pixel(1, 1)), 8, 2);
}

TEST_F(DrawKitTest, DescriptorPairsDestAndFade)
{
    std::wstring path = WritePng(m_folder, L"red.png", 4, 4, Solid(4, 4, 0xFFFF0000));
    CWindowManagerUI manager;
    Canvas canvas(40, 10);
    struct Case {
        std::wstring text;
        DWORD at5, at15, at30;
    } cases[] = {
        {L"file='" + path + L"'  dest='10,0,20,10'", 0xFFFFFF, 0xFF0000, 0xFFFFFF},
        {L"file='" + path + L"'dest='10,0,20,10'", 0xFF0000, 0xFF0000, 0xFF0000},
        {path, 0xFF0000, 0xFF0000, 0xFF0000},
        {L"file='" + path + L"' fade='0'", 0xFFFFFF, 0xFFFFFF, 0xFFFFFF},
        {L"file='" + path + L"' fade='128'", 0xFF7F7F, 0xFF7F7F, 0xFF7F7F},
        {L"file='" + path + L"' dest='10,0,900,900'", 0xFFFFFF, 0xFF0000, 0xFF0000},
    };
    for (const Case& c : cases) {
        canvas.Fill(0xFFFFFFFF);
        ImageDescriptor d;
        d.SetText(c.text);
        EXPECT_TRUE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), d));
        EXPECT_TRUE(Near(canvas.Pixel(5, 5), c.at5, 2)) << std::hex << canvas.Pixel(5, 5);
        EXPECT_TRUE(Near(canvas.Pixel(15, 5), c.at15, 2)) << std::hex << canvas.Pixel(15, 5);
        EXPECT_TRUE(Near(canvas.Pixel(30, 5), c.at30, 2)) << std::hex << canvas.Pixel(30, 5);
    }
    // A missing image fails now and is not looked for again.
    ImageDescriptor missing;
    missing.SetText(L"file='" + m_folder + L"nothing.png'");
    EXPECT_FALSE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), missing));
    EXPECT_TRUE(missing.parsed);
    WritePng(m_folder, L"nothing.png", 4, 4, Solid(4, 4, 0xFF00FF00));
    EXPECT_FALSE(CDrawKit::DrawImageDescriptor(canvas.Dc(), &manager, canvas.Rect(), canvas.Rect(), missing));
}

TEST_F(DrawKitTest, TilingHoleAndBlockCopy)
{
    std::vector<uint32_t> px(16);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) px[y * 4 + x] = 0xFF000000u | (x * 60) << 16 | (y * 60) << 8 | 10;
    std::wstring path = WritePng(m_folder, L"tile.png", 4, 4, px);
    ImageEntry* image = CDrawKit::LoadImage(path, nullptr, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->hasAlpha);
    Canvas canvas(18, 10);
    const RECT src{0, 0, 4, 4}, none{0, 0, 0, 0};
    CDrawKit::DrawBitmap(canvas.Dc(), image->bitmap, RECT{0, 0, 18, 10}, canvas.Rect(), src, none, false, 255,
                         false, true, true);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 18; ++x) ASSERT_EQ(canvas.Pixel(x, y), px[(y % 4) * 4 + x % 4] & 0xFFFFFF) << x << "," << y;

    // A hole leaves the middle alone and still draws the edges.
    canvas.Fill(0xFFFFFFFF);
    CDrawKit::DrawBitmap(canvas.Dc(), image->bitmap, RECT{0, 0, 18, 10}, canvas.Rect(), src, RECT{1, 1, 1, 1},
                         false, 255, true);
    EXPECT_EQ(canvas.Pixel(9, 5), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(0, 5), px[8] & 0xFFFFFF) << "source row 1 + 4 * 2 / 8 of the left edge";
    EXPECT_EQ(canvas.Pixel(17, 9), px[15] & 0xFFFFFF);

    // At its own size only the part inside the paint rectangle is copied.
    canvas.Fill(0xFFFFFFFF);
    CDrawKit::DrawBitmap(canvas.Dc(), image->bitmap, RECT{2, 2, 6, 6}, RECT{0, 0, 4, 4}, src, none, false);
    EXPECT_EQ(canvas.Pixel(3, 3), px[5] & 0xFFFFFF);
    EXPECT_EQ(canvas.Pixel(5, 5), 0xFFFFFFu);
    CDrawKit::FreeImage(image);
}

TEST_F(DrawKitTest, PremultipliedPixelsAndMask)
{
    // Straight (200,100,50) at alpha 128, an opaque pixel, and magenta.
    std::wstring path = WritePng(m_folder, L"alpha.png", 3, 1, {0x80C86432, 0xFF0A141E, 0xFFFF00FF});
    ImageEntry* image = CDrawKit::LoadImage(path, nullptr, 0xFFFF00FF);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->hasAlpha);
    const uint8_t* b = image->bits;
    EXPECT_EQ(b[0], 50 * 128 / 255);
    EXPECT_EQ(b[1], 100 * 128 / 255);
    EXPECT_EQ(b[2], 200 * 128 / 255);
    EXPECT_EQ(b[3], 128);
    EXPECT_EQ(b[4], 0x1E);
    EXPECT_EQ(b[6], 0x0A);
    EXPECT_EQ(b[7], 255);
    for (int i = 8; i < 12; ++i) EXPECT_EQ(b[i], 0) << "masked byte " << i;

    for (bool software : {false, true}) {
        CDrawKit::ForceSoftwareAlphaBlend(software);
        Canvas canvas(3, 1, 0xFF000000);
        CDrawKit::DrawBitmap(canvas.Dc(), image->bitmap, RECT{0, 0, 3, 1}, canvas.Rect(), RECT{0, 0, 3, 1},
                             RECT{0, 0, 0, 0}, true);
        EXPECT_TRUE(Near(canvas.Pixel(0, 0), 0x643219, 1)) << software << " " << std::hex << canvas.Pixel(0, 0);
        EXPECT_EQ(canvas.Pixel(1, 0), 0x0A141Eu) << software;
        Canvas white(3, 1);
        CDrawKit::DrawBitmap(white.Dc(), image->bitmap, RECT{0, 0, 3, 1}, white.Rect(), RECT{0, 0, 3, 1},
                             RECT{0, 0, 0, 0}, true);
        EXPECT_EQ(white.Pixel(2, 0), 0xFFFFFFu) << "the masked colour is transparent";
    }
    CDrawKit::FreeImage(image);
}

TEST_F(DrawKitTest, FillColorBlendsThroughBothBlendRoutines)
{
    for (bool software : {false, true}) {
        CDrawKit::ForceSoftwareAlphaBlend(software);
        Canvas white(8, 8), black(8, 8, 0xFF000000);
        const RECT r{2, 2, 6, 6};
        CDrawKit::FillColor(white.Dc(), r, 0x80FF0000);
        CDrawKit::FillColor(black.Dc(), r, 0x80FF0000);
        EXPECT_TRUE(Near(white.Pixel(3, 3), 0xFF7F7F, 2)) << software << " " << std::hex << white.Pixel(3, 3);
        EXPECT_TRUE(Near(black.Pixel(3, 3), 0x800000, 2)) << software << " " << std::hex << black.Pixel(3, 3);
        EXPECT_EQ(white.Pixel(1, 1), 0xFFFFFFu);
        EXPECT_EQ(white.Pixel(6, 6), 0xFFFFFFu);

        Canvas untouched(8, 8);
        auto before = untouched.Snapshot();
        CDrawKit::FillColor(untouched.Dc(), untouched.Rect(), 0x00FF0000);
        EXPECT_EQ(untouched.Snapshot(), before);
    }
    Canvas opaque(8, 8);
    CDrawKit::FillColor(opaque.Dc(), RECT{0, 0, 4, 8}, 0xFF102030);
    EXPECT_EQ(opaque.Pixel(3, 7), 0x102030u);
    EXPECT_EQ(opaque.Pixel(4, 0), 0xFFFFFFu);
}

TEST_F(DrawKitTest, GradientRunsTopToBottomWhateverTheDirection)
{
    for (bool vertical : {false, true}) {
        Canvas canvas(20, 64);
        CDrawKit::FillGradient(canvas.Dc(), canvas.Rect(), 0xFFFF0000, 0xFF0000FF, vertical, 64);
        EXPECT_TRUE(Near(canvas.Pixel(10, 0), 0xFF0000, 8)) << std::hex << canvas.Pixel(10, 0);
        EXPECT_TRUE(Near(canvas.Pixel(10, 63), 0x0000FF, 8)) << std::hex << canvas.Pixel(10, 63);
        EXPECT_EQ(canvas.Pixel(0, 32), canvas.Pixel(19, 32)) << "no change along a row";
        for (int y = 1; y < 64; ++y) ASSERT_LE(draw_test::Red(canvas.Pixel(10, y)), draw_test::Red(canvas.Pixel(10, y - 1)));
    }
    // The mean alpha of the two colours blends the gradient in.
    Canvas half(20, 64);
    CDrawKit::FillGradient(half.Dc(), half.Rect(), 0x80FF0000, 0x800000FF, false, 64);
    EXPECT_TRUE(Near(half.Pixel(10, 0), 0xFF7F7F, 8)) << std::hex << half.Pixel(10, 0);
    Canvas none(4, 4);
    auto before = none.Snapshot();
    CDrawKit::FillGradient(none.Dc(), none.Rect(), 0x00FF0000, 0x000000FF, false, 64);
    EXPECT_EQ(none.Snapshot(), before);
}

TEST_F(DrawKitTest, OutlinesAreInsideTheRectangle)
{
    Canvas canvas(30, 30);
    CDrawKit::DrawRect(canvas.Dc(), RECT{10, 10, 20, 20}, 1, 0xFF0000FF);
    for (auto p : {POINT{10, 10}, POINT{19, 10}, POINT{10, 19}, POINT{19, 19}, POINT{15, 10}})
        EXPECT_EQ(canvas.Pixel(p.x, p.y), 0x0000FFu) << p.x << "," << p.y;
    EXPECT_EQ(canvas.Pixel(15, 15), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(20, 20), 0xFFFFFFu);
    EXPECT_EQ(canvas.Pixel(9, 9), 0xFFFFFFu);

    canvas.Fill(0xFFFFFFFF);
    CDrawKit::DrawLine(canvas.Dc(), RECT{0, 5, 30, 5}, 1, 0xFF00FF00);
    EXPECT_EQ(canvas.Pixel(12, 5), 0x00FF00u);
    EXPECT_EQ(canvas.Pixel(12, 7), 0xFFFFFFu);

    canvas.Fill(0xFFFFFFFF);
    CDrawKit::DrawRoundRect(canvas.Dc(), RECT{0, 0, 30, 30}, 2, 12, 12, 0xFFFF0000);
    EXPECT_EQ(canvas.Pixel(15, 0), 0xFF0000u);
    EXPECT_EQ(canvas.Pixel(15, 29), 0xFF0000u);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFFFFu) << "the corner is rounded off";
    EXPECT_EQ(canvas.Pixel(15, 15), 0xFFFFFFu);
}

TEST_F(DrawKitTest, ClipScopesNestAndRestore)
{
    Canvas canvas(40, 40);
    {
        ClipScope round;
        CDrawKit::ClipToRoundRect(canvas.Dc(), canvas.Rect(), RECT{0, 0, 39, 39}, 20, 20, round);
        {
            ClipScope inner;
            CDrawKit::ClipToRect(canvas.Dc(), RECT{5, 5, 30, 30}, inner);
            CDrawKit::FillColor(canvas.Dc(), canvas.Rect(), 0xFFFF0000);
            EXPECT_EQ(canvas.Pixel(6, 20), 0xFF0000u);
            EXPECT_EQ(canvas.Pixel(35, 20), 0xFFFFFFu);
        }
        // The rounded clip of the outer scope is in force again.
        CDrawKit::FillColor(canvas.Dc(), canvas.Rect(), 0xFF0000FF);
        EXPECT_EQ(canvas.Pixel(35, 20), 0x0000FFu);
        EXPECT_EQ(canvas.Pixel(0, 0), 0xFFFFFFu);
        EXPECT_EQ(canvas.Pixel(39, 39), 0xFFFFFFu);
    }
    CDrawKit::FillColor(canvas.Dc(), canvas.Rect(), 0xFF00FF00);
    EXPECT_EQ(canvas.Pixel(0, 0), 0x00FF00u);
}

TEST_F(DrawKitTest, AdjustColorInHslSpace)
{
    struct Case {
        DWORD in;
        int h, s, l;
        DWORD out;
    } cases[] = {
        {0x80123456, 180, 100, 100, 0x80123456},
        {0xFFFF0000, 300, 100, 100, 0xFF00FF00},
        {0xFFFF0000, 60, 100, 100, 0xFF0000FF},
        {0xFF336699, 180, 100, 0, 0xFF000000},
        {0x7FFF0000, 180, 0, 100, 0x7F808080},
        {0xFF808080, 180, 100, 200, 0xFFFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(((CDrawKit::AdjustColor(c.in, c.h, c.s, c.l) >> 24) == (c.out >> 24)) &&
                    Near(CDrawKit::AdjustColor(c.in, c.h, c.s, c.l), c.out, 1))
            << std::hex << c.in << " -> " << CDrawKit::AdjustColor(c.in, c.h, c.s, c.l);
}

}  // namespace
