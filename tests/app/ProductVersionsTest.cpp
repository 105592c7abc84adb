// The product window's version list as the product fills it, in the
// product's own skins (this test program carries setup.exe's resources):
// the height of its rows, the drop-down's limit and the first choice.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "base/ModuleResource.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/ComboWnd.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"

namespace {

// The product page's skin without the product's start-up chores.
class SkinOnlyMainWindow : public WindowImplBase {
public:
    const wchar_t* WindowClassName() const override { return L"VersionListTestMain"; }
    std::wstring GetSkinFileName() override { return L"main.xml"; }
    std::wstring GetSkinFolder() override { return L""; }
};

void Pump(DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

struct OpenList {
    int rowHeight = 0;
    int itemFontRow = 0;   // the height of a row in the item font, font 2
    int ownFontRow = 0;    // the same in the combo's default text font, font 1
    int popupHeight = 0;
    int comboHeight = 0;
    int dropBoxHeight = 0;
    int selected = -2;
    bool opened = false;
};

// Builds the product page from the archive, fills two versions the
// product's way and opens the list with a click on the combo.
OpenList OpenTwoVersions(int archiveId)
{
    OpenList seen;
    ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
    ModuleResource archive = FindModuleResource(nullptr, MAKEINTRESOURCEW(archiveId), L"Zip");
    if (archive.Empty()) return seen;
    // The skin source keeps the archive it opened first.
    CSkinSource::Process().Reset();
    ResourceLocation::UseSkinArchiveBytes(archive.data, archive.size);
    SkinOnlyMainWindow window;
    if (!window.Create(nullptr, L"", WS_POPUP | WS_VISIBLE, 0)) return seen;
    auto* combo = static_cast<CComboUI*>(window.Manager().FindControlByName(L"versionCombo"));
    if (combo) {
        CMainWindow::FillVersions(*combo, {L"晴川看图 3.2 正式版", L"晴川看图 3.1 稳定版"});
        Pump(100);
        seen.comboHeight = combo->GetFixedHeight();
        seen.dropBoxHeight = combo->GetDropBoxSize().cy;
        seen.selected = combo->GetCurSel();
        const RECT pos = combo->GetPos();
        const LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        PostMessageW(window, WM_MOUSEMOVE, 0, at);
        PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(window, WM_LBUTTONUP, 0, at);
        Pump(200);
        if (CComboWnd* popup = combo->GetPopup()) {
            seen.opened = true;
            RECT r{};
            GetWindowRect(popup->GetHWND(), &r);
            seen.popupHeight = r.bottom - r.top;
            const RECT row = combo->GetItemAt(0)->GetPos();
            seen.rowHeight = row.bottom - row.top;
            // A row is its font's cell height and 8 pixels.
            seen.itemFontRow = static_cast<int>(window.Manager().FontEntryById(2)->metrics.tmHeight) + 8;
            seen.ownFontRow = static_cast<int>(window.Manager().FontEntryById(1)->metrics.tmHeight) + 8;
            PostMessageW(popup->GetHWND(), WM_KEYDOWN, VK_ESCAPE, 0);
            Pump(100);
        }
    }
    DestroyWindow(window);
    Pump(50);
    return seen;
}

}  // namespace

TEST(ProductVersionList, TwoVersionsOpenInTwoRowsOfTheItemFontWithTheFirstChosen)
{
    const OpenList small = OpenTwoVersions(130);
    ASSERT_TRUE(small.opened);
    EXPECT_EQ(0, small.selected);
    EXPECT_EQ(36, small.comboHeight);
    EXPECT_EQ(2 * 36, small.dropBoxHeight);
    // The rows are drawn in the item font, 14 pixels, not in the 16 of font 1.
    ASSERT_NE(small.itemFontRow, small.ownFontRow);
    EXPECT_EQ(small.itemFontRow, small.rowHeight);
    EXPECT_EQ(2 * small.rowHeight + 4, small.popupHeight);
    EXPECT_LE(small.popupHeight, 2 * small.comboHeight);
    std::printf("1x: rows %d pixels (font 1 would give %d), popup %d, combo %d\n", small.rowHeight,
                small.ownFontRow, small.popupHeight, small.comboHeight);

    const OpenList large = OpenTwoVersions(138);
    ASSERT_TRUE(large.opened);
    EXPECT_EQ(0, large.selected);
    EXPECT_EQ(72, large.comboHeight);
    EXPECT_EQ(2 * 72, large.dropBoxHeight);
    EXPECT_EQ(large.itemFontRow, large.rowHeight);
    EXPECT_EQ(2 * large.rowHeight + 4, large.popupHeight);
    EXPECT_LE(large.popupHeight, 2 * large.comboHeight);
    std::printf("2x: rows %d pixels (font 1 would give %d), popup %d, combo %d\n", large.rowHeight,
                large.ownFontRow, large.popupHeight, large.comboHeight);
    // Back to the archive the other tests of this program use.
    CSkinSource::Process().Reset();
    ModuleResource archive = FindModuleResource(nullptr, MAKEINTRESOURCEW(130), L"Zip");
    ResourceLocation::UseSkinArchiveBytes(archive.data, archive.size);
}
