// Buttons and options in real windows, pressed with mouse and key
// messages: which sequences click, what a disabled button paints, and how
// a group of options keeps one selected.

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/ui/widgets/WidgetHost.h"
#include "tests/ui/widgets/WidgetTestImages.h"
#include "tests/ui/widgets/WidgetTestTrees.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace widget_tests;

namespace {

constexpr DWORD kNormal = 0x2060A0;
constexpr DWORD kHot = 0x20A060;
constexpr DWORD kPushed = 0xC02020;
constexpr DWORD kFocused = 0xE0C020;
constexpr DWORD kDisabled = 0x808080;
constexpr DWORD kDisabledBk = 0x604020;

POINT Centre(const CControlUI* c)
{
    const RECT& r = c->GetPos();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// One button with an image for every state, in a window of its own.
struct ButtonWindow {
    CWidgetHost host{300, 120};
    CButtonUI* button = nullptr;
    CControlUI* beside = nullptr;

    explicit ButtonWindow(Attributes extra = {})
    {
        auto* root = new CVerticalLayoutUI;
        root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
        button = AddChild<CButtonUI>(root, {{L"name", L"okBtn"}, {L"height", L"40"}, {L"text", L"OK"},
                                            {L"normalimage", SolidImage(L"normal", kNormal).c_str()},
                                            {L"hotimage", SolidImage(L"hot", kHot).c_str()},
                                            {L"pushedimage", SolidImage(L"pushed", kPushed).c_str()},
                                            {L"focusedimage", SolidImage(L"focused", kFocused).c_str()}});
        for (const auto& a : extra) button->SetAttribute(a.first, a.second);
        beside = AddChild<CControlUI>(root, {});
        host.Attach(root);
    }
    DWORD Shown() { return host.Pixel(button->GetX() + 3, button->GetY() + 3); }
};

}  // namespace

TEST(ButtonClick, OnlyPressAndReleaseInsideClick)
{
    ButtonWindow w;
    ASSERT_TRUE(w.host.Ok());
    const POINT in = Centre(w.button);
    const POINT out = Centre(w.beside);
    EXPECT_EQ(kNormal, w.Shown());

    // Hot under the mouse, pushed while held.
    w.host.MouseMove(in.x, in.y);
    w.host.Paint();
    EXPECT_EQ(kHot, w.Shown());
    w.host.MouseDown(in.x, in.y);
    w.host.Paint();
    EXPECT_EQ(kPushed, w.Shown());
    // Dragged off while held: no longer pushed, and no click on release.
    w.host.MouseMove(out.x, out.y);
    w.host.Paint();
    EXPECT_NE(kPushed, w.Shown());
    w.host.MouseUp(out.x, out.y);
    EXPECT_EQ(0, w.host.Count(L"click"));

    // Pressed beside it and released on it: no click either.
    w.host.MouseDown(out.x, out.y);
    w.host.MouseUp(in.x, in.y);
    EXPECT_EQ(0, w.host.Count(L"click"));

    // Pressed and released on it: one.
    w.host.Click(in.x, in.y);
    EXPECT_EQ(1, w.host.Count(L"click", w.button));
}

TEST(ButtonClick, SpaceAndEnterClickTheFocusedButton)
{
    ButtonWindow w;
    ASSERT_TRUE(w.host.Ok());
    w.button->SetFocus();
    w.host.Paint();
    EXPECT_TRUE(w.button->IsFocused());
    EXPECT_EQ(kFocused, w.Shown());
    w.host.Key(VK_SPACE);
    EXPECT_EQ(1, w.host.Count(L"click", w.button));
    w.host.Key(VK_RETURN);
    EXPECT_EQ(2, w.host.Count(L"click", w.button));
    w.host.Key('A');
    EXPECT_EQ(2, w.host.Count(L"click"));
    // Not keyboard enabled: the keys do nothing.
    w.button->SetKeyboardEnabled(false);
    w.host.Key(VK_SPACE);
    EXPECT_EQ(2, w.host.Count(L"click"));
}

TEST(ButtonDisabled, SendsNothingAndPaintsItsDisabledLook)
{
    // Disabled image first ...
    ButtonWindow w({{L"disabledimage", SolidImage(L"disabled", kDisabled).c_str()},
                    {L"disabledbkcolor", L"#FF604020"}, {L"enabled", L"false"}});
    ASSERT_TRUE(w.host.Ok());
    const POINT in = Centre(w.button);
    w.host.MouseMove(in.x, in.y);
    w.host.Click(in.x, in.y);
    w.button->SetFocus();
    w.host.Key(VK_SPACE);
    w.host.Paint();
    EXPECT_EQ(0, w.host.Count(L"click"));
    EXPECT_EQ(0u, w.button->GetButtonState() & (UISTATE_HOT | UISTATE_PUSHED | UISTATE_CAPTURED));
    EXPECT_EQ(kDisabled, w.Shown());
    // ... else the disabled colour ...
    w.button->SetDisabledImage(L"");
    w.host.RepaintAll();
    EXPECT_EQ(kDisabledBk, w.Shown());
    // ... else the normal image.
    w.button->SetDisabledBkColor(0);
    w.host.RepaintAll();
    EXPECT_EQ(kNormal, w.Shown());
    // Enabled again, it clicks.
    w.button->SetEnabled(true);
    w.host.Click(in.x, in.y);
    EXPECT_EQ(1, w.host.Count(L"click"));
}

TEST(OptionGroup, OneOfThreeStaysSelected)
{
    CWidgetHost host(300, 60);
    ASSERT_TRUE(host.Ok());
    auto* root = new CHorizontalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    COptionUI* options[3];
    for (auto*& o : options)
        o = AddChild<COptionUI>(root, {{L"group", L"versions"}, {L"text", L"v"},
                                       {L"normalimage", SolidImage(L"opt-normal", kNormal).c_str()},
                                       {L"selectedimage", SolidImage(L"opt-selected", kPushed).c_str()}});
    options[0]->SetAttribute(L"selected", L"true");
    host.Attach(root);
    ASSERT_NE(nullptr, host.Manager().OptionGroup(L"versions"));
    EXPECT_EQ(3u, host.Manager().OptionGroup(L"versions")->size());
    host.ClearNotes();

    const POINT second = Centre(options[1]);
    host.Click(second.x, second.y);
    host.Paint();
    EXPECT_FALSE(options[0]->IsSelected());
    EXPECT_TRUE(options[1]->IsSelected());
    EXPECT_FALSE(options[2]->IsSelected());
    EXPECT_EQ(1, host.Count(L"selectchanged"));
    EXPECT_EQ(1, host.Count(L"selectchanged", options[1]));
    EXPECT_EQ(1, host.Count(L"click", options[1]));
    EXPECT_EQ(kNormal, host.Pixel(options[0]->GetX() + 2, 5));
    EXPECT_EQ(kPushed, host.Pixel(options[1]->GetX() + 2, 5));
    // Clicking the selected one again keeps it selected and says nothing new.
    host.Click(second.x, second.y);
    EXPECT_TRUE(options[1]->IsSelected());
    EXPECT_EQ(1, host.Count(L"selectchanged"));
}

TEST(OptionGroup, UngroupedOptionsAndCheckBoxesToggle)
{
    CWidgetHost host(300, 60);
    ASSERT_TRUE(host.Ok());
    auto* root = new CHorizontalLayoutUI;
    auto* option = AddChild<COptionUI>(root, {{L"text", L"o"}});
    auto* check = AddChild<CCheckBoxUI>(root, {{L"text", L"c"}});
    host.Attach(root);
    const POINT c = Centre(check);
    host.Click(c.x, c.y);
    EXPECT_TRUE(check->GetCheck());
    host.Click(c.x, c.y);
    EXPECT_FALSE(check->GetCheck());
    EXPECT_EQ(2, host.Count(L"selectchanged", check));
    EXPECT_EQ(L"CheckBoxUI", std::wstring(check->GetClassName()));
    EXPECT_EQ(check, check->GetInterfaceByName(L"Option"));
    EXPECT_FALSE(option->IsSelected());
}
