// Skinned windows under Xvfb: the modal loop and its close codes, centring,
// hit testing of the caption strip and the resize borders, rounded regions,
// the system buttons, skin sources and the box shown for a skin that fails.

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>

#include "base/Thread.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"

using namespace window_tests;

namespace {

const wchar_t kPlainSkin[] =
    L"<Window><VerticalLayout name=\"root\" bkcolor=\"#FF00FF00\"><Control name=\"closebtn\" /></VerticalLayout>"
    L"</Window>";

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
        CSkinSource::Process().Reset();
    }
    void TearDown() override { CSkinSource::Process().Reset(); }

    SkinFolder skins;
};

LRESULT HitAt(HWND window, int x, int y)
{
    POINT pt{x, y};
    ClientToScreen(window, &pt);
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
}

struct EscapeLater {
    HWND window;
    bool aliveAtEscape = false;
};

void PostEscape(void* data)
{
    auto* escape = static_cast<EscapeLater*>(data);
    escape->aliveAtEscape = IsWindow(escape->window) != FALSE;
    PostMessageW(escape->window, WM_KEYDOWN, VK_ESCAPE, 0);
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

TEST_F(WindowTest, ModalLoopEndsWithTheCloseCode)
{
    // Return does nothing by itself; Escape closes with 0.
    {
        TestWindow window;
        window.skin = kPlainSkin;
        ASSERT_TRUE(window.CreatePopup());
        EscapeLater escape{window};
        PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
        After(300, &PostEscape, &escape);
        ModalGuard guard(window, 5000);
        EXPECT_EQ(0u, window.RunModal());
        EXPECT_TRUE(escape.aliveAtEscape) << "Return closed the window";
        EXPECT_FALSE(guard.Fired()) << "Escape did not end the loop";
    }
    {
        TestWindow window;
        window.skin = kPlainSkin;
        ASSERT_TRUE(window.CreatePopup());
        ModalGuard guard(window, 5000);
        window.Close(1);
        EXPECT_EQ(1u, window.RunModal());
        EXPECT_FALSE(guard.Fired());
        EXPECT_EQ(nullptr, window.GetHWND());
    }
}

TEST_F(WindowTest, OwnerIsEnabledAgainHoweverTheWindowEnds)
{
    struct Observed {
        HWND owner;
        HWND window;
        bool ownerEnabledDuring = true;
        bool systemClose = true;
    };
    for (bool systemClose : {true, false}) {
        TestWindow owner;
        owner.skin = kPlainSkin;
        ASSERT_TRUE(owner.CreatePopup());
        TestWindow window;
        window.skin = kPlainSkin;
        ASSERT_TRUE(window.CreatePopup(owner));
        Observed seen{owner, window};
        seen.systemClose = systemClose;
        After(200, [](void* p) {
            auto* s = static_cast<Observed*>(p);
            s->ownerEnabledDuring = IsWindowEnabled(s->owner) != FALSE;
            // Neither way posts WM_CLOSE: the system command sends it, and
            // DestroyWindow has none at all.
            if (s->systemClose)
                PostMessageW(s->window, WM_SYSCOMMAND, SC_CLOSE, 0);
            else
                DestroyWindow(s->window);
        }, &seen);
        ModalGuard guard(window, 5000);
        EXPECT_EQ(0u, window.RunModal()) << systemClose;
        EXPECT_FALSE(guard.Fired());
        EXPECT_FALSE(seen.ownerEnabledDuring);
        EXPECT_TRUE(IsWindowEnabled(owner)) << systemClose;
        EXPECT_FALSE(IsWindow(seen.window));
    }
}

TEST_F(WindowTest, CenterOnOwnerKeepsTheWindowInTheWorkArea)
{
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    TestWindow owner;
    owner.skin = kPlainSkin;
    ASSERT_TRUE(owner.CreatePopup(nullptr, work.right - 150, work.top + 10, 200, 150));
    TestWindow window;
    window.skin = kPlainSkin;
    ASSERT_TRUE(window.CreatePopup(owner, 0, 0, 400, 300));

    window.CenterOnOwner();
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(work.right, rect.right);
    EXPECT_EQ(work.top, rect.top);
    EXPECT_EQ(400, rect.right - rect.left);

    SetWindowPos(owner, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    window.CenterOnOwner();
    GetWindowRect(window, &rect);
    EXPECT_EQ(300 + 100 - 200, rect.left);
    EXPECT_EQ(300 + 75 - 150, rect.top);
}

TEST_F(WindowTest, CaptionStripAndResizeBordersHitTest)
{
    TestWindow window;
    window.skin =
        L"<Window caption=\"0,0,0,210\" sizebox=\"4,4,4,4\"><VerticalLayout>"
        L"<HorizontalLayout height=\"100\"><Button name=\"b\" width=\"100\" /><Control width=\"100\" />"
        L"<Label text=\"title\" width=\"100\" /><Text text=\"words\" width=\"50\" />"
        L"</HorizontalLayout><Control /></VerticalLayout></Window>";
    ASSERT_TRUE(window.CreatePopup(nullptr, 100, 100, 400, 300));
    ASSERT_NE(nullptr, window.Manager().GetRoot());
    window.Manager().GetRoot()->SetPos(RECT{0, 0, 400, 300});

    EXPECT_EQ(HTCLIENT, HitAt(window, 50, 50));     // the button takes its own clicks
    EXPECT_EQ(HTCAPTION, HitAt(window, 150, 50));   // a plain control drags
    EXPECT_EQ(HTCAPTION, HitAt(window, 250, 50));   // and so does a label
    EXPECT_EQ(HTCLIENT, HitAt(window, 320, 50));    // a text takes its own
    EXPECT_EQ(HTCAPTION, HitAt(window, 150, 205));  // still in the strip
    EXPECT_EQ(HTCLIENT, HitAt(window, 150, 215));   // below it
    EXPECT_EQ(HTTOPLEFT, HitAt(window, 2, 2));
    EXPECT_EQ(HTTOP, HitAt(window, 200, 1));
    EXPECT_EQ(HTLEFT, HitAt(window, 1, 150));
    EXPECT_EQ(HTRIGHT, HitAt(window, 397, 150));
    EXPECT_EQ(HTBOTTOMRIGHT, HitAt(window, 398, 298));

    // Maximised, the borders no longer resize.
    ShowWindow(window, SW_MAXIMIZE);
    EXPECT_EQ(HTCLIENT, HitAt(window, 1, 250));
}

TEST_F(WindowTest, TrackingLimitsFromTheSkinReachTheSystem)
{
    TestWindow window;
    window.skin = L"<Window mininfo=\"300,200\" maxinfo=\"600,500\"><VerticalLayout /></Window>";
    ASSERT_TRUE(window.CreatePopup());
    MINMAXINFO info{};
    info.ptMinTrackSize = POINT{1, 2};
    info.ptMaxTrackSize = POINT{3000, 4000};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(300, info.ptMinTrackSize.x);
    EXPECT_EQ(200, info.ptMinTrackSize.y);
    EXPECT_EQ(600, info.ptMaxTrackSize.x);
    EXPECT_EQ(500, info.ptMaxTrackSize.y);
    // Without the attributes the system's own limits stand.
    TestWindow plain;
    plain.skin = L"<Window><VerticalLayout /></Window>";
    ASSERT_TRUE(plain.CreatePopup());
    SendMessageW(plain, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_NE(300, info.ptMinTrackSize.x);
    EXPECT_NE(500, info.ptMaxTrackSize.y);
}

TEST_F(WindowTest, AClickOnAButtonInTheCaptionStripReachesTheButton)
{
    // Real input: the system asks the window where the pointer is, and only
    // a client answer turns the press into a click rather than a drag.
    TestWindow window;
    window.skin =
        L"<Window caption=\"0,0,0,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\"><HorizontalLayout height=\"60\">"
        L"<Control width=\"100\" /><Button name=\"inStrip\" width=\"100\" bkcolor=\"#FF3060C0\" />"
        L"</HorizontalLayout><Control /></VerticalLayout></Window>";
    ASSERT_TRUE(window.CreatePopup(nullptr, 100, 100, 400, 300));
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    auto pump = [] {
        for (int i = 0; i < 40; ++i) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!CWindowManagerUI::PreTranslate(&msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            }
            Sleep(5);
        }
    };
    pump();
    POINT at{150, 30};
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    pump();
    INPUT press[2] = {};
    press[0].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].type = INPUT_MOUSE;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(2u, SendInput(2, press, sizeof(INPUT)));
    pump();
    ASSERT_EQ(1u, window.clicks.size());
    EXPECT_EQ(L"inStrip", window.clicks[0]);
    // The plain control beside it in the strip drags instead of clicking.
    EXPECT_EQ(HTCAPTION, HitAt(window, 50, 30));
}

TEST_F(WindowTest, EscapeInTheEditOverlayReachesTheWindowsDefaultKey)
{
    TestWindow window;
    window.skin = L"<Window><VerticalLayout><Edit name=\"field\" height=\"30\" /><Control /></VerticalLayout></Window>";
    ASSERT_TRUE(window.CreatePopup());
    ShowWindow(window, SW_SHOWNORMAL);
    window.Manager().GetRoot()->SetPos(RECT{0, 0, 400, 300});
    CControlUI* field = window.Manager().FindControlByName(L"field");
    ASSERT_NE(nullptr, field);
    field->SetFocus();
    // The native edit window that the focused edit opens holds the keyboard.
    HWND overlay = GetFocus();
    ASSERT_NE(nullptr, overlay);
    ASSERT_NE(window.GetHWND(), overlay);
    ASSERT_EQ(window.GetHWND(), GetParent(overlay));
    PostMessageW(overlay, WM_KEYDOWN, VK_ESCAPE, 0);
    ModalGuard guard(window, 5000);
    EXPECT_EQ(0u, window.RunModal());
    EXPECT_FALSE(guard.Fired()) << "Escape in the edit did not close the window";
}

TEST_F(WindowTest, RoundCornersFollowEverySizeChange)
{
    TestWindow window;
    window.skin = L"<Window roundcorner=\"6,6\"><VerticalLayout /></Window>";
    ASSERT_TRUE(window.CreatePopup(nullptr, 100, 100, 400, 300));
    auto region = [&window]() {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        int kind = GetWindowRgn(window, rgn);
        EXPECT_NE(ERROR, kind);
        return rgn;
    };
    HRGN first = region();
    EXPECT_FALSE(PtInRegion(first, 0, 0));
    EXPECT_FALSE(PtInRegion(first, 399, 299));
    EXPECT_TRUE(PtInRegion(first, 399, 150));
    EXPECT_TRUE(PtInRegion(first, 200, 0));
    DeleteObject(first);

    SetWindowPos(window, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HRGN second = region();
    EXPECT_TRUE(PtInRegion(second, 499, 175));
    EXPECT_FALSE(PtInRegion(second, 499, 349));
    DeleteObject(second);
}

TEST_F(WindowTest, MaximiseSwapsTheSystemButtonsOnlyWhenBothExist)
{
    for (bool both : {true, false}) {
        TestWindow window;
        window.skin = std::wstring(L"<Window><VerticalLayout><Control name=\"maxbtn\" />") +
                      (both ? L"<Control name=\"restorebtn\" />" : L"") + L"</VerticalLayout></Window>";
        ASSERT_TRUE(window.CreatePopup());
        CControlUI* maximise = window.Manager().FindControlByName(L"maxbtn");
        CControlUI* restore = window.Manager().FindControlByName(L"restorebtn");
        ASSERT_NE(nullptr, maximise);

        SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        ASSERT_TRUE(IsZoomed(window));
        EXPECT_EQ(!both, maximise->IsVisible());
        if (both) {
            EXPECT_TRUE(restore->IsVisible());
        }

        SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_FALSE(IsZoomed(window));
        EXPECT_TRUE(maximise->IsVisible());
        if (both) {
            EXPECT_FALSE(restore->IsVisible());
        }
    }
}

TEST_F(WindowTest, SystemButtonsCloseThroughTheDefaultClick)
{
    TestWindow window;
    window.skin = kPlainSkin;
    ASSERT_TRUE(window.CreatePopup());
    CControlUI* close = window.Manager().FindControlByName(L"closebtn");
    ASSERT_NE(nullptr, close);
    window.Manager().SendNotification(close, L"click");
    ModalGuard guard(window, 5000);
    EXPECT_EQ(1u, window.RunModal());
    EXPECT_FALSE(guard.Fired());
}

TEST_F(WindowTest, SkinsLoadFromEveryKindOfSource)
{
    const std::wstring skin =
        L"<Window><VerticalLayout><Control name=\"marker\" /></VerticalLayout></Window>";
    skins.Write(L"main.xml", skin);
    testing_support::WriteBytes(skins.Path() + L"skins.zip", StoredZip({{"inner.xml", Utf8(skin)}}));

    struct Case {
        int kind;
        const wchar_t* file;
        const wchar_t* archive;
    } cases[] = {
        {kSkinFromFile, L"main.xml", L""},
        {kSkinFromArchiveFile, L"inner.xml", L"skins.zip"},
        {kSkinFromResource, L"201", L""},
        {kSkinFromArchiveResource, L"inner.xml", L"TESTSKINS"},
    };
    for (const Case& c : cases) {
        CSkinSource::Process().Reset();
        TestWindow window;
        window.kind = c.kind;
        window.skin = c.file;
        window.archive = c.archive;
        ASSERT_TRUE(window.CreatePopup()) << c.kind;
        EXPECT_EQ(1, window.skinsLoaded) << c.kind;
        EXPECT_NE(nullptr, window.Manager().FindControlByName(L"marker")) << c.kind;
        EXPECT_EQ(skins.Path(), ResourceLocation::GetResourceFolder()) << c.kind;
    }
}

TEST_F(WindowTest, SkinFolderGivenAsFullPathIsUsedAsItStands)
{
    skins.Write(L"main.xml", L"<Window><VerticalLayout><Control name=\"marker\" /></VerticalLayout></Window>");
    // A skin looked for in the wrong place shows a box; it is dismissed, so
    // that the test fails instead of waiting.
    const DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> done{false};
    CThread dismisser([&done, uiThread] {
        while (!done) {
            HWND box = nullptr;
            EnumThreadWindows(uiThread, &FindDialog, reinterpret_cast<LPARAM>(&box));
            if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
            Sleep(50);
        }
    });
    // Once with its trailing backslash, once without.
    for (const std::wstring& folder : {skins.Path(), skins.Path().substr(0, skins.Path().size() - 1)}) {
        CSkinSource::Process().Reset();
        TestWindow window;
        window.skin = L"main.xml";
        window.folder = folder;
        EXPECT_NE(nullptr, window.CreatePopup()) << folder;
        EXPECT_EQ(1, window.skinsLoaded) << folder;
        EXPECT_NE(nullptr, window.Manager().FindControlByName(L"marker")) << folder;
        EXPECT_EQ(skins.Path(), ResourceLocation::GetResourceFolder()) << folder;
    }
    done = true;
    dismisser.Join();
}

TEST_F(WindowTest, SkinThatFailsShowsTheBoxAndLeavesTheWindowEmpty)
{
    struct Seen {
        std::wstring caption;
        std::wstring text;
        HWND owner = reinterpret_cast<HWND>(1);
        bool icon = false;
        bool found = false;
    } seen;
    const DWORD uiThread = GetCurrentThreadId();
    // Whatever box the window's thread shows is read and dismissed, so a
    // wrong caption fails the test instead of blocking it.
    CThread dismisser([&seen, uiThread] {
        for (int i = 0; i < 100 && !seen.found; ++i) {
            HWND box = nullptr;
            EnumThreadWindows(uiThread, &FindDialog, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(50);
                continue;
            }
            wchar_t text[200] = {};
            GetWindowTextW(box, text, 200);
            seen.caption = text;
            GetDlgItemTextW(box, 0xFFFF, text, 200);
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            // The icon control of the platform's message box.
            seen.icon = GetDlgItem(box, 0x0440) != nullptr;
            seen.found = true;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    });
    TestWindow window;
    window.skin = L"missing.xml";
    HWND handle = window.CreatePopup();
    dismisser.Join();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(L"Lumeta", seen.caption);
    EXPECT_EQ(L"failed to load skin file", seen.text);
    EXPECT_EQ(nullptr, seen.owner);
    EXPECT_TRUE(seen.icon);
    EXPECT_NE(nullptr, handle);
    EXPECT_EQ(nullptr, window.Manager().GetRoot());
    EXPECT_EQ(0, window.skinsLoaded);
}

TEST_F(WindowTest, FirstPaintIsReportedOnceAndShowsTheSkin)
{
    TestWindow window;
    window.skin = kPlainSkin;
    ASSERT_TRUE(window.CreatePopup());
    EXPECT_EQ(0, window.firstPaints);
    window.Show(true, false);
    UpdateWindow(window);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(1, window.firstPaints);
    HDC dc = GetDC(window);
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 200, 150));
    ReleaseDC(window, dc);
}
