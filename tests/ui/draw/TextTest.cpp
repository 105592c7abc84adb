#include "ui/core/DrawKit.h"

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "ui/core/WindowManagerUI.h"

using draw_test::Canvas;

namespace {

int ChangedPixels(const Canvas& canvas, const RECT& area, DWORD background = 0xFFFFFF)
{
    int changed = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (canvas.Pixel(x, y) != background) ++changed;
    return changed;
}

RECT Extent(CWindowManagerUI& manager, HDC dc, const std::wstring& text, int width, UINT format = 0)
{
    RECT rect{0, 0, width, 1000};
    int count = 0;
    CDrawKit::DrawMarkupText(dc, &manager, rect, text, 0xFF000000, nullptr, nullptr, count, format | DT_CALCRECT);
    return rect;
}

TEST(Text, PlainTextReplacesLanguageTokensAndKeepsAmpersands)
{
    CWindowManagerUI manager;
    CWindowManagerUI::SetLanguageString(7, L"Hello");
    Canvas token(120, 30), literal(120, 30), amp(120, 30), prefixed(120, 30);
    RECT r{0, 0, 120, 30};
    CDrawKit::DrawPlainText(token.Dc(), &manager, r, L"%{7}", 0xFF000000, 0, DT_SINGLELINE);
    r = RECT{0, 0, 120, 30};
    CDrawKit::DrawPlainText(literal.Dc(), &manager, r, L"Hello", 0xFF000000, 0, DT_SINGLELINE);
    EXPECT_GT(ChangedPixels(token, token.Rect()), 10);
    EXPECT_EQ(token.Snapshot(), literal.Snapshot());

    // With DT_NOPREFIX the ampersand is drawn, not turned into an underline.
    r = RECT{0, 0, 120, 30};
    CDrawKit::DrawPlainText(amp.Dc(), &manager, r, L"&&A", 0xFF000000, 0, DT_SINGLELINE);
    RECT calc{0, 0, 120, 30};
    HDC dc = prefixed.Dc();
    HGDIOBJ old = SelectObject(dc, manager.FontById(0));
    DrawTextW(dc, L"&&A", 3, &calc, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    SelectObject(dc, old);
    EXPECT_GT(ChangedPixels(amp, RECT{0, 0, calc.right, 30}), 0);
    RECT single{0, 0, 120, 30};
    old = SelectObject(dc, manager.FontById(0));
    DrawTextW(dc, L"&A", 2, &single, DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    EXPECT_GT(calc.right, single.right) << "two ampersands and a letter are three glyphs";

    // The colour is the given one without its alpha.
    Canvas red(120, 30);
    r = RECT{0, 0, 120, 30};
    manager.RegisterFont(31, L"Arial", 24, true, false, false, false);
    CDrawKit::DrawPlainText(red.Dc(), &manager, r, L"MMMM", 0x01FF0000, 31, DT_SINGLELINE);
    int reddish = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (red.Pixel(x, y) == 0xFF0000u) ++reddish;
    EXPECT_GT(reddish, 20);
}

TEST(Text, MarkupWrapsWordsAndReturnsLinks)
{
    CWindowManagerUI manager;
    Canvas canvas(200, 200);
    const RECT one = Extent(manager, canvas.Dc(), L"word", 200);
    const int lineHeight = one.bottom;
    ASSERT_GT(lineHeight, 0);
    RECT wrapped = Extent(manager, canvas.Dc(), L"word word word word word word word word", 100);
    EXPECT_GE(wrapped.bottom, 3 * lineHeight);
    EXPECT_LE(wrapped.right, 100);
    RECT single = Extent(manager, canvas.Dc(), L"word word word word word word word word", 100, DT_SINGLELINE);
    EXPECT_EQ(single.bottom, lineHeight);
    EXPECT_GT(single.right, 100);
    EXPECT_EQ(Extent(manager, canvas.Dc(), L"a<n>b<n>c", 200).bottom, 3 * lineHeight);
    EXPECT_EQ(Extent(manager, canvas.Dc(), L"a<p 10>b", 200).bottom, 2 * lineHeight + 10);
    EXPECT_EQ(Extent(manager, canvas.Dc(), L"a<y 40>", 200).bottom, 40);
    EXPECT_EQ(Extent(manager, canvas.Dc(), L"<x 30>", 200).right, 30);
    // A word wider than the line is cut rather than overflowing.
    RECT longWord = Extent(manager, canvas.Dc(), std::wstring(60, L'W'), 50);
    EXPECT_LE(longWord.right, 50);
    EXPECT_GT(longWord.bottom, lineHeight);

    RECT rect{0, 0, 200, 200};
    RECT links[4];
    std::wstring targets[4];
    int count = 4;
    CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, L"see <a http://x/>here</a> and <a second>there</a>",
                             0xFF000000, links, targets, count, 0);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(targets[0], L"http://x/");
    EXPECT_EQ(targets[1], L"second");
    EXPECT_LT(links[0].left, links[0].right);
    EXPECT_LE(links[0].right, links[1].left);
    EXPECT_EQ(links[0].top, 0);
    EXPECT_EQ(links[0].bottom, lineHeight);
    // The link is drawn in the manager's link colour.
    int blue = 0;
    for (int y = links[0].top; y < links[0].bottom; ++y)
        for (int x = links[0].left; x < links[0].right; ++x)
            if (draw_test::Blue(canvas.Pixel(x, y)) > 200 && draw_test::Red(canvas.Pixel(x, y)) < 60) ++blue;
    EXPECT_GT(blue, 5);
    EXPECT_EQ(ChangedPixels(canvas, RECT{0, lineHeight + 1, 200, 200}), 0);

    // A link broken over two lines gives a rectangle on each; the capacity holds.
    canvas.Fill(0xFFFFFFFF);
    rect = RECT{0, 0, 60, 200};
    count = 1;
    CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, L"<a t>word word word</a>", 0xFF000000, links, targets,
                             count, 0);
    EXPECT_EQ(count, 1);
    rect = RECT{0, 0, 60, 200};
    count = 4;
    CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, L"<a t>word word word</a>", 0xFF000000, links, targets,
                             count, 0);
    EXPECT_GE(count, 2);
    EXPECT_EQ(targets[1], L"t");
    EXPECT_GT(links[1].top, links[0].top);
}

TEST(Text, MarkupTagsChangeTheDrawing)
{
    CWindowManagerUI manager;
    Canvas canvas(300, 60);
    RECT plain = Extent(manager, canvas.Dc(), L"Bold text", 300);
    RECT bold = Extent(manager, canvas.Dc(), L"<b>Bold text</b>", 300);
    EXPECT_GT(bold.right, plain.right);
    EXPECT_EQ(Extent(manager, canvas.Dc(), L"{b}Bold text{/b}", 300).right, bold.right);
    RECT big = Extent(manager, canvas.Dc(), L"<f Arial 30 bold>Bold text</f>", 300);
    EXPECT_GT(big.bottom, plain.bottom);
    // Raw text shows its tags as text.
    RECT raw = Extent(manager, canvas.Dc(), L"<r><b></r>", 300);
    RECT literal{0, 0, 300, 100};
    HGDIOBJ old = SelectObject(canvas.Dc(), manager.DefaultFontEntry()->font);
    DrawTextW(canvas.Dc(), L"<b>", 3, &literal, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(canvas.Dc(), old);
    EXPECT_NEAR(raw.right, literal.right, 1);

    RECT rect = canvas.Rect();
    int count = 0;
    CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, L"<c #FF00FF00>MMMM</c>", 0xFF000000, nullptr, nullptr,
                             count, 0);
    int green = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x)
            if (canvas.Pixel(x, y) == 0x00FF00u) ++green;
    EXPECT_GT(green, 5);

    // An inline image at its size.
    std::wstring folder = testing_support::ScratchFolder(L"markupimage");
    std::wstring path = draw_test::WritePng(folder, L"dot.png", 6, 6, std::vector<uint32_t>(36, 0xFFFF0000));
    canvas.Fill(0xFFFFFFFF);
    rect = canvas.Rect();
    CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, L"<i file='" + path + L"'>", 0xFF000000, nullptr, nullptr,
                             count, 0);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.Pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(canvas.Pixel(6, 6), 0xFFFFFFu);
}

TEST(Text, MalformedMarkupNeverCrashes)
{
    CWindowManagerUI manager;
    Canvas canvas(120, 120);
    std::wstring deep;
    for (int i = 0; i < 5000; ++i) deep += i % 2 ? L"<b>" : L"{f Arial " + std::to_wstring(8 + i % 40) + L"}";
    deep += L"deep";
    const std::wstring inputs[] = {
        L"<b", L"</b></b></a></c>x", L"{c #zz}x{/c}", L"<f 99>x</f>", L"<i file='nothing.png'>x",
        L"<i bogus>", L"<r>raw <b> text", L"<", L"{", L"<>", L"</>", L"<x 99999999999>x", L"<p -5>x",
        L"<y 99999999>x", L"<a>x</a>", L"<a ", L"<z unknown>x", L"<s>o<s>p", L"%{", L"\n\r\n\t", deep,
        std::wstring(3000, L'<'), std::wstring(2000, L'W'),
    };
    for (const std::wstring& input : inputs) {
        RECT rect = canvas.Rect();
        RECT links[2];
        std::wstring targets[2];
        int count = 2;
        CDrawKit::DrawMarkupText(canvas.Dc(), &manager, rect, input, 0xFF000000, links, targets, count, 0);
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 2);
        for (int i = 0; i < count; ++i) {
            EXPECT_GE(links[i].left, 0);
            EXPECT_LE(links[i].left, links[i].right);
        }
    }
    // Everything above stayed inside the rectangle it was given.
    Canvas framed(140, 140);
    RECT inner{10, 10, 130, 130};
    int count = 0;
    CDrawKit::DrawMarkupText(framed.Dc(), &manager, inner, std::wstring(2000, L'W'), 0xFF000000, nullptr, nullptr,
                             count, 0);
    EXPECT_EQ(ChangedPixels(framed, RECT{0, 0, 140, 10}), 0);
    EXPECT_EQ(ChangedPixels(framed, RECT{0, 130, 140, 140}), 0);
    EXPECT_GT(ChangedPixels(framed, inner), 100);
}

}  // namespace
