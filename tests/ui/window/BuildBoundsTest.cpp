// The builder against markup that asks too much, and the builder's own
// bookkeeping: what one window may build, what a top level without a
// parent keeps, and a builder used for more than one source.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "diagnostics/Logger.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/controls/ContainerUI.h"
#include "ui/core/BuildBudget.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"
#include "ui/core/WindowManagerUI.h"

using namespace window_tests;

namespace {

// Counts the instances alive, so a test sees what the builder deleted.
class CCountedUI : public CContainerUI {
public:
    static int alive;
    CCountedUI() { ++alive; }
    ~CCountedUI() override { --alive; }
};
int CCountedUI::alive = 0;

class CountedCallback : public IDialogBuilderCallback {
public:
    CControlUI* MakeControl(const std::wstring& tag) override
    {
        return tag == L"Counted" ? new CCountedUI : nullptr;
    }
};

// Lines of the process log that contain the text.
int LogLines(const std::wstring& containing)
{
    if (!g_pLogger) return 0;
    const std::wstring text = testing_support::ReadUtf16(g_pLogger->Path());
    int found = 0;
    for (size_t at = text.find(containing); at != std::wstring::npos; at = text.find(containing, at + 1)) ++found;
    return found;
}

int Depth(CControlUI* control)
{
    auto* items = static_cast<IContainerUI*>(control->GetInterfaceByName(L"IContainer"));
    int deepest = 0;
    for (int i = 0; items && i < items->GetCount(); ++i) deepest = std::max(deepest, Depth(items->GetItemAt(i)));
    return deepest + 1;
}

std::wstring Repeat(const std::wstring& text, int times)
{
    std::wstring out;
    out.reserve(text.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

class BuildBoundsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!g_pLogger) g_pLogger = new CLogger(testing_support::ScratchFolder(L"build-bounds-log"), L"installer");
    }
    void SetUp() override
    {
        ResourceLocation::SetModuleInstance(GetModuleHandleW(nullptr));
        CSkinSource::Process().Reset();
        CSkinSource::Process().SetFolder(skins.Path());
        window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        manager.Init(window);
    }
    void TearDown() override
    {
        CSkinSource::Process().Reset();
        DestroyWindow(window);
    }
    CControlUI* Build(const std::wstring& markup)
    {
        CControlUI* root = builder.Create(markup.c_str(), nullptr, &callback, &manager);
        if (root) manager.AttachRoot(root);
        return root;
    }
    static IContainerUI* Items(CControlUI* control)
    {
        return static_cast<IContainerUI*>(control->GetInterfaceByName(L"IContainer"));
    }

    SkinFolder skins;
    HWND window = nullptr;
    CWindowManagerUI manager;
    CountedCallback callback;
    CLayoutBuilder builder;
};

}  // namespace

TEST_F(BuildBoundsTest, IncludeCountIsCutAndAMissingSourceIsTriedOnce)
{
    skins.Write(L"row.xml", L"<Include><Control name=\"row\" /></Include>");
    const int before = LogLines(L"include count is above");
    CControlUI* root = Build(L"<Window><VerticalLayout><Include source=\"row.xml\" count=\"500\" />"
                             L"<Include source=\"missing.xml\" count=\"2000000000\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(CBuildBudget::kMaxIncludeCount, Items(root)->GetCount());
    EXPECT_EQ(before + 1, LogLines(L"include count is above")) << "one Error line for the whole build";
    // The missing source cost one run, not two thousand million.
    EXPECT_EQ(CBuildBudget::kMaxIncludeCount + 1, builder.Budget().IncludeRuns());
}

TEST_F(BuildBoundsTest, OneWindowBuildsAtMostItsShareOfControls)
{
    const int before = LogLines(L"controls; the rest are left out");
    CControlUI* root = Build(L"<Window><VerticalLayout>" +
                             Repeat(L"<Control />", CBuildBudget::kMaxControls + 50) +
                             L"</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(CBuildBudget::kMaxControls - 1, Items(root)->GetCount()) << "the root is one of them";
    EXPECT_EQ(before + 1, LogLines(L"controls; the rest are left out"));

    // A file that includes itself four times on every level stops at the
    // run limit instead of growing as four to the sixteenth.
    skins.Write(L"four.xml", L"<I><Control /><Include source=\"four.xml\" count=\"4\" /></I>");
    CLayoutBuilder fresh;
    CControlUI* tree = fresh.Create(L"<Window><VerticalLayout><Include source=\"four.xml\" /></VerticalLayout></Window>",
                                    nullptr, nullptr, &manager);
    ASSERT_NE(nullptr, tree);
    EXPECT_LE(fresh.Budget().IncludeRuns(), CBuildBudget::kMaxIncludeRuns);
    EXPECT_LE(fresh.Budget().Controls(), CBuildBudget::kMaxControls);
    EXPECT_GT(Items(tree)->GetCount(), 100);
    delete tree;

    // The next window starts with a whole budget again.
    ASSERT_NE(nullptr, Build(L"<Window><VerticalLayout><Control /><Control /></VerticalLayout></Window>"));
    EXPECT_EQ(3, builder.Budget().Controls());
}

TEST_F(BuildBoundsTest, DepthIsBoundedForTheTreeAcrossIncludes)
{
    // 999 levels in one document (its root and the Include among them),
    // which includes itself again at the bottom.
    const std::wstring deep = Repeat(L"<VerticalLayout>", 997) + L"<Include source=\"deep.xml\" />" +
                              Repeat(L"</VerticalLayout>", 997);
    skins.Write(L"deep.xml", L"<I>" + deep + L"</I>");
    const int before = LogLines(L"deeper than");
    CControlUI* root = Build(L"<Window>" + deep + L"</Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(CBuildBudget::kMaxDepth, Depth(root));
    EXPECT_EQ(before + 1, LogLines(L"deeper than"));

    // Sixty levels each, well within any one document's bound: the levels
    // of the includes add up to the same bound for the whole tree.
    const std::wstring sixty = Repeat(L"<VerticalLayout>", 60) + L"<Include source=\"sixty.xml\" />" +
                               Repeat(L"</VerticalLayout>", 60);
    skins.Write(L"sixty.xml", L"<I>" + sixty + L"</I>");
    root = Build(L"<Window>" + sixty + L"</Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(CBuildBudget::kMaxDepth, Depth(root));

    // A tree added below an existing control counts from that control's level.
    CControlUI* leaf = root;
    for (int level = 1; level < CBuildBudget::kMaxDepth - 1; ++level) leaf = Items(leaf)->GetItemAt(0);
    CLayoutBuilder below;
    below.Create(L"<I><VerticalLayout><VerticalLayout><Control /></VerticalLayout></VerticalLayout></I>", nullptr,
                 nullptr, &manager, leaf);
    EXPECT_EQ(2, Items(leaf)->GetCount());
    EXPECT_EQ(CBuildBudget::kMaxDepth, Depth(root)) << "only the first added level fits";
}

TEST_F(BuildBoundsTest, DeclarationsAndMarkupAreBounded)
{
    std::wstring fonts;
    for (int id = 0; id < CBuildBudget::kMaxDeclarations + 20; ++id)
        fonts += L"<Font id=\"" + std::to_wstring(id) + L"\" name=\"Arial\" size=\"" + std::to_wstring(10 + id % 7) +
                 L"\" />";
    ASSERT_NE(nullptr, Build(L"<Window>" + fonts + L"<Control /></Window>"));
    EXPECT_NE(manager.DefaultFontEntry(), manager.FontEntryById(CBuildBudget::kMaxDeclarations - 1));
    EXPECT_EQ(manager.DefaultFontEntry(), manager.FontEntryById(CBuildBudget::kMaxDeclarations));

    // Five copies of a three-megabyte include: the markup a window reads
    // ends after the second.
    const std::wstring big = L"<I><Control /><!--" + std::wstring(3 * 1024 * 1024, L'x') + L"--></I>";
    skins.Write(L"big.xml", big);
    const int before = LogLines(L"markup exceeds");
    CControlUI* root = Build(L"<Window><VerticalLayout>" + Repeat(L"<Include source=\"big.xml\" />", 5) +
                             L"</VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(2, Items(root)->GetCount());
    EXPECT_EQ(before + 1, LogLines(L"markup exceeds"));
}

TEST_F(BuildBoundsTest, WindowSizesStayWithinTheScreens)
{
    ASSERT_NE(nullptr, Build(L"<Window size=\"2147483647,2147483647\" mininfo=\"2147483647,99999999\" "
                             L"maxinfo=\"-5,40\"><Control /></Window>"));
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_LE(rect.right - rect.left, width);
    EXPECT_LE(rect.bottom - rect.top, height);
    EXPECT_EQ(width, manager.GetInitialSize().cx);
    EXPECT_EQ(height, manager.GetMinTrackSize().cy);
    EXPECT_EQ(0, manager.GetMaxTrackSize().cx) << "a negative size is no size";
    EXPECT_EQ(40, manager.GetMaxTrackSize().cy);
}

TEST_F(BuildBoundsTest, OnlyTheFirstTopLevelControlIsKept)
{
    skins.Write(L"pair.xml", L"<I><Counted /><Counted /></I>");
    CCountedUI::alive = 0;
    {
        CLayoutBuilder own;
        CControlUI* root = own.Create(L"<Window><Counted /><Counted name=\"x\"><Counted /></Counted>"
                                      L"<Include source=\"pair.xml\" /></Window>",
                                      nullptr, &callback, &manager);
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(1, CCountedUI::alive) << "the second control, its child and the included pair are deleted";
        delete root;
    }
    EXPECT_EQ(0, CCountedUI::alive);
    {
        CLayoutBuilder own;
        CControlUI* root = own.Create(L"<Window><Include source=\"pair.xml\" count=\"2\" /><Counted /></Window>",
                                      nullptr, &callback, nullptr);
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(1, CCountedUI::alive);
        delete root;
    }
    EXPECT_EQ(0, CCountedUI::alive);
}

TEST_F(BuildBoundsTest, AReusedBuilderForgetsThatItsLastSourceWasAResource)
{
    skins.Write(L"row.xml", L"<Include><Control name=\"row\" /></Include>");
    CControlUI* fromResource = builder.Create(MAKEINTRESOURCEW(201), L"xml");
    ASSERT_NE(nullptr, fromResource);
    delete fromResource;
    CControlUI* root = builder.Create(L"<Window><VerticalLayout><Include source=\"row.xml\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    ASSERT_EQ(1, Items(root)->GetCount()) << "the include is read as a file name";
    EXPECT_EQ(L"row", Items(root)->GetItemAt(0)->GetName());
    delete root;
}
