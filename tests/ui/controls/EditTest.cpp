// The edit control and its native window in real windows: posted clicks,
// keys and characters, results read from notifications, the native window
// and painted pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "tests/ui/controls/ControlHostWindow.h"
#include "tests/ui/controls/ControlTestTrees.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/EditWnd.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace control_tests;

namespace {

constexpr DWORD kWhite = 0xFFFFFF;

std::wstring WindowText(HWND window)
{
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

// A 400 by 300 window with a 200 by 36 edit at (10, 10) and an empty
// control below it that takes the focus away when clicked.
struct EditWindow {
    CHostWindow host;
    CVerticalLayoutUI* root = Make<CVerticalLayoutUI>({{L"bkcolor", L"#FFFFFFFF"}, {L"inset", L"10,10,10,10"}});
    CEditUI* edit = nullptr;

    explicit EditWindow(Attributes attributes, int font = -1)
    {
        edit = AddChild<CEditUI>(root, {{L"width", L"200"}, {L"height", L"36"}});
        for (const auto& a : attributes) edit->SetAttribute(a.first, a.second);
        AddChild<CControlUI>(root, {});
        if (font >= 0) edit->SetAttribute(L"font", std::to_wstring(font));
        ok = host.Open(root, 100, 100, 400, 300);
    }
    void ClickEdit() { CHostWindow::Click(host.GetHWND(), 110, 28); }
    void ClickElsewhere() { CHostWindow::Click(host.GetHWND(), 110, 200); }
    HWND Native() const { return edit->GetNativeWindow() ? edit->GetNativeWindow()->GetHWND() : nullptr; }
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text) PostMessageW(Native(), WM_CHAR, c, 1);
        CHostWindow::Pump();
    }
    bool ok = false;
};

TEST(EditNative, OpensOnFocusTakesTheKeyboardAndClosesWhenTheFocusGoes)
{
    EditWindow w({{L"text", L"hello"}});
    ASSERT_TRUE(w.ok);
    EXPECT_EQ(nullptr, w.Native());
    w.edit->SetFocus();
    CHostWindow::Pump();
    ASSERT_NE(nullptr, w.Native());
    EXPECT_TRUE(IsWindowVisible(w.Native()));
    EXPECT_EQ(w.Native(), GetFocus());
    EXPECT_EQ(L"hello", WindowText(w.Native()));
    w.ClickElsewhere();
    EXPECT_EQ(nullptr, w.Native());
    // A click opens it again; disabling closes it.
    w.ClickEdit();
    EXPECT_NE(nullptr, w.Native());
    w.edit->SetEnabled(false);
    CHostWindow::Pump();
    EXPECT_EQ(nullptr, w.Native());
}

TEST(EditNative, SitsOnOneFontLineCentredInTheEdit)
{
    CWindowManagerUI probe;
    int size = 0;
    for (int s = 10; s < 30 && size == 0; ++s) {
        probe.RegisterFont(7, L"Tahoma", s, false, false, false, false);
        if (probe.FontEntryById(7)->metrics.tmHeight == 19) size = s;
    }
    ASSERT_NE(0, size) << "no font size gives a 19-pixel line";
    EditWindow w({{L"textpadding", L"0,0,0,0"}}, 7);
    w.host.manager.RegisterFont(7, L"Tahoma", size, false, false, false, false);
    ASSERT_TRUE(w.ok);
    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    RECT r{};
    GetWindowRect(w.Native(), &r);
    MapWindowPoints(HWND_DESKTOP, w.host.GetHWND(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(10 + 8, r.top);
    EXPECT_EQ(19, r.bottom - r.top);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(210, r.right);
}

TEST(EditPassword, ThreeCharactersShowAsThreeAsterisksPaintedAndNative)
{
    EditWindow w({{L"text", L"abc"}, {L"password", L"true"}, {L"textcolor", L"#FF000000"}});
    ASSERT_TRUE(w.ok);
    auto* plain = AddChild<CEditUI>(w.root, {{L"width", L"200"}, {L"height", L"36"}, {L"text", L"***"},
                                             {L"textcolor", L"#FF000000"}});
    w.root->SetItemIndex(plain, 1);
    CHostWindow::Pump();
    const Shot shot(w.host.GetHWND());
    int differing = 0;
    int inked = 0;
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 200; ++x) {
            differing += shot.At(10 + x, 10 + y) != shot.At(10 + x, 46 + y) ? 1 : 0;
            inked += shot.At(10 + x, 10 + y) != kWhite ? 1 : 0;
        }
    EXPECT_GT(inked, 10);
    EXPECT_EQ(0, differing);

    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    EXPECT_TRUE(GetWindowLongW(w.Native(), GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(L'*', SendMessageW(w.Native(), EM_GETPASSWORDCHAR, 0, 0));
    EXPECT_EQ(L"abc", WindowText(w.Native()));
}

TEST(EditKeys, ReturnAndTabAreReportedAndNotTyped)
{
    EditWindow w({{L"text", L"ab"}});
    ASSERT_TRUE(w.ok);
    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    // Through the message loop, which makes the character of the key too.
    CHostWindow::Key(w.Native(), VK_RETURN);
    EXPECT_EQ(1, w.host.Count(L"return"));
    // The loop keeps Tab from every window, so it is handed over directly.
    SendMessageW(w.Native(), WM_KEYDOWN, VK_TAB, 1);
    SendMessageW(w.Native(), WM_CHAR, L'\t', 1);
    EXPECT_EQ(1, w.host.Count(L"tabswitch"));
    EXPECT_EQ(L"ab", WindowText(w.Native()));
    EXPECT_EQ(L"ab", w.edit->GetText());
    EXPECT_EQ(0, w.host.Count(L"textchanged"));
}

TEST(EditTyping, OneTextChangedPerCharacterAfterTheTextIsUpdated)
{
    EditWindow w({});
    ASSERT_TRUE(w.ok);
    std::vector<std::wstring> seen;
    w.host.onNotify = [&](NotifyMsg& msg) {
        if (msg.type == L"textchanged") seen.push_back(msg.sender->GetText());
    };
    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    w.Type(L"abc");
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"ab", L"abc"}), seen);
}

TEST(EditTyping, MaxCharLimitsTypingButNotSetText)
{
    EditWindow w({{L"maxchar", L"10"}});
    ASSERT_TRUE(w.ok);
    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    w.Type(L"0123456789AB");
    EXPECT_EQ(L"0123456789", w.edit->GetText());
    w.edit->SetText(L"0123456789ABCDEF");
    CHostWindow::Pump();
    EXPECT_EQ(L"0123456789ABCDEF", w.edit->GetText());
    EXPECT_EQ(L"0123456789ABCDEF", WindowText(w.Native()));
}

TEST(EditTyping, AHandlerThatNormalisesTheTextIsToldOnceMore)
{
    // A "textchanged" handler that writes the text back in capitals: the
    // write is reported once, the report of unchanged text sets nothing.
    EditWindow w({});
    ASSERT_TRUE(w.ok);
    int depth = 0;
    int deepest = 0;
    std::vector<std::wstring> seen;
    w.host.onNotify = [&](NotifyMsg& msg) {
        if (msg.type != L"textchanged") return;
        seen.push_back(msg.sender->GetText());
        // A cap that keeps a relapse a failure instead of a lost stack.
        if (depth >= 20) return;
        ++depth;
        deepest = std::max(deepest, depth);
        std::wstring upper = msg.sender->GetText();
        for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
        msg.sender->SetText(upper);
        --depth;
    };
    w.ClickEdit();
    ASSERT_NE(nullptr, w.Native());
    w.Type(L"a");
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"A"}), seen);
    EXPECT_LE(deepest, 2);
    seen.clear();
    w.edit->SetText(L"xy");
    EXPECT_EQ((std::vector<std::wstring>{L"xy", L"XY"}), seen);
    EXPECT_EQ(L"XY", w.edit->GetText());
    EXPECT_EQ(L"XY", WindowText(w.Native()));
    // Setting the text it already has changes nothing and reports nothing.
    seen.clear();
    w.edit->SetText(L"XY");
    EXPECT_TRUE(seen.empty());
}

TEST(EditDisabled, PaintsInTheDefaultDisabledColourAndNeverOpens)
{
    // As the product window's path field: text colour equal to the background.
    EditWindow w({{L"text", L"C:\\Program Files"}, {L"enabled", L"false"}, {L"textcolor", L"#FFFFFFFF"}});
    ASSERT_TRUE(w.ok);
    const DWORD disabled = w.host.manager.GetDefaultDisabledColor() & 0xFFFFFF;
    const Shot shot(w.host.GetHWND());
    const RECT area{10, 10, 210, 46};
    EXPECT_GT(shot.Count(area, disabled), 5);
    w.ClickEdit();
    EXPECT_EQ(nullptr, w.Native());
    EXPECT_NE(w.edit, w.host.manager.GetFocus());
}

}  // namespace
