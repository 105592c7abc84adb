// Notification dispatch through message maps and virtual windows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/core/NotifyPump.h"

namespace {

class BasePump : public CNotifyPump {
public:
    std::vector<std::string> calls;
    void OnAnyClick(NotifyMsg&) { calls.push_back("base click"); }
    void OnOther(NotifyMsg&) { calls.push_back("base other"); }
    UI_DECLARE_NOTIFY_MAP()
};

UI_BEGIN_NOTIFY_MAP(BasePump, CNotifyPump)
UI_NOTIFY_MESSAGE(L"click", L"", &BasePump::OnAnyClick)
UI_NOTIFY_MESSAGE(L"other", L"", &BasePump::OnOther)
UI_END_NOTIFY_MAP()

class DerivedPump : public BasePump {
public:
    void OnFirstAny(NotifyMsg&) { calls.push_back("first any"); }
    void OnLastAny(NotifyMsg&) { calls.push_back("last any"); }
    void OnOk(WPARAM wParam, LPARAM lParam) { calls.push_back("ok " + std::to_string(wParam + lParam)); }
    UI_DECLARE_NOTIFY_MAP()
};

UI_BEGIN_NOTIFY_MAP(DerivedPump, BasePump)
UI_NOTIFY_MESSAGE(L"click", L"", &DerivedPump::OnFirstAny)
UI_NOTIFY_PARAMS(L"click", L"okBtn", &DerivedPump::OnOk)
UI_NOTIFY_MESSAGE(L"click", L"", &DerivedPump::OnLastAny)
UI_END_NOTIFY_MAP()

NotifyMsg Message(const wchar_t* type, CControlUI* sender, const wchar_t* virtualWindow = L"")
{
    NotifyMsg msg;
    msg.type = type;
    msg.sender = sender;
    msg.virtualWindowName = virtualWindow;
    msg.wParam = 2;
    msg.lParam = 3;
    return msg;
}

}  // namespace

TEST(NotifyPumpTest, NamedEntryWinsThenLastAnyThenTheBaseMap)
{
    CControlUI ok, other;
    ok.SetName(L"okBtn");
    other.SetName(L"cancelBtn");
    DerivedPump pump;
    NotifyMsg m1 = Message(L"click", &ok), m2 = Message(L"click", &other), m3 = Message(L"other", &ok),
              m4 = Message(L"nothing", &ok);
    pump.NotifyPump(m1);
    pump.NotifyPump(m2);
    pump.NotifyPump(m3);
    EXPECT_FALSE(pump.LoopDispatch(m4));
    EXPECT_EQ((std::vector<std::string>{"ok 5", "last any", "base other"}), pump.calls);
}

TEST(NotifyPumpTest, VirtualWindowsTakeTheirNotificationsFirst)
{
    CControlUI ok;
    ok.SetName(L"okBtn");
    DerivedPump pump;
    BasePump page;
    ASSERT_TRUE(pump.AddVirtualWnd(L"Page", &page));
    EXPECT_FALSE(pump.AddVirtualWnd(L"Page", &page));
    NotifyMsg m1 = Message(L"click", &ok, L"PAGE"), m2 = Message(L"unknown", &ok, L"page");
    pump.NotifyPump(m1);
    pump.NotifyPump(m2);
    EXPECT_EQ(std::vector<std::string>{"base click"}, page.calls);
    EXPECT_TRUE(pump.calls.empty());
    ASSERT_TRUE(pump.RemoveVirtualWnd(L"Page"));
    pump.NotifyPump(m1);
    EXPECT_EQ(std::vector<std::string>{"ok 5"}, pump.calls);
}
