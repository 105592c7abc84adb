// What trees give back: image cache entries counted down to nothing when
// their last control dies (loose files and archive entries alike, scroll
// bar state images included), and GDI objects over many real windows.

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/controls/ControlTestTrees.h"
#include "tests/ui/draw/DrawTestSupport.h"
#include "tests/ui/support/ManagerTestWindow.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"

using namespace control_tests;
using ui_test::CManagerTestWindow;

namespace {

void Put(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// An archive of stored entries, as a skin archive handed over in memory.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries)
{
    std::string zip, directory;
    for (const auto& e : entries) {
        const uint32_t crc = static_cast<uint32_t>(wcstoul(CDrawKit::Crc32Key(e.second.data(), e.second.size()).c_str(), nullptr, 16));
        const uint32_t offset = static_cast<uint32_t>(zip.size());
        const uint32_t size = static_cast<uint32_t>(e.second.size());
        const uint16_t nameLength = static_cast<uint16_t>(e.first.size());
        Put(zip, 0x04034b50, 4);
        Put(zip, 20, 2), Put(zip, 0, 2), Put(zip, 0, 2), Put(zip, 0, 2), Put(zip, 0, 2);
        Put(zip, crc, 4), Put(zip, size, 4), Put(zip, size, 4), Put(zip, nameLength, 2), Put(zip, 0, 2);
        zip += e.first + e.second;
        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2), Put(directory, 20, 2), Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, crc, 4), Put(directory, size, 4);
        Put(directory, size, 4), Put(directory, nameLength, 2), Put(directory, 0, 2), Put(directory, 0, 2);
        Put(directory, 0, 2), Put(directory, 0, 2), Put(directory, 0, 4), Put(directory, offset, 4);
        directory += e.first;
    }
    const uint32_t directoryOffset = static_cast<uint32_t>(zip.size());
    zip += directory;
    Put(zip, 0x06054b50, 4), Put(zip, 0, 2), Put(zip, 0, 2);
    Put(zip, static_cast<uint32_t>(entries.size()), 2), Put(zip, static_cast<uint32_t>(entries.size()), 2);
    Put(zip, static_cast<uint32_t>(directory.size()), 4), Put(zip, directoryOffset, 4), Put(zip, 0, 2);
    return zip;
}

std::string SolidPng(uint32_t argb) { return draw_test::MakePng(4, 4, std::vector<uint32_t>(16, argb)); }

void DeleteRemoved(CManagerTestWindow& window)
{
    window.Pump(20);
}

// Two plain controls share one image; a scroll bar holds two state images.
void CheckCountsDownToNothing(CManagerTestWindow& window, const std::wstring& shared, const std::wstring& thumb,
                              const std::wstring& rail)
{
    CWindowManagerUI& manager = window.Manager();
    auto* root = Make<CVerticalLayoutUI>({});
    CControlUI* first = AddChild<CControlUI>(root, {{L"bkimage", shared.c_str()}});
    CControlUI* second = AddChild<CControlUI>(root, {{L"bkimage", shared.c_str()}});
    auto* bar = AddChild<CScrollBarUI>(root, {{L"height", L"40"}, {L"thumbnormalimage", thumb.c_str()},
                                             {L"railnormalimage", rail.c_str()}});
    manager.AttachRoot(root);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.PaintNow();
    const std::wstring sharedKey = CDrawKit::ImageKey(shared);
    const std::wstring thumbKey = CDrawKit::ImageKey(thumb);
    const std::wstring railKey = CDrawKit::ImageKey(rail);
    ASSERT_NE(nullptr, manager.CachedImage(sharedKey));
    EXPECT_EQ(2, manager.CachedImage(sharedKey)->refCount);
    ASSERT_NE(nullptr, manager.CachedImage(thumbKey));
    ASSERT_NE(nullptr, manager.CachedImage(railKey));

    root->Remove(first);
    DeleteRemoved(window);
    ASSERT_NE(nullptr, manager.CachedImage(sharedKey));
    EXPECT_EQ(1, manager.CachedImage(sharedKey)->refCount);
    root->Remove(second);
    DeleteRemoved(window);
    EXPECT_EQ(nullptr, manager.CachedImage(sharedKey)) << "the last control gave the image back";
    // Removed from a live tree, the bar is deleted later without a manager.
    root->Remove(bar);
    DeleteRemoved(window);
    EXPECT_EQ(nullptr, manager.CachedImage(thumbKey));
    EXPECT_EQ(nullptr, manager.CachedImage(railKey));
}

TEST(ImageLeaks, FolderAndArchiveImagesLeaveTheCacheWithTheirLastControl)
{
    const std::wstring folder = testing_support::ScratchFolder(L"leak-images");
    testing_support::WriteBytes(folder + L"shared.png", SolidPng(0xFFFF0000));
    testing_support::WriteBytes(folder + L"thumb.png", SolidPng(0xFF00FF00));
    testing_support::WriteBytes(folder + L"rail.png", SolidPng(0xFF0000FF));
    ResourceLocation::SetResourceFolder(folder);
    {
        CManagerTestWindow window(60, 120);
        ASSERT_NE(nullptr, window.Handle());
        CheckCountsDownToNothing(window, L"shared.png", L"thumb.png", L"rail.png");
    }
    // The same from an archive, with other bytes so the keys differ.
    static const std::string archive = StoredZip({{"a.png", SolidPng(0xFF102030)},
                                                  {"b.png", SolidPng(0xFF405060)},
                                                  {"c.png", SolidPng(0xFF708090)}});
    ResourceLocation::UseSkinArchiveBytes(archive.data(), static_cast<unsigned>(archive.size()));
    {
        CManagerTestWindow window(60, 120);
        ASSERT_NE(nullptr, window.Handle());
        CheckCountsDownToNothing(window, L"a.png", L"b.png", L"c.png");
    }
    CSkinSource::Process().Reset();
    testing_support::RemoveTree(folder);
}

// One window as the product windows make them: colours, gradients, a
// translucent fill, borders square and round, images and a scroll bar.
void BuildPaintDestroy(const std::wstring& image)
{
    CManagerTestWindow window(60, 40);
    auto* root = Make<CVerticalLayoutUI>({{L"bkcolor", L"#FF202020"}, {L"inset", L"1,1,1,1"}});
    auto* row = AddChild<CHorizontalLayoutUI>(root, {{L"height", L"10"}, {L"bordercolor", L"#FF00FF00"},
                                                     {L"bordersize", L"1"}, {L"borderround", L"4,4"}});
    AddChild<CControlUI>(row, {{L"bkcolor", L"#80FF0000"}, {L"bkcolor2", L"#FF0000FF"}});
    AddChild<CControlUI>(row, {{L"bordersize", L"0,0,0,1"}, {L"bordercolor", L"#FF0000FF"}, {L"bkimage", image.c_str()}});
    AddChild<CControlUI>(root, {{L"bkcolor", L"#FF00FF00"}, {L"bkcolor2", L"#FF000000"}, {L"bkcolor3", L"#FFFFFFFF"},
                                {L"bordersize", L"2"}, {L"bordercolor", L"#FFFFFFFF"}});
    AddChild<CScrollBarUI>(root, {{L"height", L"10"}, {L"thumbnormalimage", image.c_str()}});
    window.Manager().AttachRoot(root);
    InvalidateRect(window.Handle(), nullptr, FALSE);
    window.PaintNow();
}

TEST(GdiLeaks, BuildPaintDestroyLoopOfRealWindowsKeepsTheObjectCountFlat)
{
    const std::wstring folder = testing_support::ScratchFolder(L"leak-gdi");
    const std::wstring image = folder + L"pic.png";
    testing_support::WriteBytes(image, SolidPng(0xFF00FF00));
    for (int i = 0; i < 5; ++i) BuildPaintDestroy(image);
    const int before = ui_test::GdiObjectCount();
    ASSERT_GT(before, 0);
    const int rounds = 200;
    for (int i = 0; i < rounds; ++i) BuildPaintDestroy(image);
    const int after = ui_test::GdiObjectCount();
    std::printf("[ measure ] GDI objects before %d, after %d windows %d\n", before, rounds, after);
    // One object leaked per window would show as 200.
    EXPECT_LT(after - before, rounds / 4);
    testing_support::RemoveTree(folder);
}

}  // namespace
