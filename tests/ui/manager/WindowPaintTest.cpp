// Painting of real windows: lazy layout, "windowinit", the lasting back
// buffer, the layered mode's alpha, printing and the window's opacity.

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/controls/ControlTestTrees.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/ui/support/ManagerTestWindow.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace control_tests;
using ui_test::CManagerTestWindow;

namespace {

struct Recorder : INotifyUI {
    std::vector<std::wstring> types;
    std::vector<CControlUI*> senders;
    void Notify(NotifyMsg& msg) override
    {
        types.push_back(msg.type);
        senders.push_back(msg.sender);
    }
    int Count(const wchar_t* type) const { return static_cast<int>(std::count(types.begin(), types.end(), type)); }
};

// Asks for layout again from inside its first paint, as a control that
// finds out its size only while drawing does, without invalidating.
struct RelayoutOnPaint : CControlUI {
    int paints = 0;
    void PaintBackgroundColor(HDC dc) override
    {
        if (paints++ == 0) {
            m_updateNeeded = true;
            GetManager()->MarkLayoutNeeded();
        }
        CControlUI::PaintBackgroundColor(dc);
    }
};

TEST(WindowPaint, LazyLayoutWindowInitAndALastingBackBuffer)
{
    const std::wstring folder = testing_support::ScratchFolder(L"window-paint");
    const std::wstring red = draw_test::WritePng(folder, L"red.png", 4, 4, std::vector<uint32_t>(16, 0xFFFF0000));
    CManagerTestWindow window(200, 100);
    ASSERT_NE(nullptr, window.Handle());
    CWindowManagerUI& manager = window.Manager();
    Recorder listener;
    manager.AddNotifyListener(&listener);
    auto* root = Make<CVerticalLayoutUI>({{L"bkcolor", L"#FFFFFFFF"}});
    AddChild<CControlUI>(root, {{L"height", L"40"}, {L"bkcolor", L"#FF0000FF"}, {L"bordersize", L"1"},
                                {L"bordercolor", L"#FF00FF00"}});
    CControlUI* picture = AddChild<CControlUI>(root, {{L"bkimage", (L"file='" + red + L"'").c_str()}});
    auto* asking = AddChild<RelayoutOnPaint>(root, {{L"height", L"10"}, {L"bkcolor", L"#FF808080"}});
    manager.AttachRoot(root);
    EXPECT_EQ(0, listener.Count(L"windowinit")) << "nothing is laid out before the first paint";
    EXPECT_RECT(root->GetPos(), 0, 0, 0, 0);

    window.PaintNow();
    EXPECT_EQ(1, listener.Count(L"windowinit"));
    ASSERT_FALSE(listener.senders.empty());
    EXPECT_EQ(root, listener.senders[0]);
    EXPECT_RECT(picture->GetPos(), 0, 40, 200, 90);
    // The control that asked for layout while painting got another paint.
    RECT pending;
    EXPECT_TRUE(GetUpdateRect(window.Handle(), &pending, FALSE));
    window.PaintNow();
    EXPECT_GE(asking->paints, 2);

    // Border, colour and the stretched image where the layout put them,
    // on the screen and in the back buffer.
    EXPECT_EQ(0x00FF00u, window.WindowPixel(0, 0));
    EXPECT_EQ(0x0000FFu, window.WindowPixel(10, 10));
    EXPECT_EQ(0xFF0000u, window.WindowPixel(100, 60));
    EXPECT_EQ(0x808080u, window.WindowPixel(100, 95));
    EXPECT_EQ(0xFFFF0000u, window.BufferPixel(100, 60));

    // A small repaint keeps the buffer and what lies outside the cut.
    HDC buffer = manager.GetBackBufferDC();
    RECT cut{0, 0, 20, 20};
    InvalidateRect(window.Handle(), &cut, FALSE);
    window.PaintNow();
    EXPECT_EQ(buffer, manager.GetBackBufferDC());
    EXPECT_EQ(0xFFFF0000u, window.BufferPixel(100, 60));

    // A new size is laid out at the next paint, not before, into a new buffer.
    SetWindowPos(window.Handle(), nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    EXPECT_RECT(root->GetPos(), 0, 0, 200, 100);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.PaintNow();
    EXPECT_RECT(root->GetPos(), 0, 0, 300, 150);
    EXPECT_EQ(300, window.BufferSize().cx);
    EXPECT_EQ(150, window.BufferSize().cy);
    EXPECT_EQ(0xFF0000u, window.WindowPixel(250, 120));
    EXPECT_EQ(1, listener.Count(L"windowinit")) << "windowinit only after the first layout";

    // A second root gets a "windowinit" of its own.
    auto* second = Make<CVerticalLayoutUI>({{L"bkcolor", L"#FF00FFFF"}});
    manager.AttachRoot(second);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.PaintNow();
    EXPECT_EQ(2, listener.Count(L"windowinit"));
    EXPECT_EQ(second, listener.senders.back());
    EXPECT_EQ(0x00FFFFu, window.WindowPixel(150, 75));

    // Printing paints the tree into any DC.
    draw_test::Canvas canvas(300, 150, 0xFF000000);
    SendMessageW(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(0x00FFFFu, canvas.Pixel(150, 75));
    manager.RemoveNotifyListener(&listener);
    testing_support::RemoveTree(folder);
}

TEST(WindowPaint, LayeredModeFixesAlphaAndKeepsTheNamedAreasOpaque)
{
    CManagerTestWindow window(120, 60);
    ASSERT_NE(nullptr, window.Handle());
    CWindowManagerUI& manager = window.Manager();
    manager.SetLayeredPaint(true);
    auto* root = Make<CContainerUI>({});
    // Opaque GDI fill (no alpha written), a translucent fill, nothing at
    // all, and an empty control that must be opaque by its name.
    AddChild<CControlUI>(root, {{L"float", L"true"}, {L"pos", L"0,0,40,20"}, {L"bkcolor", L"#FF204060"}});
    AddChild<CControlUI>(root, {{L"float", L"true"}, {L"pos", L"40,0,80,20"}, {L"bkcolor", L"#80FF0000"}});
    AddChild<CControlUI>(root, {{L"float", L"true"}, {L"pos", L"0,30,40,60"}, {L"name", L"layoutLogList"}});
    AddChild<CControlUI>(root, {{L"float", L"true"}, {L"pos", L"60,30,100,60"}, {L"name", L"other"}});
    manager.AttachRoot(root);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.PaintNow();
    EXPECT_TRUE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(0xFF204060u, window.BufferPixel(10, 10));
    EXPECT_EQ(0x80u, window.BufferPixel(60, 10) >> 24);
    EXPECT_EQ(0xFF000000u, window.BufferPixel(20, 45)) << std::hex << window.BufferPixel(20, 45);
    EXPECT_EQ(0u, window.BufferPixel(80, 45)) << std::hex << window.BufferPixel(80, 45);
    EXPECT_EQ(0u, window.BufferPixel(110, 10));
}

TEST(WindowPaint, WindowAlphaSetsAndClearsTheLayeredStyle)
{
    CManagerTestWindow window(50, 50);
    ASSERT_NE(nullptr, window.Handle());
    window.Manager().SetWindowAlpha(128);
    EXPECT_TRUE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(128, window.Manager().GetWindowAlpha());
    window.Manager().SetWindowAlpha(300);
    EXPECT_FALSE(GetWindowLongW(window.Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(255, window.Manager().GetWindowAlpha());
}

}  // namespace
