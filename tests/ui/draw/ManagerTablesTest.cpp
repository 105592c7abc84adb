#include "ui/core/WindowManagerUI.h"

#include <gtest/gtest.h>

namespace {

LOGFONTW Describe(HFONT font)
{
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    return lf;
}

TEST(ManagerTables, FontsOwnBeforeSharedBeforeDefault)
{
    CWindowManagerUI product, progress;
    HFONT shared = product.RegisterFont(104, L"Arial", 14, true, false, false, true);
    ASSERT_NE(shared, nullptr);
    HFONT own = product.RegisterFont(104, L"Arial", 20, false, true, false, false);
    ASSERT_NE(own, nullptr);

    EXPECT_EQ(product.FontById(104), own) << "a window's own entry wins for that window";
    EXPECT_EQ(progress.FontById(104), shared) << "a window without fonts finds the shared ones";
    EXPECT_EQ(progress.FontById(987654), progress.DefaultFontEntry()->font);
    EXPECT_NE(progress.DefaultFontEntry()->font, nullptr);

    FontEntry* entry = progress.FontEntryById(104);
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->metricsKnown);
    EXPECT_GT(entry->metrics.tmHeight, 0);
    EXPECT_TRUE(entry->bold);
    EXPECT_EQ(progress.FontEntryByHandle(shared), entry);
    EXPECT_EQ(product.FontEntryByHandle(own)->size, 20);
    EXPECT_EQ(product.FontEntryByHandle(nullptr), nullptr);

    LOGFONTW boldFace = Describe(shared);
    EXPECT_EQ(boldFace.lfHeight, -14);
    EXPECT_GE(boldFace.lfWeight, FW_BOLD);
    EXPECT_LE(boldFace.lfWeight, 1000);
    EXPECT_EQ(Describe(own).lfUnderline, TRUE);
    EXPECT_STREQ(boldFace.lfFaceName, L"Arial");

    EXPECT_EQ(product.FindFontByFace(L"Arial", 20, false, true, false), own);
    EXPECT_EQ(progress.FindFontByFace(L"Arial", 14, true, false, false), shared);
    EXPECT_EQ(progress.FindFontByFace(L"Arial", 20, false, true, false), nullptr);

    // Registering the id again replaces the earlier font.
    HFONT replaced = product.RegisterFont(104, L"Tahoma", 9, false, false, true, false);
    EXPECT_EQ(product.FontById(104), replaced);
    EXPECT_TRUE(product.FontEntryById(104)->italic);

    // Overlong face names are cut to what the platform holds.
    std::wstring longFace(80, L'x');
    EXPECT_NE(product.RegisterFont(105, longFace, 12, false, false, false, false), nullptr);
}

TEST(ManagerTables, DefaultFontOwnOrShared)
{
    CWindowManagerUI a, b;
    HFONT before = b.DefaultFontEntry()->font;
    HFONT own = a.SetDefaultFontFace(L"Tahoma", 17, false, false, false, false);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(a.DefaultFontEntry()->font, own);
    EXPECT_EQ(a.DefaultFontEntry()->size, 17);
    EXPECT_EQ(b.DefaultFontEntry()->font, before);
    EXPECT_EQ(a.FontById(55555), own);
    HFONT shared = a.SetDefaultFontFace(L"Arial", 13, false, false, false, true);
    EXPECT_EQ(b.DefaultFontEntry()->font, shared);
    EXPECT_EQ(a.DefaultFontEntry()->font, own) << "the manager's own default still wins";
}

TEST(ManagerTables, TagDefaultsAndDefaultColours)
{
    CWindowManagerUI a, b;
    a.SetTagDefaults(L"Button", L"textcolor=\"#FF000000\"", true);
    b.SetTagDefaults(L"Button", L"height=\"30\"", false);
    ASSERT_NE(a.TagDefaults(L"Button"), nullptr);
    EXPECT_EQ(*a.TagDefaults(L"Button"), L"textcolor=\"#FF000000\"");
    EXPECT_EQ(*b.TagDefaults(L"Button"), L"height=\"30\"");
    b.SetTagDefaults(L"Button", L"height=\"31\"", false);
    EXPECT_EQ(*b.TagDefaults(L"Button"), L"height=\"31\"");
    EXPECT_EQ(a.TagDefaults(L"button"), nullptr) << "tag names are compared exactly";

    EXPECT_EQ(a.GetDefaultDisabledColor(), 0xFFA7A6AAu);
    EXPECT_EQ(a.GetDefaultTextColor(), 0xFF000000u);
    EXPECT_EQ(a.GetDefaultLinkColor(), 0xFF0000FFu);
    EXPECT_EQ(a.GetDefaultHotLinkColor(), 0xFFD3215Fu);
    EXPECT_EQ(a.GetDefaultSelectionColor(), 0xFFBAE4FFu);
    a.SetDefaultLinkColor(0xFF112233);
    EXPECT_EQ(a.GetDefaultLinkColor(), 0xFF112233u);
    EXPECT_EQ(b.GetDefaultLinkColor(), 0xFF0000FFu);
}

TEST(ManagerTables, LanguageTokens)
{
    CWindowManagerUI::SetLanguageString(1, L"Install");
    CWindowManagerUI::SetLanguageString(22, L"%{1}");
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"%{1} now", L"Install now"},
        {L"a%{1}b%{1}c", L"aInstallbInstallc"},
        {L"%{001}", L"Install"},
        {L"%{99}", L"%{99}"},
        {L"%{}", L"%{}"},
        {L"%{1", L"%{1"},
        {L"%{x}", L"%{x}"},
        {L"%%{1}%", L"%Install%"},
        {L"%{22}", L"%{1}"},  // replaced once, not again
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(CWindowManagerUI::ReplaceLanguageTokens(c.in), c.out) << c.in;
    ASSERT_NE(CWindowManagerUI::LanguageString(1), nullptr);
    EXPECT_EQ(CWindowManagerUI::LanguageString(404), nullptr);
}

TEST(ManagerTables, OptionGroupsAndListeners)
{
    CWindowManagerUI manager;
    auto* first = reinterpret_cast<CControlUI*>(0x1000);
    auto* second = reinterpret_cast<CControlUI*>(0x2000);
    EXPECT_TRUE(manager.JoinOptionGroup(L"g", first));
    EXPECT_FALSE(manager.JoinOptionGroup(L"g", first)) << "joining twice is refused";
    EXPECT_TRUE(manager.JoinOptionGroup(L"g", second));
    ASSERT_NE(manager.OptionGroup(L"g"), nullptr);
    EXPECT_EQ(manager.OptionGroup(L"g")->size(), 2u);
    manager.LeaveOptionGroup(L"g", first);
    EXPECT_EQ(manager.OptionGroup(L"g")->size(), 1u);
    manager.LeaveOptionGroup(L"g", second);
    EXPECT_EQ(manager.OptionGroup(L"g"), nullptr) << "the last leave removes the group";
}

}  // namespace
