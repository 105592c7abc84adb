// Input through real window messages: capture, the Tab key, the wheel,
// hover with its tooltip, timers and the order of notifications.

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "tests/ui/controls/ControlTestTrees.h"
#include "tests/ui/support/ManagerTestWindow.h"
#include "ui/controls/HorizontalLayoutUI.h"

using namespace control_tests;
using ui_test::CManagerTestWindow;

namespace {

// A tab stop that records the events that reach it.
struct Probe : CControlUI {
    std::vector<ControlEvent> events;
    UINT GetInputFlags() const override { return UIFLAG_TABSTOP; }
    void OnEvent(ControlEvent& event) override
    {
        events.push_back(event);
        CControlUI::OnEvent(event);
    }
    int Count(int type) const
    {
        int n = 0;
        for (const ControlEvent& e : events) n += e.type == type;
        return n;
    }
};

// Two probes side by side in a laid-out, painted 200 by 50 window.
struct TwoProbes {
    CManagerTestWindow window{200, 50};
    Probe* left = nullptr;
    Probe* right = nullptr;
    TwoProbes()
    {
        auto* root = Make<CHorizontalLayoutUI>({});
        left = AddChild<Probe>(root, {});
        right = AddChild<Probe>(root, {});
        window.Manager().AttachRoot(root);
        InvalidateRect(window.Handle(), nullptr, FALSE);
        window.PaintNow();
    }
    void Send(UINT message, WPARAM wParam, int x, int y)
    {
        SendMessageW(window.Handle(), message, wParam, MAKELPARAM(x, y));
    }
};

TEST(WindowInput, ButtonUpGoesToThePressedControlAfterMovingOut)
{
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    t.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_EQ(1, t.left->Count(UIEVENT_BUTTONDOWN));
    EXPECT_TRUE(t.window.Manager().IsMouseCaptured());
    EXPECT_EQ(t.window.Handle(), GetCapture());
    t.Send(WM_MOUSEMOVE, MK_LBUTTON, 150, 20);
    EXPECT_EQ(1, t.right->Count(UIEVENT_MOUSEENTER));
    EXPECT_EQ(0, t.right->Count(UIEVENT_MOUSEMOVE)) << "moves go to the pressed control";
    EXPECT_GE(t.left->Count(UIEVENT_MOUSEMOVE), 1);
    t.Send(WM_LBUTTONUP, 0, 150, 20);
    EXPECT_EQ(1, t.left->Count(UIEVENT_BUTTONUP));
    EXPECT_EQ(0, t.right->Count(UIEVENT_BUTTONUP));
    EXPECT_EQ(150, t.left->events.back().mousePoint.x);
    EXPECT_FALSE(t.window.Manager().IsMouseCaptured());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST(WindowInput, TabIsConsumedAndOtherKeysReachTheFocus)
{
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    t.left->SetFocus();
    ASSERT_EQ(t.left, t.window.Manager().GetFocus());
    PostMessageW(t.window.Handle(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageW(t.window.Handle(), WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(t.window.PumpUntil([&] { return t.left->Count(UIEVENT_KEYDOWN) > 0; }));
    t.window.Pump(20);
    EXPECT_EQ(t.left, t.window.Manager().GetFocus());
    ASSERT_EQ(1, t.left->Count(UIEVENT_KEYDOWN));
    for (const ControlEvent& e : t.left->events) {
        if (e.type == UIEVENT_KEYDOWN) {
            EXPECT_EQ(L'A', e.key);
        }
    }
    EXPECT_EQ(0, t.right->Count(UIEVENT_SETFOCUS));
}

TEST(WindowInput, WheelTowardsTheUserGivesOne)
{
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    SendMessageW(t.window.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), t.window.ScreenPoint(150, 20));
    SendMessageW(t.window.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), t.window.ScreenPoint(150, 20));
    std::vector<WPARAM> turns;
    for (const ControlEvent& e : t.right->events)
        if (e.type == UIEVENT_SCROLLWHEEL) turns.push_back(e.wParam);
    EXPECT_EQ((std::vector<WPARAM>{1, 0}), turns);
    EXPECT_EQ(0, t.left->Count(UIEVENT_SCROLLWHEEL));
}

struct Shortcut : Probe {
    int activations = 0;
    bool Activate() override { return ++activations, true; }
};

struct Translator : ITranslateAccelerator {
    UINT eat = 0;
    LRESULT TranslateAccelerator(MSG* msg) override { return msg->message == eat ? 0 : 1; }
};

struct PreFilter : IMessageFilterUI {
    UINT eat = 0;
    int seen = 0;
    LRESULT FilterMessage(UINT message, WPARAM, LPARAM, bool& handled) override
    {
        if (message == eat) handled = true, ++seen;
        return 0;
    }
};

TEST(WindowInput, PreTranslationAsksTranslatorsAndPreFiltersThenFindsShortcuts)
{
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    CWindowManagerUI& manager = t.window.Manager();
    auto* root = static_cast<CContainerUI*>(manager.GetRoot());
    auto* label = AddChild<Shortcut>(root, {{L"shortcut", L"I"}});
    t.left->SetFocus();
    Translator translator;
    translator.eat = WM_CHAR;
    PreFilter filter;
    filter.eat = WM_KEYUP;
    manager.AddTranslator(&translator);
    manager.AddPreFilter(&filter);
    PostMessageW(t.window.Handle(), WM_CHAR, 'x', 0);
    PostMessageW(t.window.Handle(), WM_KEYUP, 'x', 0);
    PostMessageW(t.window.Handle(), WM_SYSCHAR, 'i', 0);
    ASSERT_TRUE(t.window.PumpUntil([&] { return label->activations > 0; }));
    t.window.Pump(20);
    EXPECT_EQ(0, t.left->Count(UIEVENT_CHAR)) << "the translator consumed it";
    EXPECT_EQ(1, filter.seen);
    EXPECT_EQ(label, manager.GetFocus());
    EXPECT_EQ(1, label->activations);
    manager.RemoveTranslator(&translator);
    manager.RemovePreFilter(&filter);
    // Moving back from the new focus lands on the last tab stop before it.
    manager.FocusPreviousTabStop(label);
    EXPECT_EQ(t.right, manager.GetFocus());
}

struct ToolTipSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindToolTip(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ToolTipSearch*>(data);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (wcscmp(name, L"tooltips_class32") == 0 && GetWindow(window, GW_OWNER) == search->owner) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

TEST(WindowInput, TheCommonControlsAreLoadedForTheFirstToolTipOnly)
{
    // Runs before any other test of this program shows a tooltip.
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    EXPECT_EQ(nullptr, GetModuleHandleW(L"comctl32.dll")) << "loaded before any tooltip";
    t.right->SetToolTip(L"tip");
    t.Send(WM_MOUSEMOVE, 0, 150, 20);
    t.Send(WM_MOUSEHOVER, 0, 150, 20);
    ToolTipSearch search{t.window.Handle(), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&search));
    EXPECT_NE(nullptr, search.found) << "no tooltip window";
    EXPECT_NE(nullptr, GetModuleHandleW(L"comctl32.dll"));
}

TEST(WindowInput, HoverShowsTheControlsToolTipWithItsLanguageTokens)
{
    CWindowManagerUI::SetLanguageString(7, L"Install");
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    t.right->SetToolTip(L"%{7} now");
    t.Send(WM_MOUSEMOVE, 0, 150, 20);
    t.Send(WM_MOUSEHOVER, 0, 150, 20);
    EXPECT_EQ(1, t.right->Count(UIEVENT_MOUSEHOVER));
    ToolTipSearch search{t.window.Handle(), nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindToolTip, reinterpret_cast<LPARAM>(&search));
    ASSERT_NE(nullptr, search.found) << "no tooltip window";
    EXPECT_TRUE(IsWindowVisible(search.found));
    // The text it shows.
    wchar_t text[64] = {};
    GetWindowTextW(search.found, text, 64);
    EXPECT_STREQ(L"Install now", text);
    // Leaving the window hides it again.
    t.Send(WM_MOUSELEAVE, 0, 0, 0);
    EXPECT_FALSE(IsWindowVisible(search.found));
}

TEST(WindowInput, LeavingTheWindowAfterAHoverStillEndsTheHover)
{
    // The pointer rests on a control until the hover report, then leaves
    // the window in one move: no move arrives inside, only the leave.
    TwoProbes t;
    ASSERT_NE(nullptr, t.window.Handle());
    t.Send(WM_MOUSEMOVE, 0, 150, 20);
    ASSERT_EQ(1, t.right->Count(UIEVENT_MOUSEENTER));
    t.Send(WM_MOUSEHOVER, 0, 150, 20);
    EXPECT_EQ(1, t.right->Count(UIEVENT_MOUSEHOVER));
    t.Send(WM_MOUSELEAVE, 0, 0, 0);
    EXPECT_EQ(1, t.right->Count(UIEVENT_MOUSELEAVE));
    EXPECT_EQ(nullptr, t.window.Manager().GetHover());
    // A second leave finds nothing left to end.
    t.Send(WM_MOUSELEAVE, 0, 0, 0);
    EXPECT_EQ(1, t.right->Count(UIEVENT_MOUSELEAVE));
    EXPECT_EQ(0, t.left->Count(UIEVENT_MOUSELEAVE));
}

TEST(WindowTimers, EveryControlTicksAndNoneTakesTheCaretsId)
{
    CManagerTestWindow window(50, 50);
    ASSERT_NE(nullptr, window.Handle());
    CWindowManagerUI& manager = window.Manager();
    auto* root = Make<CContainerUI>({});
    manager.AttachRoot(root);
    // Every free window timer id of the counter, 241 and 0 aside.
    std::vector<Probe*> probes;
    for (int i = 0; i < 253; ++i) {
        probes.push_back(AddChild<Probe>(root, {}));
        ASSERT_TRUE(manager.StartTimer(probes.back(), 3, 10)) << i;
    }
    EXPECT_FALSE(manager.StartTimer(AddChild<Probe>(root, {}), 3, 10)) << "no id left";
    EXPECT_FALSE(manager.StartTimer(probes[0], 3, 10)) << "already running";
    EXPECT_TRUE(manager.StopTimer(probes[0], 3));
    EXPECT_TRUE(manager.StartTimer(probes[0], 3, 10)) << "a stopped record is reused";
    const bool allTicked = window.PumpUntil([&] {
        for (Probe* p : probes)
            if (p->Count(UIEVENT_TIMER) == 0) return false;
        return true;
    });
    int silent = 0;
    for (Probe* p : probes) silent += p->Count(UIEVENT_TIMER) == 0;
    EXPECT_TRUE(allTicked) << silent << " controls never ticked";
}

TEST(WindowCaret, BlinksOnTimer241AndOnlyForAFocusedOwner)
{
    CManagerTestWindow window(80, 30);
    ASSERT_NE(nullptr, window.Handle());
    CWindowManagerUI& manager = window.Manager();
    auto* root = Make<CContainerUI>({{L"bkcolor", L"#FFFFFFFF"}});
    Probe* owner = AddChild<Probe>(root, {});
    manager.AttachRoot(root);
    owner->SetFocus();
    manager.SetCaretSize(2, 10);
    manager.MoveCaret(owner, 30, 5);
    ASSERT_TRUE(manager.EnableCaret(true));
    window.PaintNow();
    EXPECT_EQ(0x000000u, window.WindowPixel(31, 8)) << "shown in the default text colour";
    EXPECT_EQ(0xFFFFFFu, window.WindowPixel(33, 8));
    SendMessageW(window.Handle(), WM_TIMER, 241, 0);
    window.PaintNow();
    EXPECT_EQ(0xFFFFFFu, window.WindowPixel(31, 8)) << "one blink hides it";
    SendMessageW(window.Handle(), WM_TIMER, 241, 0);
    manager.FocusControl(nullptr);
    window.PaintNow();
    EXPECT_EQ(0xFFFFFFu, window.WindowPixel(31, 8)) << "no caret for an owner without the focus";
    EXPECT_EQ(0, owner->Count(UIEVENT_TIMER)) << "the blink is no control timer";
}

struct Listener : INotifyUI {
    std::vector<std::wstring>* log;
    std::wstring name;
    CWindowManagerUI* removeFrom = nullptr;
    void Notify(NotifyMsg& msg) override
    {
        log->push_back(name + L":" + msg.type);
        if (removeFrom) removeFrom->RemoveNotifyListener(this);
    }
};

TEST(Notifications, ArriveInOrderBeforeSendReturnsWhileListenersLeave)
{
    CWindowManagerUI manager;
    auto* root = Make<CContainerUI>({});
    manager.AttachRoot(root);
    std::vector<std::wstring> log;
    Listener leaving{};
    leaving.log = &log;
    leaving.name = L"a";
    leaving.removeFrom = &manager;
    Listener staying{};
    staying.log = &log;
    staying.name = L"b";
    manager.AddNotifyListener(&leaving);
    manager.AddNotifyListener(&staying);
    manager.SendNotification(root, L"first", 0, 0, true);
    EXPECT_EQ((std::vector<std::wstring>{L"a:first", L"b:first"}), log);
    manager.SendNotification(root, L"second", 0, 0, true);
    EXPECT_EQ((std::vector<std::wstring>{L"a:first", L"b:first", L"b:second"}), log);
}

}  // namespace
