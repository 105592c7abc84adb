// Layout of real control trees: exact rectangles from the box layouts,
// the plain container, floating children and the scroll bars.

#include <gtest/gtest.h>

#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace control_tests;

namespace {

// A tree attached to a manager without a window, laid out at a rectangle.
struct Tree {
    CWindowManagerUI manager;
    template <class T>
    T* Root(Attributes attributes)
    {
        T* root = Make<T>(attributes);
        manager.AttachRoot(root);
        return root;
    }
};

TEST(VerticalLayout, ProductColumnGivesTheEmptyControlTheLeftoverHeight)
{
    Tree tree;
    auto* column = tree.Root<CVerticalLayoutUI>({{L"width", L"617"}, {L"inset", L"37,16,34,30"}});
    CControlUI* c[10];
    c[0] = AddChild<CControlUI>(column, {{L"height", L"28"}});
    c[1] = AddChild<CControlUI>(column, {{L"height", L"83"}});
    c[2] = AddChild<CControlUI>(column, {{L"height", L"13"}});
    c[3] = AddChild<CControlUI>(column, {{L"height", L"28"}});
    c[4] = AddChild<CControlUI>(column, {{L"width", L"360"}, {L"height", L"36"}});
    c[5] = AddChild<CControlUI>(column, {{L"height", L"13"}});
    c[6] = AddChild<CControlUI>(column, {{L"height", L"28"}});
    c[7] = AddChild<CControlUI>(column, {{L"width", L"360"}, {L"height", L"36"}});
    c[8] = AddChild<CControlUI>(column, {});
    c[9] = AddChild<CControlUI>(column, {{L"width", L"360"}, {L"height", L"60"}});
    column->SetPos(RECT{283, 0, 900, 500});

    // Inner area: x 320..866, y 16..470 (454 high); the fixed heights sum to 325.
    EXPECT_RECT(c[0]->GetPos(), 320, 16, 866, 44);
    EXPECT_RECT(c[1]->GetPos(), 320, 44, 866, 127);
    EXPECT_RECT(c[4]->GetPos(), 320, 168, 680, 204);
    EXPECT_RECT(c[5]->GetPos(), 320, 204, 866, 217);
    EXPECT_RECT(c[7]->GetPos(), 320, 245, 680, 281);
    EXPECT_RECT(c[8]->GetPos(), 320, 281, 866, 410);
    EXPECT_RECT(c[9]->GetPos(), 320, 410, 680, 470);
}

TEST(VerticalLayout, LastStretchableChildTakesTheRoundingRemainder)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({});
    CControlUI* a = AddChild<CControlUI>(layout, {});
    CControlUI* b = AddChild<CControlUI>(layout, {});
    layout->SetPos(RECT{0, 0, 40, 101});
    EXPECT_RECT(a->GetPos(), 0, 0, 40, 50);
    EXPECT_RECT(b->GetPos(), 0, 50, 40, 101);
}

TEST(VerticalLayout, FixedHeightBelowTheMinimumIsRaisedAndTakenOff)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({});
    CControlUI* fixed = AddChild<CControlUI>(layout, {{L"height", L"10"}, {L"minheight", L"30"}});
    CControlUI* rest = AddChild<CControlUI>(layout, {});
    layout->SetPos(RECT{0, 0, 50, 100});
    EXPECT_RECT(fixed->GetPos(), 0, 0, 50, 30);
    EXPECT_RECT(rest->GetPos(), 0, 30, 50, 100);
}

TEST(VerticalLayout, BottomPaddingEnlargesTheChildAndPushesTheNext)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({{L"childpadding", L"5"}});
    CControlUI* a = AddChild<CControlUI>(layout, {{L"height", L"20"}, {L"padding", L"3,0,4,10"}});
    CControlUI* b = AddChild<CControlUI>(layout, {{L"height", L"20"}});
    layout->SetPos(RECT{0, 0, 100, 200});
    EXPECT_RECT(a->GetPos(), 3, 0, 96, 30);
    EXPECT_RECT(b->GetPos(), 0, 35, 100, 55);
}

TEST(VerticalLayout, StretchableChildFillsExactlyWhatPaddedSiblingsLeave)
{
    // Paddings and child padding before the stretchable child must not be
    // counted twice: the children together fill the layout to the pixel.
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({{L"childpadding", L"4"}});
    CControlUI* a = AddChild<CControlUI>(layout, {{L"height", L"20"}, {L"padding", L"0,5,0,5"}});
    CControlUI* s = AddChild<CControlUI>(layout, {{L"padding", L"0,2,0,3"}});
    CControlUI* b = AddChild<CControlUI>(layout, {{L"height", L"10"}, {L"padding", L"0,1,0,1"}});
    layout->SetPos(RECT{0, 0, 30, 200});
    EXPECT_RECT(a->GetPos(), 0, 5, 30, 30);
    // 200 - (30 + 5 + 12) - 2 * 4 = 145 high, plus its bottom padding of 3.
    EXPECT_RECT(s->GetPos(), 0, 36, 30, 184);
    EXPECT_RECT(b->GetPos(), 0, 189, 30, 200);
}

TEST(VerticalLayout, InvisibleChildrenTakeNoSpace)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({});
    AddChild<CControlUI>(layout, {{L"height", L"40"}, {L"visible", L"false"}});
    CControlUI* b = AddChild<CControlUI>(layout, {{L"height", L"20"}});
    layout->SetPos(RECT{0, 0, 10, 100});
    EXPECT_RECT(b->GetPos(), 0, 0, 10, 20);
}

TEST(HorizontalLayout, PaddingKeepsAStretchedChildOffTopAndBottom)
{
    Tree tree;
    auto* row = tree.Root<CHorizontalLayoutUI>({{L"inset", L"0,10,0,0"}});
    CControlUI* fixed = AddChild<CControlUI>(row, {{L"width", L"30"}, {L"padding", L"5,0,5,0"}});
    CControlUI* padded = AddChild<CControlUI>(row, {{L"padding", L"0,24,0,24"}});
    row->SetPos(RECT{0, 0, 200, 110});
    // Along the row the rectangle includes the right padding.
    EXPECT_RECT(fixed->GetPos(), 5, 10, 40, 110);
    EXPECT_RECT(padded->GetPos(), 40, 34, 200, 86);
}

TEST(HorizontalLayout, TwoStretchableChildrenShareWithRemainder)
{
    Tree tree;
    auto* row = tree.Root<CHorizontalLayoutUI>({{L"childpadding", L"1"}});
    CControlUI* a = AddChild<CControlUI>(row, {});
    CControlUI* b = AddChild<CControlUI>(row, {});
    row->SetPos(RECT{0, 0, 102, 20});
    EXPECT_RECT(a->GetPos(), 0, 0, 50, 20);
    EXPECT_RECT(b->GetPos(), 51, 0, 102, 20);
}

TEST(FloatingChild, LandsAtItsOffsetWhateverTheInsetAndSiblings)
{
    Tree tree;
    auto* root = tree.Root<CHorizontalLayoutUI>({{L"inset", L"15,12,15,12"}, {L"childpadding", L"6"}});
    AddChild<CControlUI>(root, {{L"width", L"100"}});
    CControlUI* close = AddChild<CControlUI>(
        root, {{L"width", L"20"}, {L"height", L"20"}, {L"pos", L"761,19,0,0"}, {L"float", L"true"}});
    root->SetPos(RECT{0, 0, 800, 600});
    EXPECT_RECT(close->GetPos(), 761, 19, 781, 39);
    EXPECT_EQ(20, close->GetFixedWidth());

    AddChild<CControlUI>(root, {{L"width", L"300"}});
    root->AddAt(new CControlUI, 0);
    root->SetPos(RECT{0, 0, 800, 600});
    EXPECT_RECT(close->GetPos(), 761, 19, 781, 39);
}

TEST(FloatingChild, IsPlacedRelativeToItsContainerWithAnchors)
{
    Tree tree;
    auto* root = tree.Root<CContainerUI>({});
    auto* inner = AddChild<CContainerUI>(root, {{L"inset", L"7,7,7,7"}});
    CControlUI* f = AddChild<CControlUI>(
        inner, {{L"pos", L"10,10,30,20"}, {L"float", L"0.5,0,0.5,0"}});
    root->SetPos(RECT{100, 50, 300, 150});
    // Inner container covers the root; W = 200, so half of it is added to x.
    EXPECT_RECT(f->GetPos(), 210, 60, 230, 70);
}

TEST(Container, StacksChildrenOverTheWholeInnerArea)
{
    Tree tree;
    auto* root = tree.Root<CContainerUI>({{L"inset", L"2,3,4,5"}});
    CControlUI* a = AddChild<CControlUI>(root, {{L"width", L"10"}, {L"padding", L"9,9,9,9"}});
    CControlUI* b = AddChild<CControlUI>(root, {{L"maxheight", L"40"}});
    root->SetPos(RECT{0, 0, 100, 100});
    // The fixed size and padding play no part; limits do.
    EXPECT_RECT(a->GetPos(), 2, 3, 96, 95);
    EXPECT_RECT(b->GetPos(), 2, 3, 96, 43);
}

TEST(Container, HidingHidesEveryDescendantAndShowingRestoresThem)
{
    Tree tree;
    auto* root = tree.Root<CVerticalLayoutUI>({});
    auto* box = AddChild<CHorizontalLayoutUI>(root, {});
    auto* inner = AddChild<CContainerUI>(box, {});
    CControlUI* leaf = AddChild<CControlUI>(inner, {});
    CControlUI* hiddenLeaf = AddChild<CControlUI>(inner, {{L"visible", L"false"}});

    box->SetVisible(false);
    EXPECT_FALSE(inner->IsVisible());
    EXPECT_FALSE(leaf->IsVisible());
    CControlUI* late = AddChild<CControlUI>(inner, {});
    EXPECT_FALSE(late->IsVisible());

    box->SetVisible(true);
    EXPECT_TRUE(inner->IsVisible());
    EXPECT_TRUE(leaf->IsVisible());
    EXPECT_TRUE(late->IsVisible());
    EXPECT_FALSE(hiddenLeaf->IsVisible());
}

TEST(ScrollBars, EmptyVerticalLayoutStillHidesItsVisibleBar)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({{L"vscrollbar", L"true"}});
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    bar->SetVisible(true);
    bar->SetScrollRange(40);
    layout->SetPos(RECT{0, 0, 100, 100});
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollRange());
}

TEST(ScrollBars, OverflowShowsTheBarAndScrollingMovesTheChildren)
{
    Tree tree;
    auto* layout = tree.Root<CVerticalLayoutUI>({{L"vscrollbar", L"true"}});
    CScrollBarUI* bar = layout->GetVerticalScrollBar();
    CControlUI* a = AddChild<CControlUI>(layout, {{L"height", L"80"}});
    CControlUI* b = AddChild<CControlUI>(layout, {{L"height", L"70"}});
    layout->SetPos(RECT{0, 0, 100, 100});
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(50, bar->GetScrollRange());
    EXPECT_RECT(bar->GetPos(), 84, 0, 100, 100);
    EXPECT_RECT(a->GetPos(), 0, 0, 84, 80);

    layout->SetScrollPos(SIZE{0, 30});
    EXPECT_RECT(a->GetPos(), 0, -30, 84, 50);
    EXPECT_RECT(b->GetPos(), 0, 50, 84, 120);
    layout->ScrollToBottom();
    EXPECT_EQ(50, layout->GetScrollPos().cy);
    layout->SetScrollPos(SIZE{0, 500});  // clamped to the range
    EXPECT_EQ(50, layout->GetScrollPos().cy);

    // The content shrinks: the bar goes and the children move back.
    b->SetFixedHeight(10);
    layout->SetPos(layout->GetPos());
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_RECT(a->GetPos(), 0, 0, 100, 80);
}

TEST(ScrollBars, HorizontalLayoutKeepsItsOwnBarRange)
{
    Tree tree;
    auto* row = tree.Root<CHorizontalLayoutUI>({{L"hscrollbar", L"true"}});
    CScrollBarUI* bar = row->GetHorizontalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(16, bar->GetFixedHeight());
    bar->SetVisible(false);
    AddChild<CControlUI>(row, {{L"width", L"150"}});
    CControlUI* b = AddChild<CControlUI>(row, {{L"width", L"90"}});
    row->SetPos(RECT{0, 0, 200, 50});
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(40, bar->GetScrollRange());
    EXPECT_RECT(bar->GetPos(), 0, 34, 200, 50);
    row->ScrollToRightEnd();
    EXPECT_RECT(b->GetPos(), 110, 0, 200, 50);
}

// Hit tests and searches ---------------------------------------------------------

CControlUI* Collect(CControlUI* control, void* data)
{
    static_cast<std::vector<CControlUI*>*>(data)->push_back(control);
    return nullptr;
}

TEST(FindControl, OrderBitsAndHitTesting)
{
    Tree tree;
    auto* root = tree.Root<CContainerUI>({{L"inset", L"10,10,10,10"}});
    CControlUI* a = AddChild<CControlUI>(root, {{L"name", L"a"}});
    CControlUI* b = AddChild<CControlUI>(root, {{L"name", L"b"}});
    CControlUI* f = AddChild<CControlUI>(root, {{L"pos", L"0,0,10,10"}, {L"float", L"true"}});
    root->SetPos(RECT{0, 0, 100, 100});

    std::vector<CControlUI*> seen;
    root->FindControl(Collect, &seen, 0);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(a, seen[0]);
    EXPECT_EQ(root, seen[3]);
    seen.clear();
    root->FindControl(Collect, &seen, UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(root, seen[0]);
    EXPECT_EQ(f, seen[1]);
    EXPECT_EQ(a, seen[3]);

    // The child painted last is found first; the inset hits only floats.
    EXPECT_EQ(b, tree.manager.FindControlAt(POINT{50, 50}));
    EXPECT_EQ(f, tree.manager.FindControlAt(POINT{5, 5}));
    EXPECT_EQ(root, tree.manager.FindControlAt(POINT{95, 50}));
    b->SetMouseEnabled(false);
    EXPECT_EQ(a, tree.manager.FindControlAt(POINT{50, 50}));
    root->SetChildrenHitTested(false);
    EXPECT_EQ(root, tree.manager.FindControlAt(POINT{50, 50}));
    root->SetMouseEnabled(false);
    EXPECT_EQ(nullptr, tree.manager.FindControlAt(POINT{50, 50}));
}

TEST(Container, ChildListOperations)
{
    Tree tree;
    auto* root = tree.Root<CVerticalLayoutUI>({});
    // Names enter the manager's map when the control is adopted.
    CControlUI* a = Make<CControlUI>({{L"name", L"a"}});
    CControlUI* b = Make<CControlUI>({{L"name", L"b"}});
    EXPECT_TRUE(root->Add(a));
    EXPECT_TRUE(root->Add(b));
    EXPECT_FALSE(root->Add(nullptr));
    EXPECT_EQ(nullptr, root->GetItemAt(2));
    EXPECT_EQ(nullptr, root->GetItemAt(-1));
    EXPECT_TRUE(root->SetItemIndex(b, 0));
    EXPECT_EQ(b, root->GetItemAt(0));
    EXPECT_EQ(1, root->GetItemIndex(a));
    EXPECT_FALSE(root->RemoveAt(5));
    EXPECT_EQ(a, tree.manager.FindControlByName(L"a"));
    EXPECT_EQ(root, a->GetParent());
    EXPECT_EQ(&tree.manager, a->GetManager());
    auto* view = static_cast<IContainerUI*>(root->GetInterfaceByName(L"IContainer"));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(2, view->GetCount());
    EXPECT_NE(nullptr, root->GetInterfaceByName(L"VerticalLayout"));
    EXPECT_NE(nullptr, root->GetInterfaceByName(L"Container"));
    EXPECT_EQ(nullptr, root->GetInterfaceByName(L"HorizontalLayout"));
    EXPECT_STREQ(L"VerticalLayoutUI", root->GetClassName());
}

}  // namespace

namespace {

ControlEvent MouseAt(int type, int x, int y)
{
    ControlEvent e;
    e.type = type;
    e.mousePoint = POINT{x, y};
    return e;
}

TEST(Separator, DraggingTheStripChangesTheLayoutsHeight)
{
    Tree tree;
    auto* root = tree.Root<CVerticalLayoutUI>({});
    auto* pane = AddChild<CVerticalLayoutUI>(root, {{L"height", L"40"}, {L"sepheight", L"4"}});
    CControlUI* below = AddChild<CControlUI>(root, {});
    root->SetPos(RECT{0, 0, 50, 200});
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), pane->GetInputFlags());

    // Outside the strip nothing is dragged.
    ControlEvent miss = MouseAt(UIEVENT_BUTTONDOWN, 10, 20);
    pane->HandleEvent(miss);
    ControlEvent move = MouseAt(UIEVENT_MOUSEMOVE, 10, 60);
    pane->HandleEvent(move);
    EXPECT_EQ(40, pane->GetFixedHeight());

    // Only the line follows until the button is let go; it is drawn as an overlay.
    ControlEvent grab = MouseAt(UIEVENT_BUTTONDOWN, 10, 38);
    pane->HandleEvent(grab);
    pane->HandleEvent(move);
    EXPECT_EQ(40, pane->GetFixedHeight());
    Canvas canvas(50, 100);
    pane->PaintOverlay(canvas.Dc(), canvas.Whole());
    EXPECT_NE(0xFFFFFFu, canvas.Pixel(10, 58));
    EXPECT_EQ(0xFFFFFFu, canvas.Pixel(10, 38));
    ControlEvent release = MouseAt(UIEVENT_BUTTONUP, 10, 60);
    pane->HandleEvent(release);
    EXPECT_EQ(62, pane->GetFixedHeight());
    root->SetPos(root->GetPos());
    EXPECT_EQ(62, below->GetPos().top);

    // With sepimm the height follows at once.
    pane->SetAttribute(L"sepimm", L"true");
    ControlEvent grab2 = MouseAt(UIEVENT_BUTTONDOWN, 10, 60);
    pane->HandleEvent(grab2);
    ControlEvent up = MouseAt(UIEVENT_MOUSEMOVE, 10, 30);
    pane->HandleEvent(up);
    EXPECT_EQ(32, pane->GetFixedHeight());
    pane->HandleEvent(release);

    pane->SetEnabled(false);
    EXPECT_EQ(0u, pane->GetInputFlags());
}

TEST(Separator, ALeftStripOfAHorizontalLayoutChangesItsWidth)
{
    Tree tree;
    auto* root = tree.Root<CHorizontalLayoutUI>({});
    CControlUI* before = AddChild<CControlUI>(root, {});
    auto* pane = AddChild<CHorizontalLayoutUI>(root, {{L"width", L"60"}, {L"sepwidth", L"-4"}});
    root->SetPos(RECT{0, 0, 200, 50});
    ASSERT_EQ(140, pane->GetPos().left);
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), pane->GetInputFlags());

    // The strip lies along the left edge; dragging it left widens the pane.
    ControlEvent grab = MouseAt(UIEVENT_BUTTONDOWN, 141, 10);
    pane->HandleEvent(grab);
    ControlEvent move = MouseAt(UIEVENT_MOUSEMOVE, 121, 10);
    pane->HandleEvent(move);
    EXPECT_EQ(60, pane->GetFixedWidth());
    Canvas canvas(200, 50);
    pane->PaintOverlay(canvas.Dc(), canvas.Whole());
    EXPECT_NE(0xFFFFFFu, canvas.Pixel(121, 10));
    EXPECT_EQ(0xFFFFFFu, canvas.Pixel(141, 10));
    ControlEvent release = MouseAt(UIEVENT_BUTTONUP, 121, 10);
    pane->HandleEvent(release);
    EXPECT_EQ(80, pane->GetFixedWidth());
    root->SetPos(root->GetPos());
    EXPECT_EQ(120, before->GetPos().right);
}

struct NameListener : INotifyUI {
    std::wstring lastWindow;
    void Notify(NotifyMsg& msg) override { lastWindow = msg.virtualWindowName; }
};

TEST(VirtualWindows, NotificationsCarryTheNearestVirtualWindowName)
{
    Tree tree;
    NameListener listener;
    tree.manager.AddNotifyListener(&listener);
    auto* root = tree.Root<CVerticalLayoutUI>({});
    auto* page = AddChild<CContainerUI>(root, {{L"virtualwnd", L"settings"}});
    CControlUI* button = AddChild<CControlUI>(page, {});
    tree.manager.SendNotification(button, L"click");
    EXPECT_EQ(L"settings", listener.lastWindow);
    tree.manager.SendNotification(root, L"click");
    EXPECT_EQ(L"", listener.lastWindow);
}

}  // namespace
