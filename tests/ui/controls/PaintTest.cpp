// Painting small trees into a real 32-bit DIB and reading the pixels back.
// What trees leave behind is counted with real windows (tests/ui/manager).

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "tests/support/TestSupport.h"
#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace control_tests;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kRed = 0xFF0000;
constexpr DWORD kGreen = 0x00FF00;
constexpr DWORD kBlue = 0x0000FF;

// A 4 by 4 24-bit BMP of one colour (0xRRGGBB), written for the test.
std::wstring WriteSolidBmp(const std::wstring& folder, const wchar_t* name, DWORD rgb)
{
    std::string bytes;
    auto put32 = [&bytes](uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto put16 = [&bytes](uint16_t v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>(v >> 8);
    };
    const int side = 4;
    const uint32_t pixels = side * side * 3;
    bytes += "BM";
    put32(54 + pixels);
    put32(0);
    put32(54);
    put32(40);
    put32(side);
    put32(side);
    put16(1);
    put16(24);
    put32(0);
    put32(pixels);
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int i = 0; i < side * side; ++i) {
        bytes += static_cast<char>(rgb & 0xFF);
        bytes += static_cast<char>((rgb >> 8) & 0xFF);
        bytes += static_cast<char>((rgb >> 16) & 0xFF);
    }
    const std::wstring path = folder + name;
    testing_support::WriteBytes(path, bytes);
    return path;
}

struct PaintTree {
    CWindowManagerUI manager;
    Canvas canvas{40, 40};
};

TEST(ControlPaint, ColourThenImageThenBorder)
{
    PaintTree t;
    ASSERT_TRUE(t.canvas.Ok());
    const std::wstring folder = testing_support::ScratchFolder(L"paint-order");
    const std::wstring image = WriteSolidBmp(folder, L"blue.bmp", kBlue);
    auto* c = Make<CControlUI>({{L"bkcolor", L"#FFFF0000"},
                                {L"bordercolor", L"#FF00FF00"},
                                {L"bordersize", L"1"}});
    c->SetBackgroundImage(L"file='" + image + L"' dest='2,2,10,10'");
    t.manager.AttachRoot(c);
    c->SetPos(RECT{0, 0, 20, 20});
    c->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kGreen, t.canvas.Pixel(0, 0));    // border over everything
    EXPECT_EQ(kGreen, t.canvas.Pixel(19, 10));
    EXPECT_EQ(kRed, t.canvas.Pixel(1, 1));      // colour beneath
    EXPECT_EQ(kBlue, t.canvas.Pixel(5, 5));     // image over the colour
    EXPECT_EQ(kRed, t.canvas.Pixel(12, 12));
    EXPECT_EQ(kWhite, t.canvas.Pixel(25, 25));  // nothing outside
    testing_support::RemoveTree(folder);
}

TEST(ControlPaint, OpaqueColourRepaintsOnlyTheCutTranslucentCoversTheControl)
{
    PaintTree t;
    auto* c = Make<CControlUI>({{L"bkcolor", L"#FFFF0000"}});
    t.manager.AttachRoot(c);
    c->SetPos(RECT{0, 0, 20, 20});
    c->Paint(t.canvas.Dc(), RECT{0, 0, 10, 10});
    EXPECT_EQ(kRed, t.canvas.Pixel(5, 5));
    EXPECT_EQ(kWhite, t.canvas.Pixel(15, 15));

    t.canvas.Clear(kWhite);
    c->SetBackgroundColor(0x80FF0000);
    c->Paint(t.canvas.Dc(), RECT{0, 0, 10, 10});
    const DWORD inside = t.canvas.Pixel(5, 5);
    EXPECT_NE(kWhite, inside);
    EXPECT_NE(kRed, inside);
    EXPECT_EQ(inside, t.canvas.Pixel(15, 15)) << "the whole control is blended alike";
    EXPECT_EQ(kWhite, t.canvas.Pixel(25, 25));
}

TEST(ControlPaint, OneSidedBordersDrawOnTheControlsOwnEdges)
{
    PaintTree t;
    auto* root = Make<CContainerUI>({});
    t.manager.AttachRoot(root);
    CControlUI* bottom = AddChild<CControlUI>(root, {{L"bordercolor", L"#FF0000FF"}, {L"bordersize", L"0,0,0,1"}});
    root->SetPos(RECT{0, 0, 20, 10});
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(0, bottom->GetBorderSize());
    for (int x = 0; x < 20; ++x) EXPECT_EQ(kBlue, t.canvas.Pixel(x, 9)) << x;
    EXPECT_EQ(kWhite, t.canvas.Pixel(5, 0));
    EXPECT_EQ(kWhite, t.canvas.Pixel(0, 5));
    EXPECT_EQ(kWhite, t.canvas.Pixel(19, 5));
    EXPECT_EQ(kWhite, t.canvas.Pixel(5, 10));

    t.canvas.Clear(kWhite);
    bottom->SetAttribute(L"bordersize", L"1,0,1,0");
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kBlue, t.canvas.Pixel(0, 5));
    EXPECT_EQ(kBlue, t.canvas.Pixel(19, 5));
    EXPECT_EQ(kWhite, t.canvas.Pixel(5, 9));

    // A full frame for comparison: every edge pixel, nothing inside.
    t.canvas.Clear(kWhite);
    bottom->SetAttribute(L"bordersize", L"1");
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kBlue, t.canvas.Pixel(0, 0));
    EXPECT_EQ(kBlue, t.canvas.Pixel(19, 9));
    EXPECT_EQ(kWhite, t.canvas.Pixel(5, 5));
}

TEST(ControlPaint, RoundCornersClipTheBackground)
{
    PaintTree t;
    auto* c = Make<CControlUI>({{L"bkcolor", L"#FFFF0000"}, {L"borderround", L"12,12"}});
    t.manager.AttachRoot(c);
    c->SetPos(RECT{0, 0, 30, 30});
    c->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kWhite, t.canvas.Pixel(0, 0));
    EXPECT_EQ(kWhite, t.canvas.Pixel(29, 0));
    EXPECT_EQ(kWhite, t.canvas.Pixel(0, 29));
    EXPECT_EQ(kRed, t.canvas.Pixel(15, 15));
    EXPECT_EQ(kRed, t.canvas.Pixel(15, 0));
    EXPECT_EQ(kRed, t.canvas.Pixel(0, 15));
    // The clip is gone afterwards: a later fill reaches the corner.
    CDrawKit::FillColor(t.canvas.Dc(), RECT{0, 0, 2, 2}, 0xFF00FF00);
    EXPECT_EQ(kGreen, t.canvas.Pixel(0, 0));
}

TEST(ContainerPaint, LaterChildOnTopAndChildrenClippedToTheInnerArea)
{
    PaintTree t;
    auto* root = Make<CContainerUI>({{L"inset", L"5,5,5,5"}});
    t.manager.AttachRoot(root);
    AddChild<CControlUI>(root, {{L"bkcolor", L"#FFFF0000"}});
    CControlUI* top = AddChild<CControlUI>(root, {{L"bkcolor", L"#FF0000FF"}});
    CControlUI* floating = AddChild<CControlUI>(
        root, {{L"pos", L"0,0,8,8"}, {L"float", L"true"}, {L"bkcolor", L"#FF00FF00"}});
    root->SetPos(RECT{0, 0, 30, 30});
    // Children drawn beyond their place are cut at the inner area.
    top->Move(10, 0, false);
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kBlue, t.canvas.Pixel(20, 20));
    EXPECT_EQ(kRed, t.canvas.Pixel(12, 20));
    EXPECT_EQ(kWhite, t.canvas.Pixel(27, 20));  // the blue child reaches 35 but the inset cuts it
    // A floating child may cover the inset, within the container.
    EXPECT_EQ(kGreen, t.canvas.Pixel(1, 1));
    EXPECT_EQ(kGreen, t.canvas.Pixel(7, 7));
    EXPECT_EQ(kWhite, t.canvas.Pixel(35, 20));
    EXPECT_TRUE(floating->IsFloat());
}

TEST(ContainerPaint, HiddenContainerPaintsNoDescendant)
{
    PaintTree t;
    auto* root = Make<CVerticalLayoutUI>({});
    t.manager.AttachRoot(root);
    auto* box = AddChild<CHorizontalLayoutUI>(root, {});
    AddChild<CControlUI>(box, {{L"bkcolor", L"#FFFF0000"}});
    root->SetPos(RECT{0, 0, 20, 20});
    box->SetVisible(false);
    root->SetPos(RECT{0, 0, 20, 20});
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kWhite, t.canvas.Pixel(10, 10));
    box->SetVisible(true);
    root->SetPos(RECT{0, 0, 20, 20});
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kRed, t.canvas.Pixel(10, 10));
}

TEST(ControlPaint, ImageFoundOnceAttachedAndFocusBorderOnlyWhenFocused)
{
    PaintTree t;
    const std::wstring folder = testing_support::ScratchFolder(L"paint-detached");
    const std::wstring image = WriteSolidBmp(folder, L"blue.bmp", kBlue);
    auto* root = Make<CVerticalLayoutUI>({});
    CControlUI* c = AddChild<CControlUI>(root, {{L"focusbordercolor", L"#FFFF0000"}, {L"bordersize", L"2"}});
    c->SetBackgroundImage(L"file='" + image + L"'");
    root->SetPos(RECT{0, 0, 20, 20});
    // Painted before it has a manager: no image yet, and none refused.
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kWhite, t.canvas.Pixel(10, 10));
    t.manager.AttachRoot(root);
    root->SetPos(RECT{0, 0, 20, 20});
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kBlue, t.canvas.Pixel(10, 10)) << "looked up again with a manager";
    // Only a focused colour: unfocused there is no frame at all.
    EXPECT_EQ(kBlue, t.canvas.Pixel(0, 0));
    c->SetFocus();
    root->Paint(t.canvas.Dc(), t.canvas.Whole());
    EXPECT_EQ(kRed, t.canvas.Pixel(0, 0));
    testing_support::RemoveTree(folder);
}

}  // namespace
