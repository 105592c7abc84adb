// Progress bars and the slider in real windows: how much of the bar the
// fore image fills for a value, how the range is repaired when painted,
// and how the two ways of fitting the fore image differ.

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/ui/widgets/WidgetHost.h"
#include "tests/ui/widgets/WidgetTestImages.h"
#include "tests/ui/widgets/WidgetTestTrees.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace widget_tests;

namespace {

constexpr DWORD kTrack = 0xE4E4E4;
constexpr DWORD kFore = 0x2080F0;
constexpr DWORD kLeft = 0xD03030;
constexpr DWORD kRight = 0x30A030;

// The progress window's bar: 440 by 10 with a grey track and a fore image
// as wide as the bar.
struct BarWindow {
    CWidgetHost host{500, 200};
    CProgressUI* bar = nullptr;

    explicit BarWindow(Attributes attributes)
    {
        auto* root = new CVerticalLayoutUI;
        root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
        root->SetAttribute(L"inset", L"30,20,30,20");
        bar = AddChild<CProgressUI>(root, {{L"height", L"10"}, {L"bkcolor", L"#FFE4E4E4"},
                                           {L"foreimage", SolidImage(L"fore", kFore, 440, 10).c_str()},
                                           {L"max", L"100"}});
        for (const auto& a : attributes) bar->SetAttribute(a.first, a.second);
        AddChild<CControlUI>(root, {});
        host.Attach(root);
    }
    int Filled(int row = 5) { return host.CountInRow(bar->GetY() + row, 0, host.Width(), kFore); }
    void Show(int value)
    {
        bar->SetValue(value);
        host.Paint();
    }
};

}  // namespace

TEST(ProgressFill, ValueFillsItsShareOfTheWidth)
{
    BarWindow w({{L"value", L"37"}});
    ASSERT_TRUE(w.host.Ok());
    ASSERT_EQ(440, w.bar->GetWidth());
    ASSERT_EQ(10, w.bar->GetHeight());
    // 440 x 37 / 100 = 162.8: 162 pixels, from the bar's left edge.
    EXPECT_EQ(162, w.Filled());
    EXPECT_EQ(162, w.Filled(9));
    EXPECT_EQ(kFore, w.host.Pixel(w.bar->GetX(), w.bar->GetY() + 5));
    EXPECT_EQ(kFore, w.host.Pixel(w.bar->GetX() + 161, w.bar->GetY() + 5));
    EXPECT_EQ(kTrack, w.host.Pixel(w.bar->GetX() + 162, w.bar->GetY() + 5));
    w.Show(0);
    EXPECT_EQ(0, w.Filled());
    EXPECT_EQ(kTrack, w.host.Pixel(w.bar->GetX(), w.bar->GetY() + 5));
    w.Show(100);
    EXPECT_EQ(440, w.Filled());
}

TEST(ProgressFill, VerticalBarFillsFromTheBottom)
{
    CWidgetHost host(200, 200);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* bar = AddChild<CProgressUI>(root, {{L"width", L"20"}, {L"height", L"100"}, {L"hor", L"false"},
                                             {L"bkcolor", L"#FFE4E4E4"},
                                             {L"foreimage", SolidImage(L"fore-tall", kFore, 20, 100).c_str()},
                                             {L"value", L"25"}});
    host.Attach(root);
    int filled = 0;
    for (int y = 0; y < 100; ++y) filled += host.Pixel(bar->GetX() + 10, y) == kFore;
    EXPECT_EQ(25, filled);
    EXPECT_EQ(kTrack, host.Pixel(bar->GetX() + 10, 74));
    EXPECT_EQ(kFore, host.Pixel(bar->GetX() + 10, 75));
    EXPECT_EQ(kFore, host.Pixel(bar->GetX() + 10, 99));
}

TEST(ProgressRange, PaintRepairsRangeAndValue)
{
    BarWindow empty({{L"min", L"50"}, {L"max", L"50"}, {L"value", L"50"}});
    ASSERT_TRUE(empty.host.Ok());
    EXPECT_EQ(51, empty.bar->GetMaxValue());
    EXPECT_EQ(0, empty.Filled());

    BarWindow over({{L"value", L"150"}});
    EXPECT_EQ(100, over.bar->GetValue());
    EXPECT_EQ(440, over.Filled());
    over.Show(-20);
    EXPECT_EQ(0, over.bar->GetValue());
    EXPECT_EQ(0, over.Filled());
    // Without a paint nothing is clamped yet.
    over.bar->SetValue(500);
    EXPECT_EQ(500, over.bar->GetValue());
}

TEST(ProgressFore, StretchOffSqueezesTheWholeImage)
{
    // An image twice the bar's width, red on the left half, green on the right.
    const std::wstring split = SplitImage(L"split", kLeft, kRight, 880, 10);
    BarWindow cut({{L"foreimage", split.c_str()}, {L"value", L"50"}});
    ASSERT_TRUE(cut.host.Ok());
    const int y = cut.bar->GetY() + 5;
    // Stretched by default: the left 220 pixels of the image, all red.
    EXPECT_EQ(220, cut.host.CountInRow(y, 0, 500, kLeft));
    EXPECT_EQ(0, cut.host.CountInRow(y, 0, 500, kRight));

    BarWindow squeezed({{L"foreimage", split.c_str()}, {L"value", L"50"}, {L"isstretchfore", L"false"}});
    // The whole image in the filled 220 pixels: half red, half green.
    EXPECT_NEAR(110, squeezed.host.CountInRow(y, 0, 500, kLeft), 2);
    EXPECT_NEAR(110, squeezed.host.CountInRow(y, 0, 500, kRight), 2);
    EXPECT_EQ(kTrack, squeezed.host.Pixel(squeezed.bar->GetX() + 221, y));
}

TEST(SliderDrag, DraggingTheThumbSetsTheValue)
{
    CWidgetHost host(300, 80);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    root->SetAttribute(L"inset", L"0,20,0,0");
    auto* slider = AddChild<CSliderUI>(root, {{L"width", L"210"}, {L"height", L"20"}, {L"bkcolor", L"#FFE4E4E4"},
                                              {L"thumbimage", SolidImage(L"thumb", kLeft).c_str()},
                                              {L"thumbsize", L"10,20"}, {L"value", L"0"}});
    host.Attach(root);
    EXPECT_EQ(kLeft, host.Pixel(5, 30));
    // The thumb's travel is 200 pixels for 100 steps.
    host.MouseDown(5, 30);
    host.MouseMove(105, 30);
    host.MouseUp(105, 30);
    host.Paint();
    EXPECT_EQ(50, slider->GetValue());
    EXPECT_EQ(1, host.Count(L"valuechanged", slider));
    EXPECT_EQ(kLeft, host.Pixel(104, 30));
    EXPECT_EQ(0xE4E4E4u, host.Pixel(5, 30));
}

TEST(SliderWheel, AwayRaisesTowardsLowersAndTheEndsStaySilent)
{
    CWidgetHost host(300, 80);
    ASSERT_TRUE(host.Ok());
    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    auto* slider = AddChild<CSliderUI>(root, {{L"width", L"210"}, {L"height", L"20"}, {L"bkcolor", L"#FFE4E4E4"},
                                              {L"thumbsize", L"10,20"}, {L"value", L"1"}, {L"step", L"1"}});
    host.Attach(root);
    // Real wheel messages: the manager turns the native delta into a direction.
    auto turn = [&](short delta) {
        POINT at{100, 10};
        ClientToScreen(host.Window(), &at);
        SendMessageW(host.Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(at.x, at.y));
    };
    turn(WHEEL_DELTA);
    EXPECT_EQ(2, slider->GetValue()) << "a turn away from the user raises";
    EXPECT_EQ(1, host.Count(L"valuechanged", slider));
    turn(-WHEEL_DELTA);
    turn(-WHEEL_DELTA);
    EXPECT_EQ(0, slider->GetValue());
    EXPECT_EQ(3, host.Count(L"valuechanged", slider));
    // At the minimum a turn towards the user changes nothing and says nothing.
    turn(-WHEEL_DELTA);
    EXPECT_EQ(0, slider->GetValue());
    EXPECT_EQ(3, host.Count(L"valuechanged", slider));
    slider->SetValue(100);
    turn(WHEEL_DELTA);
    EXPECT_EQ(100, slider->GetValue());
    EXPECT_EQ(3, host.Count(L"valuechanged", slider));
}
