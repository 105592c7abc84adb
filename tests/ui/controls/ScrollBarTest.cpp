// The scroll bar inside its container: range and position rules, its
// parts, arrow, rail and thumb input, and the container's keyboard and
// wheel scrolling; and the container's choice of selectable items.

#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace control_tests;

namespace {

ControlEvent Mouse(int type, CControlUI* sender, int x, int y)
{
    ControlEvent e;
    e.type = type;
    e.sender = sender;
    e.mousePoint = POINT{x, y};
    return e;
}

// A 100 by 100 layout whose children are 150 high: range 50.
struct ScrolledTree {
    CWindowManagerUI manager;
    CVerticalLayoutUI* layout = nullptr;
    CControlUI* first = nullptr;
    CScrollBarUI* bar = nullptr;
    ScrolledTree()
    {
        layout = Make<CVerticalLayoutUI>({{L"vscrollbar", L"true"}});
        manager.AttachRoot(layout);
        first = AddChild<CControlUI>(layout, {{L"height", L"80"}});
        AddChild<CControlUI>(layout, {{L"height", L"70"}});
        layout->SetPos(RECT{0, 0, 100, 100});
        bar = layout->GetVerticalScrollBar();
    }
};

TEST(ScrollBar, RangeAndPositionRules)
{
    CScrollBarUI bar;
    EXPECT_EQ(100, bar.GetScrollRange());
    EXPECT_EQ(16, bar.GetFixedWidth());
    bar.SetScrollPos(250);
    EXPECT_EQ(100, bar.GetScrollPos());
    bar.SetScrollRange(40);
    EXPECT_EQ(40, bar.GetScrollPos());
    bar.SetScrollPos(-3);
    EXPECT_EQ(0, bar.GetScrollPos());
    bar.SetScrollPos(30);
    bar.SetScrollRange(-5);
    EXPECT_EQ(0, bar.GetScrollRange());
    EXPECT_EQ(0, bar.GetScrollPos());

    bar.ApplyAttributes(L"range=\"60\" value=\"20\" linesize=\"5\" showbutton1=\"false\"");
    EXPECT_EQ(60, bar.GetScrollRange());
    EXPECT_EQ(20, bar.GetScrollPos());
    EXPECT_EQ(5, bar.GetLineSize());
    EXPECT_FALSE(bar.IsButton1Shown());
    EXPECT_NE(nullptr, bar.GetInterfaceByName(L"ScrollBar"));
    EXPECT_NE(nullptr, bar.GetInterfaceByName(L"Control"));
    EXPECT_STREQ(L"ScrollBarUI", bar.GetClassName());
}

TEST(ScrollBar, PartsFollowTheRangeAndInputScrollsTheOwner)
{
    ScrolledTree t;
    ASSERT_TRUE(t.bar->IsVisible());
    EXPECT_RECT(t.bar->GetButton1Rect(), 84, 0, 100, 16);
    EXPECT_RECT(t.bar->GetButton2Rect(), 84, 84, 100, 100);
    // The rail is 68 long; the view is 68 of 68 + 50.
    EXPECT_RECT(t.bar->GetThumbRect(), 84, 16, 100, 55);

    // The lower arrow scrolls one line through the container.
    ControlEvent down = Mouse(UIEVENT_BUTTONDOWN, t.bar, 90, 90);
    t.bar->HandleEvent(down);
    ControlEvent up = Mouse(UIEVENT_BUTTONUP, t.bar, 90, 90);
    t.bar->HandleEvent(up);
    EXPECT_EQ(8, t.bar->GetScrollPos());
    EXPECT_EQ(-8, t.first->GetPos().top);
    EXPECT_EQ(20, t.bar->GetThumbRect().top);

    // Dragging the thumb over its whole travel reaches the end.
    ControlEvent grab = Mouse(UIEVENT_BUTTONDOWN, t.bar, 90, 30);
    t.bar->HandleEvent(grab);
    ControlEvent drag = Mouse(UIEVENT_MOUSEMOVE, t.bar, 90, 30 + 29);
    t.bar->HandleEvent(drag);
    EXPECT_EQ(50, t.layout->GetScrollPos().cy);
    EXPECT_EQ(-50, t.first->GetPos().top);
    ControlEvent release = Mouse(UIEVENT_BUTTONUP, t.bar, 90, 59);
    t.bar->HandleEvent(release);
    EXPECT_EQ(84, t.bar->GetThumbRect().bottom);

    // The rail above the thumb pages up.
    ControlEvent page = Mouse(UIEVENT_BUTTONDOWN, t.bar, 90, 20);
    t.bar->HandleEvent(page);
    t.bar->HandleEvent(release);
    EXPECT_EQ(0, t.layout->GetScrollPos().cy);
    EXPECT_EQ(0, t.first->GetPos().top);

    // The bar hands the focus to its container.
    t.bar->SetFocus();
    EXPECT_EQ(t.layout, t.manager.GetFocus());
}

TEST(ScrollBar, ContainerScrollsWithKeysAndWheel)
{
    ScrolledTree t;
    ControlEvent key;
    key.type = UIEVENT_KEYDOWN;
    key.key = VK_END;
    t.layout->HandleEvent(key);
    EXPECT_EQ(50, t.layout->GetScrollPos().cy);
    key.key = VK_HOME;
    t.layout->HandleEvent(key);
    EXPECT_EQ(0, t.layout->GetScrollPos().cy);

    const FontEntry* font = t.manager.DefaultFontEntry();
    ASSERT_TRUE(font->metricsKnown);
    const int line = font->metrics.tmHeight + 8;
    ControlEvent wheel;
    wheel.type = UIEVENT_SCROLLWHEEL;
    wheel.wParam = SB_LINEDOWN;
    t.layout->HandleEvent(wheel);
    EXPECT_EQ(std::min(50, line), t.layout->GetScrollPos().cy);
    wheel.wParam = SB_LINEUP;
    t.layout->HandleEvent(wheel);
    EXPECT_EQ(0, t.layout->GetScrollPos().cy);

    // An unhandled wheel event from a child climbs to the container.
    wheel.wParam = SB_LINEDOWN;
    t.first->HandleEvent(wheel);
    EXPECT_EQ(std::min(50, line), t.layout->GetScrollPos().cy);
    key.key = VK_NEXT;
    t.layout->HandleEvent(key);
    EXPECT_EQ(50, t.layout->GetScrollPos().cy);
}

struct ListItem : CControlUI {
    void* GetInterfaceByName(const std::wstring& name) override
    {
        return name == L"ListItem" ? this : CControlUI::GetInterfaceByName(name);
    }
};

TEST(Container, NextSelectableItemSkipsWhatCannotBeSelected)
{
    CContainerUI list;
    EXPECT_EQ(-1, list.NextSelectableItem(0, true));
    list.Add(new CControlUI);                           // 0: not a list item
    list.Add(Make<ListItem>({}));                       // 1
    list.Add(Make<ListItem>({{L"enabled", L"false"}}));  // 2
    list.Add(Make<ListItem>({{L"visible", L"false"}}));  // 3
    list.Add(Make<ListItem>({}));                       // 4
    struct Case {
        int from;
        bool forward;
        int expected;
    };
    const Case cases[] = {{0, true, 1}, {2, true, 4}, {-7, true, 1}, {99, true, 4}, {5, true, 4},
                          {3, false, 1}, {0, false, 1}, {4, false, 4}};
    for (const Case& k : cases)
        EXPECT_EQ(k.expected, list.NextSelectableItem(k.from, k.forward)) << k.from << " " << k.forward;
    list.RemoveAt(4);
    EXPECT_EQ(-1, list.NextSelectableItem(2, true));
}

}  // namespace
