// Labels and texts in real windows: alignment words, default colours,
// sizes from fonts, wrapped and measured text, links clicked with the
// mouse, and the skins' Chinese and DIN faces drawn for real.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

#include "tests/ui/widgets/WidgetHost.h"
#include "tests/ui/widgets/WidgetTestTrees.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace widget_tests;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;

}  // namespace

TEST(LabelAlign, WordsOfAlignAndValignSetTheStyle)
{
    std::unique_ptr<CLabelUI> top(Make<CLabelUI>({{L"valign", L"top"}}));
    EXPECT_EQ(UINT{DT_SINGLELINE}, top->GetTextStyle());
    std::unique_ptr<CButtonUI> right(Make<CButtonUI>({{L"align", L"right"}}));
    EXPECT_EQ(UINT{DT_RIGHT | DT_VCENTER}, right->GetTextStyle());
    std::unique_ptr<CLabelUI> vcenter(Make<CLabelUI>({{L"align", L"vcenter"}}));
    EXPECT_EQ(UINT{DT_CENTER | DT_VCENTER}, vcenter->GetTextStyle());
    std::unique_ptr<CLabelUI> bottomLeft(Make<CLabelUI>({{L"align", L"left"}, {L"valign", L"bottom"}}));
    EXPECT_EQ(UINT{DT_BOTTOM | DT_SINGLELINE}, bottomLeft->GetTextStyle());
}

TEST(LabelAlign, TextLandsWhereTheStyleSays)
{
    CWidgetHost host(400, 300);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* top = AddChild<CLabelUI>(root, {{L"text", L"Top"}, {L"height", L"60"}, {L"valign", L"top"}});
    auto* centred = AddChild<CLabelUI>(root, {{L"text", L"Mid"}, {L"height", L"40"}, {L"align", L"vcenter"}});
    auto* right = AddChild<CButtonUI>(root, {{L"height", L"60"}, {L"width", L"70"}, {L"align", L"right"}});
    right->SetText(L"alpha\nbeta");
    auto* single = AddChild<CLabelUI>(root, {{L"height", L"60"}, {L"width", L"70"}, {L"align", L"right"}});
    single->SetText(L"alpha\nbeta");
    host.Attach(root);

    // Top: left-aligned on the first lines of its rectangle.
    const RECT topBox = InkBox(host, top->GetPos(), kWhite);
    ASSERT_GT(topBox.right, topBox.left);
    EXPECT_LT(topBox.left, top->GetPos().left + 4);
    EXPECT_LT(topBox.bottom, top->GetPos().top + 30);
    // "vcenter" in align also centres horizontally.
    const RECT midBox = InkBox(host, centred->GetPos(), kWhite);
    ASSERT_GT(midBox.right, midBox.left);
    EXPECT_NEAR((midBox.left + midBox.right) / 2, (centred->GetPos().left + centred->GetPos().right) / 2, 3);
    // Right on a button: no longer one line, so the text is a block of
    // lines, flush right; a label stays on one line whatever its style.
    EXPECT_EQ(2, InkBands(host, right->GetPos(), kWhite));
    EXPECT_GT(InkBox(host, right->GetPos(), kWhite).right, right->GetPos().right - 4);
    EXPECT_EQ(1, InkBands(host, single->GetPos(), kWhite));
}

TEST(LabelColour, UnsetTextColourKeepsTheFirstDefault)
{
    CWidgetHost host(200, 60);
    ASSERT_TRUE(host.Ok());
    host.Manager().SetDefaultTextColor(0xFF000000);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* label = AddChild<CLabelUI>(root, {{L"text", L"WWW"}, {L"height", L"40"}});
    ASSERT_EQ(0u, label->GetTextColor());
    host.Attach(root);
    EXPECT_EQ(0xFF000000u, label->GetTextColor());
    // A later default does not reach a label that took the first one.
    host.Manager().SetDefaultTextColor(0xFF0000FF);
    host.RepaintAll();
    EXPECT_EQ(0xFF000000u, label->GetTextColor());
    EXPECT_GT(host.CountInRow(InkBox(host, label->GetPos(), kWhite).top + 2, 0, 200, 0x000000) +
                  host.CountInRow(InkBox(host, label->GetPos(), kWhite).top + 4, 0, 200, 0x000000),
              0);
    EXPECT_EQ(0, host.CountInRow(20, 0, 200, 0x0000FF));
}

TEST(LabelSize, HeightsFollowTheFont)
{
    CWidgetHost host(300, 300);
    ASSERT_TRUE(host.Ok());
    host.Manager().RegisterFont(1, L"Tahoma", 18, false, false, false, false);
    auto* root = new CVerticalLayoutUI;
    auto* button = AddChild<CButtonUI>(root, {{L"text", L"OK"}, {L"font", L"1"}});
    auto* label = AddChild<CLabelUI>(root, {{L"text", L"Title"}, {L"font", L"1"}});
    AddChild<CControlUI>(root, {});
    host.Attach(root);
    const int fontHeight = host.Manager().FontEntryById(1)->metrics.tmHeight;
    ASSERT_GT(fontHeight, 10);
    EXPECT_EQ(fontHeight + 8, button->GetHeight());
    EXPECT_EQ(fontHeight + 4, label->GetHeight());
    EXPECT_EQ(button->GetPos().bottom, label->GetPos().top);
}

TEST(TextMeasure, NoRoomStillMeasuresTheText)
{
    CWidgetHost host(300, 300);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    auto* text = AddChild<CTextUI>(root, {{L"text", L"alpha beta"}});
    host.Attach(root);
    const int lineHeight = host.Manager().DefaultFontEntry()->metrics.tmHeight;
    // Width minus the padding of 2 and 2 leaves 0 and -1: one word a line.
    for (int width : {4, 3}) {
        SIZE size = text->MeasureSize(SIZE{width, 100});
        EXPECT_GE(size.cy, 2 * lineHeight) << width;
        EXPECT_GT(size.cx, 4) << width;
    }
    // Room enough: one line.
    EXPECT_EQ(lineHeight, text->MeasureSize(SIZE{280, 100}).cy);
}

TEST(TextLinks, ClickOnALinkSendsItsIndex)
{
    CWidgetHost host(300, 80);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* text = AddChild<CTextUI>(root, {{L"text", L"see <a one>first</a> and <a two>second</a>"},
                                          {L"showhtml", L"true"}, {L"height", L"40"},
                                          {L"readonly", L"true"}, {L"rich", L"false"}});
    host.Attach(root);
    ASSERT_EQ(2, text->GetLinkCount());
    EXPECT_EQ(L"two", text->GetLinkContent(1));
    EXPECT_EQ(UINT{UIFLAG_SETCURSOR}, text->GetInputFlags());
    const RECT second = text->GetLinkRect(1);
    host.Click((second.left + second.right) / 2, (second.top + second.bottom) / 2);
    ASSERT_EQ(1, host.Count(L"link", text));
    EXPECT_EQ(1u, host.Notes().back().wParam);
    // Beside the links: nothing.
    host.Click(text->GetPos().right - 3, text->GetPos().bottom - 3);
    EXPECT_EQ(1, host.Count(L"link"));
}

TEST(TextLinks, PlainTextReportsNoLinksEvenAfterMarkup)
{
    CWidgetHost host(300, 80);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* text = AddChild<CTextUI>(root, {{L"text", L"see <a one>first</a> and <a two>second</a>"},
                                          {L"showhtml", L"true"}, {L"height", L"40"}});
    host.Attach(root);
    ASSERT_EQ(2, text->GetLinkCount());
    const RECT first = text->GetLinkRect(0);
    // The same text shown plain: nothing in it is a link any more.
    text->SetAttribute(L"showhtml", L"false");
    text->Invalidate();
    host.Paint();
    EXPECT_EQ(0, text->GetLinkCount());
    EXPECT_EQ(0u, text->GetInputFlags());
    EXPECT_EQ(L"", text->GetLinkContent(0));
    host.Click((first.left + first.right) / 2, (first.top + first.bottom) / 2);
    EXPECT_EQ(0, host.Count(L"link"));
    // Plain from the start: no links either.
    auto* plain = AddChild<CTextUI>(root, {{L"text", L"no <a x>links</a> here"}, {L"height", L"30"}});
    host.Paint();
    host.RepaintAll();
    EXPECT_EQ(0, plain->GetLinkCount());
    EXPECT_EQ(0u, plain->GetInputFlags());
}

// The skins' faces: "微软雅黑" drawn by the CJK font the prefix maps it to,
// and "DIN" from the font file carried in the resources.
TEST(LabelFaces, ChineseAndDinTextIsRealText)
{
    ASSERT_GT(AddFontResourceExW(DIN_FONT_PATH, FR_PRIVATE, nullptr), 0);
    CWidgetHost host(400, 200);
    ASSERT_TRUE(host.Ok());
    CWindowManagerUI& m = host.Manager();
    m.RegisterFont(2, L"微软雅黑", 20, false, false, false, false);
    m.RegisterFont(3, L"WenQuanYi Micro Hei", 20, false, false, false, false);
    m.RegisterFont(7, L"DIN", 40, true, false, false, false);
    m.RegisterFont(8, L"NoSuchFaceAtAll", 40, true, false, false, false);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* row1 = AddChild<CHorizontalLayoutUI>(root, {{L"height", L"30"}});
    auto* yahei = AddChild<CLabelUI>(row1, {{L"text", L"标题"}, {L"font", L"2"}, {L"width", L"100"}});
    auto* wqy = AddChild<CLabelUI>(row1, {{L"text", L"标题"}, {L"font", L"3"}, {L"width", L"100"}});
    auto* other = AddChild<CLabelUI>(row1, {{L"text", L"状态"}, {L"font", L"2"}, {L"width", L"100"}});
    auto* row2 = AddChild<CHorizontalLayoutUI>(root, {{L"height", L"60"}});
    auto* din = AddChild<CLabelUI>(row2, {{L"text", L"2880"}, {L"font", L"7"}, {L"width", L"200"}});
    auto* fallback = AddChild<CLabelUI>(row2, {{L"text", L"2880"}, {L"font", L"8"}, {L"width", L"200"}});
    host.Attach(root);

    // The mapped face draws exactly what the CJK font draws, and two
    // different characters differ (no boxes for missing glyphs).
    const auto shape = [&](CControlUI* c) { return InkPattern(host, c->GetPos(), kWhite); };
    ASSERT_GT(InkBox(host, yahei->GetPos(), kWhite).right, 0);
    EXPECT_TRUE(shape(wqy) == shape(yahei));
    EXPECT_FALSE(shape(other) == shape(yahei));
    // DIN is found under its own name and draws differently from the
    // face a missing name falls back to.
    HDC dc = GetDC(host.Window());
    HGDIOBJ old = SelectObject(dc, m.FontById(7));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(host.Window(), dc);
    EXPECT_STREQ(L"DIN", face);
    ASSERT_GT(InkBox(host, din->GetPos(), kWhite).right, 0);
    EXPECT_FALSE(shape(fallback) == shape(din));
    RemoveFontResourceExW(DIN_FONT_PATH, FR_PRIVATE, nullptr);
}

// Effects draw through GDI+: the effect text is what shows, the gradient
// fill in the text colour, and the stroke around it in its own colour.
TEST(LabelEffects, GdiplusTextWithStrokeAndShadow)
{
    CWidgetHost host(300, 120);
    ASSERT_TRUE(host.Ok());
    host.Manager().RegisterFont(1, L"Tahoma", 28, true, false, false, false);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* plain = AddChild<CLabelUI>(root, {{L"text", L"Before"}, {L"height", L"50"}, {L"font", L"1"}});
    auto* effect = AddChild<CLabelUI>(root, {{L"text", L"Effect"}, {L"height", L"50"}, {L"font", L"1"},
                                             {L"enabledeffect", L"true"}, {L"textcolor", L"#FFFF0000"},
                                             {L"transtext", L"255"}, {L"transtext1", L"255"},
                                             {L"enabledstroke", L"true"}, {L"strokecolor", L"#FF0000FF"},
                                             {L"enabledshadow", L"true"}, {L"shadowoffset", L"3,45"}});
    EXPECT_EQ(L"Effect", effect->GetText());
    effect->SetText(L"Shown");
    EXPECT_EQ(L"Shown", effect->GetText());
    plain->SetEnabledEffect(true);
    EXPECT_EQ(L"Before", plain->GetText());
    plain->SetEnabledEffect(false);
    host.Attach(root);
    const RECT& r = effect->GetPos();
    int red = 0, blue = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const DWORD p = host.Pixel(x, y);
            red += p == 0xFF0000;
            blue += p == 0x0000FF;
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(blue, 20);
    // The plain label beside it is drawn by GDI, in the default colour.
    EXPECT_GT(InkBox(host, plain->GetPos(), kWhite).right, 0);
}

// The bounding box of the pixels of one exact colour; empty when none.
static RECT ColourBox(const CWidgetHost& host, const RECT& area, DWORD rgb)
{
    RECT box{area.right, area.bottom, area.left, area.top};
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            if (host.Pixel(x, y) != rgb) continue;
            box.left = std::min<LONG>(box.left, x);
            box.top = std::min<LONG>(box.top, y);
            box.right = std::max<LONG>(box.right, x + 1);
            box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    if (box.right <= box.left) return RECT{0, 0, 0, 0};
    return box;
}

// The shadow is a copy of the text in the shadow colour, moved by the
// offset in the direction of its angle and drawn behind the text.
TEST(LabelEffects, ShadowIsACopyMovedAlongItsAngle)
{
    CWidgetHost host(300, 120);
    ASSERT_TRUE(host.Ok());
    host.Manager().RegisterFont(1, L"Tahoma", 28, true, false, false, false);
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    Attributes effect = {{L"text", L"Shade"}, {L"height", L"60"}, {L"font", L"1"}, {L"enabledeffect", L"true"},
                         {L"textcolor", L"#FFFF0000"}, {L"transtext", L"255"}, {L"transtext1", L"255"},
                         {L"textshadowcolora", L"#FF00C000"}, {L"transshadow", L"255"},
                         {L"transshadow1", L"255"}, {L"shadowoffset", L"8,90"}};
    auto* shaded = AddChild<CLabelUI>(root, effect);
    shaded->SetAttribute(L"enabledshadow", L"true");
    auto* unshaded = AddChild<CLabelUI>(root, effect);
    host.Attach(root);
    const RECT red = ColourBox(host, shaded->GetPos(), 0xFF0000);
    const RECT green = ColourBox(host, shaded->GetPos(), 0x00C000);
    ASSERT_GT(red.right, 0);
    ASSERT_GT(green.right, 0) << "no shadow drawn";
    // An angle of 90 degrees moves it straight down by the offset.
    EXPECT_NEAR(red.left, green.left, 1);
    EXPECT_NEAR(red.bottom + 8, green.bottom, 1);
    // Without enabledshadow the same label draws no shadow.
    EXPECT_EQ(0, ColourBox(host, unshaded->GetPos(), 0x00C000).right);
    EXPECT_GT(ColourBox(host, unshaded->GetPos(), 0xFF0000).right, 0);
}

// GDI+ knows nothing of the face replacement, yet the skins' Chinese face
// draws real glyphs with effects too: two characters, two shapes.
TEST(LabelEffects, ChineseFaceDrawsRealGlyphs)
{
    CWidgetHost host(200, 80);
    ASSERT_TRUE(host.Ok());
    host.Manager().RegisterFont(2, L"微软雅黑", 24, false, false, false, false);
    auto* root = new CHorizontalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    CLabelUI* labels[2];
    const wchar_t* texts[2] = {L"效", L"果"};
    for (int i = 0; i < 2; ++i) {
        labels[i] = AddChild<CLabelUI>(root, {{L"width", L"60"}, {L"height", L"40"}, {L"font", L"2"},
                                              {L"enabledeffect", L"true"}, {L"textcolor", L"#FF000000"},
                                              {L"transtext", L"255"}, {L"transtext1", L"255"}});
        labels[i]->SetText(texts[i]);
    }
    host.Attach(root);
    ASSERT_GT(InkBox(host, labels[0]->GetPos(), kWhite).right, 0);
    EXPECT_FALSE(InkPattern(host, labels[0]->GetPos(), kWhite) == InkPattern(host, labels[1]->GetPos(), kWhite));
}
