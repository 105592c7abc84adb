// The control base against a real manager: markup attributes and their
// edge cases, events and notifications, focus, names, timers and
// deferred destruction.

#include <gtest/gtest.h>

#include <vector>

#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace control_tests;

namespace {

struct Recorder : INotifyUI {
    std::vector<std::wstring> types;
    std::vector<CControlUI*> senders;
    std::vector<WPARAM> wParams;
    void Notify(NotifyMsg& msg) override
    {
        types.push_back(msg.type);
        senders.push_back(msg.sender);
        wParams.push_back(msg.wParam);
    }
};

// A container that records which events reach its own handling.
struct RecordingContainer : CContainerUI {
    std::vector<int> events;
    void OnEvent(ControlEvent& event) override
    {
        events.push_back(event.type);
        CContainerUI::OnEvent(event);
    }
};

ControlEvent Event(int type, CControlUI* sender, WPARAM wParam = 0)
{
    ControlEvent e;
    e.type = type;
    e.sender = sender;
    e.wParam = wParam;
    return e;
}

TEST(ControlAttributes, WidthHeightPosFloatInThisOrderGiveAFloatingControl)
{
    CWindowManagerUI manager;
    auto* root = Make<CContainerUI>({});
    manager.AttachRoot(root);
    CControlUI* c = AddChild<CControlUI>(
        root, {{L"width", L"20"}, {L"height", L"20"}, {L"pos", L"761,19,0,0"}, {L"float", L"true"}});
    EXPECT_TRUE(c->IsFloat());
    EXPECT_EQ(761, c->GetFloatOffset().cx);
    EXPECT_EQ(19, c->GetFloatOffset().cy);
    EXPECT_EQ(20, c->GetFixedWidth());
    EXPECT_EQ(20, c->GetFixedHeight());
    root->SetPos(RECT{100, 50, 1000, 500});
    EXPECT_RECT(c->GetPos(), 861, 69, 881, 89);
    EXPECT_RECT(c->GetPosInParent(), 761, 19, 781, 39);

    // pos alone sets offset and size.
    CControlUI* d = Make<CControlUI>({{L"pos", L"10,10,110,40"}});
    EXPECT_EQ(10, d->GetFloatOffset().cx);
    EXPECT_EQ(10, d->GetFloatOffset().cy);
    EXPECT_EQ(100, d->GetFixedWidth());
    EXPECT_EQ(30, d->GetFixedHeight());
    delete d;
}

TEST(ControlAttributes, BorderSizeSingleValueAgainstFourSides)
{
    CControlUI c;
    c.SetAttribute(L"bordersize", L"3");
    c.SetAttribute(L"leftbordersize", L"2");
    c.SetAttribute(L"bordersize", L"1");
    EXPECT_EQ(1, c.GetBorderSize());
    EXPECT_RECT(c.GetSideBorderSizes(), 0, 0, 0, 0);
    c.SetAttribute(L"bordersize", L"0,0,0,1");
    EXPECT_EQ(1, c.GetBorderSize());
    EXPECT_RECT(c.GetSideBorderSizes(), 0, 0, 0, 1);
}

TEST(ControlAttributes, ValueSyntaxEdgeCases)
{
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
        bool enabled, visible, mouse;
    };
    const Case cases[] = {
        {L"enabled", L"false", false, true, true}, {L"enabled", L"False", false, true, true},
        {L"enabled", L"1", false, true, true},     {L"enabled", L"true", true, true, true},
        {L"visible", L"1", true, false, true},     {L"visible", L"true", true, true, true},
        {L"mouse", L"TRUE", true, true, false},    {L"mouse", L"true", true, true, true},
    };
    for (const Case& k : cases) {
        CControlUI c;
        c.SetAttribute(L"enabled", L"true");
        c.SetAttribute(L"mouse", L"true");
        c.SetAttribute(k.name, k.value);
        EXPECT_EQ(k.enabled, c.IsEnabled()) << k.name << "=" << testing::PrintToString(k.value);
        EXPECT_EQ(k.visible, c.IsVisible()) << k.name;
        EXPECT_EQ(k.mouse, c.IsMouseEnabled()) << k.name;
    }

    CControlUI c;
    c.SetAttribute(L"bkcolor", L" #FFF2F2F2");
    c.SetAttribute(L"bordercolor", L" #FFF2F2F2");
    EXPECT_EQ(0xFFF2F2F2u, c.GetBackgroundColor());
    EXPECT_EQ(0u, c.GetBorderColor());
    c.SetAttribute(L"bordercolor", L"#ffe5e5e5");
    EXPECT_EQ(0xFFE5E5E5u, c.GetBorderColor());
    c.SetAttribute(L"bkcolor2", L"FF999999");
    EXPECT_EQ(0xFF999999u, c.GetBackgroundColor2());
    c.SetAttribute(L"shortcut", L"Kx");
    EXPECT_EQ(L'K', c.GetShortcut());
    c.SetAttribute(L"nosuchattribute", L"1");  // ignored without harm
    c.SetAttribute(L"tooltip", L"a<n>b<n>");
    EXPECT_EQ(L"a\r\nb\r\n", c.GetToolTip());
}

TEST(ControlAttributes, SizeSettersIgnoreNegativesAndUnchangedLimits)
{
    CWindowManagerUI manager;
    auto* root = Make<CVerticalLayoutUI>({});
    manager.AttachRoot(root);
    CControlUI* c = AddChild<CControlUI>(root, {{L"width", L"40"}, {L"minwidth", L"10"}});
    root->SetPos(RECT{0, 0, 100, 100});
    ASSERT_FALSE(root->IsUpdateNeeded());

    c->SetFixedWidth(-5);
    EXPECT_EQ(40, c->GetFixedWidth());
    c->SetMinWidth(10);
    EXPECT_FALSE(root->IsUpdateNeeded());
    c->SetMinWidth(-1);
    EXPECT_FALSE(root->IsUpdateNeeded());
    c->SetMinWidth(12);
    EXPECT_TRUE(root->IsUpdateNeeded());
    root->SetPos(root->GetPos());
    c->SetFixedWidth(40);  // an unchanged fixed size still asks
    EXPECT_TRUE(root->IsUpdateNeeded());
}

TEST(ControlAttributes, ApplyAttributesStopsAtTheFirstMalformedPair)
{
    struct Case {
        const wchar_t* list;
        const wchar_t* name;
        const wchar_t* text;
        const wchar_t* userData;
    };
    const Case cases[] = {
        {L"name=\"x\" text=\"y\" userdata=\"z\"", L"x", L"y", L"z"},
        {L"name=\"x\"  text=\"y\"", L"x", L"", L""},
        {L"name=\"x\" text=y userdata=\"z\"", L"x", L"", L""},
        {L"name=\"x\" text=\"y", L"x", L"", L""},
        {L"name=\"x\"text=\"y\"", L"x", L"", L""},
        {L"name=\"x\" ", L"x", L"", L""},
        {L"", L"", L"", L""},
        {L"text=\"a=b\" name=\"n\"", L"n", L"a=b", L""},
    };
    for (const Case& k : cases) {
        CControlUI c;
        c.ApplyAttributes(k.list);
        EXPECT_EQ(k.name, c.GetName()) << testing::PrintToString(std::wstring(k.list));
        EXPECT_EQ(k.text, c.GetText()) << testing::PrintToString(std::wstring(k.list));
        EXPECT_EQ(k.userData, c.GetUserData()) << testing::PrintToString(std::wstring(k.list));
    }
}

TEST(ControlEvents, TimerStaysWithTheControlWhileMouseEnterAlsoReachesTheParent)
{
    CWindowManagerUI manager;
    Recorder listener;
    manager.AddNotifyListener(&listener);
    auto* root = new RecordingContainer;
    manager.AttachRoot(root);
    CControlUI* c = AddChild<CControlUI>(root, {});

    ControlEvent timer = Event(UIEVENT_TIMER, c, 7);
    c->HandleEvent(timer);
    ASSERT_EQ(1u, listener.types.size());
    EXPECT_EQ(L"timer", listener.types[0]);
    EXPECT_EQ(c, listener.senders[0]);
    EXPECT_EQ(7u, listener.wParams[0]);
    EXPECT_TRUE(root->events.empty());

    // The parent handles the same event as its own, so it says
    // "mouseenter" too, after the control.
    ControlEvent enter = Event(UIEVENT_MOUSEENTER, c);
    c->HandleEvent(enter);
    ASSERT_EQ(3u, listener.types.size());
    EXPECT_EQ(L"mouseenter", listener.types[1]);
    EXPECT_EQ(c, listener.senders[1]);
    EXPECT_EQ(L"mouseenter", listener.types[2]);
    EXPECT_EQ(root, listener.senders[2]);
    ASSERT_EQ(1u, root->events.size());
    EXPECT_EQ(UIEVENT_MOUSEENTER, root->events[0]);

    // Context menu: passed on unless the control asked for "menu".
    ControlEvent menu = Event(UIEVENT_CONTEXTMENU, c);
    c->HandleEvent(menu);
    EXPECT_EQ(2u, root->events.size());
    c->SetAttribute(L"menu", L"true");
    c->HandleEvent(menu);
    EXPECT_EQ(L"menu", listener.types.back());
    EXPECT_EQ(2u, root->events.size());
}

struct Veto {
    int calls = 0;
    bool allow = false;
    bool OnEvent(void*)
    {
        ++calls;
        return allow;
    }
    std::vector<std::wstring>* order = nullptr;
    bool OnNotify(void* param)
    {
        order->push_back(L"handler:" + static_cast<NotifyMsg*>(param)->type);
        return true;
    }
};

struct OrderListener : INotifyUI {
    std::vector<std::wstring>* order;
    const wchar_t* tag;
    void Notify(NotifyMsg& msg) override { order->push_back(std::wstring(tag) + msg.type); }
};

TEST(ControlEvents, EventHandlerVetoAndNotificationOrder)
{
    CWindowManagerUI manager;
    std::vector<std::wstring> order;
    OrderListener first;
    first.order = &order;
    first.tag = L"first:";
    OrderListener second;
    second.order = &order;
    second.tag = L"second:";
    manager.AddNotifyListener(&first);
    manager.AddNotifyListener(&second);
    auto* root = Make<CContainerUI>({});
    manager.AttachRoot(root);
    CControlUI* c = AddChild<CControlUI>(root, {});

    Veto veto;
    veto.order = &order;
    c->EventHandlers() += MakeDelegate(&veto, &Veto::OnEvent);
    c->NotifyHandlers() += MakeDelegate(&veto, &Veto::OnNotify);
    ControlEvent leave = Event(UIEVENT_MOUSELEAVE, c);
    c->HandleEvent(leave);
    EXPECT_EQ(1, veto.calls);
    EXPECT_TRUE(order.empty());

    veto.allow = true;
    c->HandleEvent(leave);
    manager.SendNotification(c, L"click", 0, 0, true);
    // The control's own handler first, then the listeners in order; the
    // parent's "mouseleave" has no handler of its own.
    const std::vector<std::wstring> expected = {L"handler:mouseleave", L"first:mouseleave", L"second:mouseleave",
                                                L"first:mouseleave",   L"second:mouseleave", L"handler:click",
                                                L"first:click",        L"second:click"};
    EXPECT_EQ(expected, order);
}

struct Lifecycle {
    int inits = 0;
    int destroys = 0;
    int sizes = 0;
    bool OnInit(void*) { return ++inits, true; }
    bool OnDestroy(void*) { return ++destroys, true; }
    bool OnSize(void*) { return ++sizes, true; }
};

TEST(ControlLifecycle, InitSizeAndDeferredDestroyThroughTheManager)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"controls", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    {
        CWindowManagerUI manager;
        manager.Init(window);
        Lifecycle life;
        auto* root = Make<CVerticalLayoutUI>({});
        CControlUI* early = AddChild<CControlUI>(root, {{L"name", L"early"}});
        early->InitHandlers() += MakeDelegate(&life, &Lifecycle::OnInit);
        early->DestroyHandlers() += MakeDelegate(&life, &Lifecycle::OnDestroy);
        early->SizeHandlers() += MakeDelegate(&life, &Lifecycle::OnSize);
        EXPECT_EQ(0, life.inits);
        manager.AttachRoot(root);
        EXPECT_EQ(1, life.inits);
        root->SetPos(RECT{0, 0, 50, 50});
        EXPECT_EQ(1, life.sizes);

        // The same name again: the later control wins.
        CControlUI* later = AddChild<CControlUI>(root, {});
        later->SetName(L"early");
        root->Remove(later);
        CControlUI* twin = new CControlUI;
        twin->SetName(L"early");
        root->Add(twin);
        EXPECT_EQ(twin, manager.FindControlByName(L"early"));
        root->Remove(twin);
        EXPECT_EQ(nullptr, manager.FindControlByName(L"early"));

        // A removed control lives until the posted message is handled.
        // It is forgotten at once, so neither focus nor name points at it.
        early->SetFocus();
        EXPECT_EQ(early, manager.GetFocus());
        root->Remove(early);
        EXPECT_EQ(nullptr, manager.GetFocus());
        EXPECT_EQ(0, life.destroys);
        MSG msg;
        bool handled = false;
        while (PeekMessageW(&msg, window, WM_APP + 1, WM_APP + 1, PM_REMOVE)) {
            LRESULT result = 0;
            handled = manager.HandleWindowMessage(msg.message, msg.wParam, msg.lParam, result) || handled;
        }
        EXPECT_TRUE(handled);
        EXPECT_EQ(1, life.destroys);
    }
    DestroyWindow(window);
}

TEST(ControlLifecycle, FocusFollowsVisibility)
{
    CWindowManagerUI manager;
    Recorder listener;
    manager.AddNotifyListener(&listener);
    auto* root = Make<CVerticalLayoutUI>({});
    manager.AttachRoot(root);
    CControlUI* a = AddChild<CControlUI>(root, {});
    CControlUI* b = AddChild<CControlUI>(root, {{L"enabled", L"false"}});

    a->SetFocus();
    EXPECT_EQ(a, manager.GetFocus());
    EXPECT_TRUE(a->IsFocused());
    b->SetFocus();  // disabled: the old focus is lost, the new one refused
    EXPECT_EQ(nullptr, manager.GetFocus());
    EXPECT_FALSE(a->IsFocused());
    a->SetFocus();
    root->SetVisible(false);
    EXPECT_EQ(nullptr, manager.GetFocus());
    const std::vector<std::wstring> expected = {L"setfocus", L"killfocus", L"setfocus", L"killfocus"};
    EXPECT_EQ(expected, listener.types);
}

LRESULT CALLBACK ManagerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* manager = reinterpret_cast<CWindowManagerUI*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = 0;
    if (manager && manager->HandleWindowMessage(message, wParam, lParam, result)) return result;
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(ControlTimers, StartTwiceFailsStopKeepsTheRecordAndTicksArriveAsTimerNotifications)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ManagerWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ControlTimerTest";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    {
        CWindowManagerUI manager;
        manager.Init(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
        Recorder listener;
        manager.AddNotifyListener(&listener);
        auto* root = Make<CContainerUI>({});
        manager.AttachRoot(root);
        CControlUI* c = AddChild<CControlUI>(root, {});

        EXPECT_TRUE(manager.StartTimer(c, 5, 10));
        EXPECT_FALSE(manager.StartTimer(c, 5, 10));
        EXPECT_TRUE(manager.StopTimer(c, 5));
        EXPECT_TRUE(manager.StartTimer(c, 5, 10));

        const DWORD start = GetTickCount();
        while (listener.types.empty() && GetTickCount() - start < 5000) {
            MSG msg;
            while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(5);
        }
        ASSERT_FALSE(listener.types.empty());
        EXPECT_EQ(L"timer", listener.types[0]);
        EXPECT_EQ(5u, listener.wParams[0]);

        // A removed, destroyed control leaves no timer behind.
        root->SetDeferredDelete(false);
        root->Remove(c);
        EXPECT_FALSE(manager.StopTimer(c, 5));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    DestroyWindow(window);
}

}  // namespace
