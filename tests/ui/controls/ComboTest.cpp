// The combo box and its popup in real windows: posted mouse, key and
// wheel messages, results read from notifications, window rectangles and
// painted pixels.

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/controls/ControlHostWindow.h"
#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/ComboWnd.h"
#include "ui/controls/ListElementUI.h"
#include "ui/controls/ListLabelElementUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/LayoutBuilder.h"

using namespace control_tests;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;

void AddItems(CComboUI* combo, int count, int height)
{
    for (int i = 0; i < count; ++i) {
        auto* item = new CListLabelElementUI;
        item->SetText(L"item " + std::to_wstring(combo->GetCount()));
        item->SetFixedHeight(height);
        combo->Add(item);
    }
}

// A 400 by 300 window whose first child is a 200 by 36 combo at its top left.
struct ComboWindow {
    CHostWindow host;
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    CComboUI* combo = nullptr;

    ComboWindow(int items, int itemHeight, int x = 100, int y = 100)
    {
        root->SetBackgroundColor(0xFFFFFFFF);
        combo = AddChild<CComboUI>(root, {{L"width", L"200"}, {L"height", L"36"}, {L"dropboxsize", L"0,180"},
                                          {L"itemtextcolor", L"#FF000000"}});
        AddItems(combo, items, itemHeight);
        ok = host.Open(root, x, y, 400, 300);
    }
    void ClickCombo() { CHostWindow::Click(host.GetHWND(), 100, 18); }
    HWND Popup() const { return combo->GetPopup() ? combo->GetPopup()->GetHWND() : nullptr; }
    RECT PopupRect() const
    {
        RECT r{};
        GetWindowRect(Popup(), &r);
        return r;
    }
    bool ok = false;
};

TEST(ComboPopup, IsAsHighAsItsItemsUpToTheDropBoxThenScrolls)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    EXPECT_EQ(1, w.host.Count(L"dropdown"));
    RECT r = w.PopupRect();
    EXPECT_EQ(5 * 27 + 4, r.bottom - r.top);
    EXPECT_EQ(200, r.right - r.left);
    // Below the combo, left edges aligned.
    EXPECT_EQ(100 + 36, r.top);
    EXPECT_EQ(100, r.left);
    CScrollBarUI* bar = w.combo->GetPopup()->Root()->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    EXPECT_FALSE(bar->IsVisible());
    CHostWindow::Key(w.Popup(), VK_RETURN);
    ASSERT_EQ(nullptr, w.Popup());

    // Ten items need 274 pixels: the popup stops at the drop box and scrolls.
    AddItems(w.combo, 5, 27);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    r = w.PopupRect();
    EXPECT_EQ(180, r.bottom - r.top);
    bar = w.combo->GetPopup()->Root()->GetVerticalScrollBar();
    EXPECT_TRUE(bar->IsVisible());
}

TEST(ComboPopup, OpensAboveTheComboNearTheBottomOfTheWorkArea)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ComboWindow w(5, 27, 100, work.bottom - 100);
    ASSERT_TRUE(w.ok);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    const RECT r = w.PopupRect();
    EXPECT_EQ(work.bottom - 100, r.bottom);
    EXPECT_EQ(work.bottom - 100 - 139, r.top);
}

TEST(ComboPopup, EscapeRestoresTheOpeningSelectionWithOneItemSelect)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    w.combo->SelectItem(0);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    // A key steps the selection and leaves the popup open.
    CHostWindow::Key(w.Popup(), VK_DOWN);
    EXPECT_EQ(1, w.combo->GetCurSel());
    ASSERT_NE(nullptr, w.Popup());
    w.host.ClearNotes();
    CHostWindow::Key(w.Popup(), VK_ESCAPE);
    EXPECT_EQ(0, w.combo->GetCurSel());
    ASSERT_EQ(1, w.host.Count(L"itemselect"));
    EXPECT_EQ(0u, w.host.Last(L"itemselect")->wParam);
    EXPECT_EQ(1, w.host.Last(L"itemselect")->lParam);
    EXPECT_EQ(nullptr, w.Popup());
}

TEST(ComboPopup, ItsScrollBarKeepsItOpenAnItemClickClosesIt)
{
    ComboWindow w(10, 27);
    ASSERT_TRUE(w.ok);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    CScrollBarUI* bar = w.combo->GetPopup()->Root()->GetVerticalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    // The top of the bar: at scroll position 0 nothing moves.
    const RECT barPos = bar->GetPos();
    CHostWindow::Click(w.Popup(), (barPos.left + barPos.right) / 2, barPos.top + 4);
    ASSERT_NE(nullptr, w.Popup());
    EXPECT_EQ(0, w.host.Count(L"itemselect"));

    const RECT item = w.combo->GetItemAt(2)->GetPos();
    CHostWindow::Click(w.Popup(), (item.left + item.right) / 2, (item.top + item.bottom) / 2);
    EXPECT_EQ(nullptr, w.Popup());
    ASSERT_EQ(1, w.host.Count(L"itemselect"));
    EXPECT_EQ(2u, w.host.Last(L"itemselect")->wParam);
    EXPECT_EQ(2, w.combo->GetCurSel());
    // The items are the combo's again, out of sight.
    EXPECT_EQ(w.combo, w.combo->GetItemAt(2)->GetParent());
    EXPECT_EQ(&w.host.manager, w.combo->GetItemAt(2)->GetManager());
}

// The items lent to the open popup are in its tree alone.
TEST(ComboLoan, TheMainWindowNeitherPaintsNorHitsTheLentItems)
{
    ComboWindow w(10, 27);
    ASSERT_TRUE(w.ok);
    const RECT area{0, 0, 200, 36};
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    // The items' rectangles are in the popup's coordinates, where the combo
    // lies in its own window: repainted, the combo still shows no text.
    InvalidateRect(w.host.GetHWND(), nullptr, FALSE);
    UpdateWindow(w.host.GetHWND());
    EXPECT_EQ(0, Shot(w.host.GetHWND()).CountOther(area, kWhite));
    EXPECT_EQ(w.combo, w.host.manager.FindControlAt(POINT{100, 18}));
    // The popup shows them, and its hit test finds them.
    const RECT item = w.combo->GetItemAt(0)->GetPos();
    EXPECT_EQ(w.combo->GetItemAt(0),
              w.combo->GetPopup()->Manager().FindControlAt(POINT{(item.left + item.right) / 2, item.top + 5}));
    EXPECT_GT(Shot(w.Popup()).CountOther(item, kWhite), 10);
    EXPECT_EQ(w.combo->GetPopup()->Root(), w.combo->GetItemAt(0)->GetParent());
    EXPECT_EQ(10, w.combo->GetCount());
    CHostWindow::Key(w.Popup(), VK_ESCAPE);
    ASSERT_EQ(nullptr, w.Popup());
    EXPECT_EQ(w.combo, w.combo->GetItemAt(0)->GetParent());
    EXPECT_EQ(10, w.combo->GetCount());
}

TEST(ComboLoan, NoItemStaysHotAfterThePopupCloses)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    auto hot = [&] {
        int n = 0;
        for (int i = 0; i < w.combo->GetCount(); ++i)
            n += static_cast<CListElementUI*>(w.combo->GetItemAt(i)->GetInterfaceByName(L"ListElement"))->IsHot();
        return n;
    };
    auto pointAt = [&](int index) {
        const RECT r = w.combo->GetItemAt(index)->GetPos();
        PostMessageW(w.Popup(), WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
        CHostWindow::Pump();
    };
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    pointAt(2);
    ASSERT_EQ(1, hot());
    CHostWindow::Key(w.Popup(), VK_ESCAPE);
    ASSERT_EQ(nullptr, w.Popup());
    EXPECT_EQ(0, hot());
    // Reopened, the pointer on another item makes that one hot alone.
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    pointAt(3);
    EXPECT_EQ(1, hot());
    EXPECT_TRUE(static_cast<CListElementUI*>(w.combo->GetItemAt(3)->GetInterfaceByName(L"ListElement"))->IsHot());
}

TEST(ComboLoan, ItemsRemovedOrAddedWhileOpenLeaveAndJoinThePopup)
{
    ComboWindow w(6, 27);
    ASSERT_TRUE(w.ok);
    w.combo->SelectItem(4);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    CVerticalLayoutUI* popupRoot = w.combo->GetPopup()->Root();
    // The pointer rests on the item that goes first.
    CControlUI* first = w.combo->GetItemAt(0);
    const RECT r = first->GetPos();
    PostMessageW(w.Popup(), WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    CHostWindow::Pump();
    ASSERT_EQ(first, w.combo->GetPopup()->Manager().GetHover());
    EXPECT_TRUE(w.combo->RemoveAt(0));
    EXPECT_EQ(-1, popupRoot->GetItemIndex(first));
    EXPECT_EQ(nullptr, w.combo->GetPopup()->Manager().GetHover());
    EXPECT_EQ(5, popupRoot->GetCount());
    EXPECT_EQ(3, w.combo->GetCurSel());
    EXPECT_EQ(L"item 4", w.combo->GetText());
    AddItems(w.combo, 1, 27);
    EXPECT_EQ(6, popupRoot->GetCount());
    EXPECT_EQ(popupRoot, w.combo->GetItemAt(5)->GetParent());
    // The removed item is deleted on the posted message; the popup paints
    // and routes input with what is left.
    InvalidateRect(w.Popup(), nullptr, FALSE);
    PostMessageW(w.Popup(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 10));
    CHostWindow::Pump();
    w.combo->RemoveAll();
    EXPECT_EQ(0, popupRoot->GetCount());
    EXPECT_EQ(-1, w.combo->GetCurSel());
    InvalidateRect(w.Popup(), nullptr, FALSE);
    PostMessageW(w.Popup(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 40));
    CHostWindow::Pump();
    AddItems(w.combo, 2, 27);
    CHostWindow::Key(w.Popup(), VK_ESCAPE);
    ASSERT_EQ(nullptr, w.Popup());
    ASSERT_EQ(2, w.combo->GetCount());
    EXPECT_EQ(w.combo, w.combo->GetItemAt(1)->GetParent());
    EXPECT_EQ(&w.host.manager, w.combo->GetItemAt(1)->GetManager());
}

TEST(ComboWheel, ChangesTheSelectionOnlyWhenWheelSelectsIsOn)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    w.combo->SelectItem(0);
    w.host.ClearNotes();
    POINT at{100, 18};
    ClientToScreen(w.host.GetHWND(), &at);
    auto wheel = [&] {
        PostMessageW(w.host.GetHWND(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                     MAKELPARAM(at.x, at.y));
        CHostWindow::Pump();
    };
    w.combo->SetWheelSelect(false);
    wheel();
    EXPECT_EQ(0, w.combo->GetCurSel());
    EXPECT_EQ(0, w.host.Count(L"itemselect"));
    w.combo->SetWheelSelect(true);
    wheel();
    EXPECT_EQ(1, w.combo->GetCurSel());
    EXPECT_EQ(1, w.host.Count(L"itemselect"));
}

TEST(ComboWheel, InTheOpenPopupTowardsTheUserStepsDownAndAwayStepsUp)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    w.combo->SelectItem(2);
    w.ClickCombo();
    ASSERT_NE(nullptr, w.Popup());
    w.host.ClearNotes();
    auto wheel = [&](short delta) {
        POINT at{50, 20};
        ClientToScreen(w.Popup(), &at);
        PostMessageW(w.Popup(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), MAKELPARAM(at.x, at.y));
        CHostWindow::Pump();
    };
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(3, w.combo->GetCurSel());
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(4, w.combo->GetCurSel());
    wheel(WHEEL_DELTA);
    EXPECT_EQ(3, w.combo->GetCurSel());
    EXPECT_EQ(3, w.host.Count(L"itemselect"));
    // Wheel steps keep the popup open.
    EXPECT_NE(nullptr, w.Popup());
}

TEST(ComboSelection, AnIndexPastTheEndSelectsTheLastItem)
{
    CComboUI combo;
    AddItems(&combo, 20, 27);
    EXPECT_TRUE(combo.SelectItem(25));
    EXPECT_EQ(19, combo.GetCurSel());
    EXPECT_EQ(L"item 19", combo.GetText());
    EXPECT_FALSE(combo.SelectItem(-1));
    EXPECT_EQ(-1, combo.GetCurSel());
}

TEST(ComboSelection, FollowsItsItemWhenItemsComeAndGo)
{
    CComboUI combo;
    AddItems(&combo, 5, 27);
    combo.SelectItem(3);
    combo.RemoveAt(0);
    EXPECT_EQ(2, combo.GetCurSel());
    EXPECT_EQ(L"item 3", combo.GetText());
    combo.AddAt(new CListLabelElementUI, 0);
    EXPECT_EQ(L"item 3", combo.GetText());
    EXPECT_EQ(4, static_cast<IListItemUI*>(combo.GetItemAt(4)->GetInterfaceByName(L"ListItem"))->GetIndex());
    // Removing the selected item leaves nothing selected.
    combo.RemoveAt(combo.GetCurSel());
    EXPECT_EQ(-1, combo.GetCurSel());
    EXPECT_EQ(L"", combo.GetText());
}

TEST(ComboPaint, NoSelectionAndNoTipPaintNoText)
{
    ComboWindow w(5, 27);
    ASSERT_TRUE(w.ok);
    const RECT area{0, 0, 200, 36};
    EXPECT_EQ(0, Shot(w.host.GetHWND()).CountOther(area, kWhite));
    // The same place shows the tip, and then the selected item's text.
    w.combo->SetTipText(L"choose");
    CHostWindow::Pump();
    EXPECT_GT(Shot(w.host.GetHWND()).CountOther(area, kWhite), 10);
    w.combo->SetTipText(L"");
    CHostWindow::Pump();
    EXPECT_EQ(0, Shot(w.host.GetHWND()).CountOther(area, kWhite));
    w.combo->SelectItem(3);
    CHostWindow::Pump();
    EXPECT_GT(Shot(w.host.GetHWND()).CountOther(area, kWhite), 10);
}

}  // namespace

namespace {

TEST(ListMarkup, TheBuilderMakesTheComboTheEditAndTheListClasses)
{
    CWindowManagerUI manager;
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Default name=\"Combo\" value=\"itemhotbkcolor=&quot;#FFCCCCCC&quot; itemfont=&quot;2&quot;\"/>"
        L"<VerticalLayout><Combo name=\"combo\" itemalign=\"right\"><ListLabelElement text=\"a\"/>"
        L"<ListLabelElement text=\"b\"/></Combo><Edit name=\"edit\" maxchar=\"10\"/>"
        L"<List name=\"list\"><ListHeader><ListHeaderItem text=\"h\"/></ListHeader>"
        L"<ListTextElement text=\"t\"/><ListContainerElement><Control/></ListContainerElement></List>"
        L"</VerticalLayout></Window>",
        nullptr, nullptr, &manager);
    ASSERT_NE(nullptr, root);
    manager.AttachRoot(root);
    CControlUI* found = manager.FindControlByName(L"combo");
    ASSERT_NE(nullptr, found);
    auto* combo = static_cast<CComboUI*>(found->GetInterfaceByName(L"Combo"));
    ASSERT_NE(nullptr, combo);
    ASSERT_EQ(2, combo->GetCount());
    auto* second = static_cast<IListItemUI*>(combo->GetItemAt(1)->GetInterfaceByName(L"ListItem"));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(1, second->GetIndex());
    EXPECT_EQ(static_cast<IListOwnerUI*>(combo), second->GetOwner());
    EXPECT_EQ(0xFFCCCCCCu, combo->GetListItemStyle()->hotBkColor);
    EXPECT_EQ(2, combo->GetListItemStyle()->font);
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_RIGHT), combo->GetListItemStyle()->textStyle);
    EXPECT_NE(nullptr, manager.FindControlByName(L"edit")->GetInterfaceByName(L"Edit"));
    CControlUI* list = manager.FindControlByName(L"list");
    ASSERT_NE(nullptr, list->GetInterfaceByName(L"List"));
    auto* items = static_cast<IContainerUI*>(list->GetInterfaceByName(L"IContainer"));
    ASSERT_EQ(3, items->GetCount());
    EXPECT_STREQ(L"ListHeaderUI", items->GetItemAt(0)->GetClassName());
    EXPECT_STREQ(L"ListTextElementUI", items->GetItemAt(1)->GetClassName());
    EXPECT_STREQ(L"ListContainerElementUI", items->GetItemAt(2)->GetClassName());
    EXPECT_EQ(1, static_cast<IListItemUI*>(items->GetItemAt(1)->GetInterfaceByName(L"ListItem"))->GetIndex());
}

}  // namespace
