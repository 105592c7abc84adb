// The layout builder: sources, window-level elements, Window attributes,
// the tag table, the order of construction, unknown tags and Include.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/window/WindowTestSupport.h"
#include "ui/controls/ContainerUI.h"
#include "ui/core/LayoutBuilder.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/SkinSource.h"
#include "ui/core/WindowManagerUI.h"

using namespace window_tests;

namespace {

// Records every attribute it receives with what it could see at the time.
class CRecorderUI : public CContainerUI {
public:
    struct Seen {
        std::wstring name;
        int children;
        bool manager;
    };
    std::vector<Seen> seen;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override
    {
        seen.push_back(Seen{name, GetCount(), GetManager() != nullptr});
        CContainerUI::SetAttribute(name, value);
    }
};

class Callback : public IDialogBuilderCallback {
public:
    std::vector<std::wstring> asked;
    CControlUI* MakeControl(const std::wstring& tag) override
    {
        asked.push_back(tag);
        return tag == L"Recorder" ? new CRecorderUI : nullptr;
    }
};

class LayoutBuilderTest : public ::testing::Test {
protected:
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
    // Builds into the manager and attaches the tree, so the manager owns it.
    CControlUI* Build(const std::wstring& markup)
    {
        CLayoutBuilder builder;
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
    Callback callback;
};

}  // namespace

TEST_F(LayoutBuilderTest, ChildrenFirstThenDefaultsThenOwnAttributes)
{
    CControlUI* root = Build(
        L"<Window><Default name=\"Recorder\" value=\"width=&quot;30&quot; height=&quot;5&quot;\" />"
        L"<Default name=\"Combo\" value=\"bkcolor=&quot;#FF112233&quot; width=&quot;9&quot;\" />"
        L"<Recorder name=\"r\" width=\"50\"><Combo name=\"plain\" /><Combo name=\"own\" width=\"4\" />"
        L"</Recorder></Window>");
    ASSERT_NE(nullptr, root);
    auto* recorder = static_cast<CRecorderUI*>(root);
    ASSERT_EQ(4u, recorder->seen.size());
    const wchar_t* order[] = {L"width", L"height", L"name", L"width"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(order[i], recorder->seen[i].name);
        EXPECT_EQ(2, recorder->seen[i].children) << "children are in place before any attribute";
        EXPECT_TRUE(recorder->seen[i].manager);
    }
    EXPECT_EQ(50, root->GetFixedWidth());
    EXPECT_EQ(5, root->GetFixedHeight());
    // Every Combo starts from its list, and what the element says itself wins.
    CControlUI* plain = manager.FindControlByName(L"plain");
    CControlUI* own = manager.FindControlByName(L"own");
    ASSERT_TRUE(plain && own);
    EXPECT_EQ(9, plain->GetFixedWidth());
    EXPECT_EQ(4, own->GetFixedWidth());
    EXPECT_EQ(0xFF112233u, own->GetBackgroundColor());
    EXPECT_EQ(root, own->GetParent());
}

TEST_F(LayoutBuilderTest, FontsOnlyAtTheTopLevelAndTheDefaultOne)
{
    CControlUI* root = Build(
        L"<Window><Font id=\"3\" name=\"Arial\" size=\"17\" BOLD=\"TRUE\" default=\"true\" />"
        L"<Font id=\"4\" name=\"Tahoma\" size=\"11\" />"
        L"<VerticalLayout><Font id=\"5\" name=\"Courier New\" size=\"9\" /></VerticalLayout>"
        L"<Font id=\"6\" name=\"Verdana\" size=\"13\" /><Font id=\"7\" size=\"13\" /></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(0, Items(root)->GetCount()) << "a nested Font is no control either";
    FontEntry* three = manager.FontEntryById(3);
    EXPECT_EQ(L"Arial", three->face);
    EXPECT_EQ(17, three->size);
    EXPECT_TRUE(three->bold);
    EXPECT_EQ(L"Arial", manager.DefaultFontEntry()->face);
    EXPECT_EQ(17, manager.DefaultFontEntry()->size);
    EXPECT_EQ(L"Tahoma", manager.FontEntryById(4)->face);
    // Ignored where it stands below a control; taken after one.
    EXPECT_EQ(manager.DefaultFontEntry(), manager.FontEntryById(5));
    EXPECT_EQ(L"Verdana", manager.FontEntryById(6)->face);
    EXPECT_EQ(manager.DefaultFontEntry(), manager.FontEntryById(7)) << "a font without a face is ignored";
}

TEST_F(LayoutBuilderTest, WindowAttributesReachTheManagerAndSizeTheWindow)
{
    ASSERT_NE(nullptr, Build(L"<Window Size=\"321,234\" caption=\"1,2,3,210\" SIZEBOX=\"4,5,6,7\" "
                             L"roundcorner=\"6,6\" mininfo=\"300,200\" maxinfo=\"900,800\" "
                             L"defaultfontcolor=\"#FF102030\" unknown=\"1\"><Control /></Window>"));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(321, rect.right - rect.left);
    EXPECT_EQ(234, rect.bottom - rect.top);
    EXPECT_EQ(210, manager.GetCaptionArea().bottom);
    EXPECT_EQ(3, manager.GetCaptionArea().right);
    EXPECT_EQ(7, manager.GetResizeBorder().bottom);
    EXPECT_EQ(6, manager.GetCornerSize().cy);
    EXPECT_EQ(300, manager.GetMinTrackSize().cx);
    EXPECT_EQ(800, manager.GetMaxTrackSize().cy);
    EXPECT_EQ(0xFF102030u, manager.GetDefaultTextColor());

    // Once a tree is attached the size is only recorded.
    ASSERT_NE(nullptr, Build(L"<Window size=\"500,400\"><Control /></Window>"));
    GetWindowRect(window, &rect);
    EXPECT_EQ(321, rect.right - rect.left);
    EXPECT_EQ(500, manager.GetInitialSize().cx);

    // A manager without a window takes none of them.
    CWindowManagerUI detached;
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(L"<Window caption=\"0,0,0,99\"><Control /></Window>", nullptr, nullptr,
                                      &detached);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(0, detached.GetCaptionArea().bottom);
    delete root;
}

TEST_F(LayoutBuilderTest, TagsIgnoreCaseAndUnknownOnesGoWithTheirChildren)
{
    CControlUI* root = Build(
        L"<Window><verticallayout><container name=\"lower\" />"
        L"<Mystery name=\"m\"><Control name=\"inner\" /></Mystery>"
        L"<labelex name=\"lx\" /><SCROLLBAR name=\"bar\" /><button name=\"lb\" /><Control name=\"after\" />"
        L"</verticallayout></Window>");
    ASSERT_NE(nullptr, root);
    EXPECT_STREQ(L"VerticalLayoutUI", root->GetClassName());
    ASSERT_EQ(4, Items(root)->GetCount());
    EXPECT_STREQ(L"ContainerUI", Items(root)->GetItemAt(0)->GetClassName());
    EXPECT_STREQ(L"ScrollBarUI", Items(root)->GetItemAt(1)->GetClassName());
    EXPECT_STREQ(L"ButtonUI", Items(root)->GetItemAt(2)->GetClassName());
    EXPECT_EQ(L"after", Items(root)->GetItemAt(3)->GetName());
    EXPECT_EQ(nullptr, manager.FindControlByName(L"inner"));
    EXPECT_EQ(nullptr, manager.FindControlByName(L"lx"));
    // The callback was asked for the unknown tags, and never for their children.
    ASSERT_EQ(2u, callback.asked.size());
    EXPECT_EQ(L"Mystery", callback.asked[0]);
    EXPECT_EQ(L"labelex", callback.asked[1]);
    EXPECT_EQ(nullptr, CLayoutBuilder::CreateControlForTag(L"LabelEx")) << "not a class of ours yet";
}

TEST_F(LayoutBuilderTest, IncludeAddsItsControlsCountTimes)
{
    skins.Write(L"row.xml", L"<Include><Control name=\"row\" width=\"7\" /></Include>");
    skins.Write(L"self.xml", L"<Include><Include source=\"self.xml\" /><Control /></Include>");
    CControlUI* root = Build(
        L"<Window><VerticalLayout><Include source=\"row.xml\" count=\"3\" />"
        L"<Include source=\"&lt;X&gt;&lt;Control width=&quot;8&quot; /&gt;&lt;/X&gt;\" />"
        L"<Include source=\"row.xml\" count=\"0\" /><Include source=\"missing.xml\" />"
        L"<HorizontalLayout name=\"selfish\"><Include source=\"self.xml\" /></HorizontalLayout>"
        L"<Control name=\"last\" /></VerticalLayout></Window>");
    ASSERT_NE(nullptr, root);
    IContainerUI* items = Items(root);
    ASSERT_EQ(6, items->GetCount());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(7, items->GetItemAt(i)->GetFixedWidth()) << i;
    EXPECT_EQ(8, items->GetItemAt(3)->GetFixedWidth());
    EXPECT_EQ(L"last", items->GetItemAt(5)->GetName());
    // A skin that includes itself stops at the nesting limit.
    EXPECT_GT(Items(manager.FindControlByName(L"selfish"))->GetCount(), 0);
}

TEST_F(LayoutBuilderTest, SourcesFileTextArchiveAndResource)
{
    const std::wstring skin = L"<Window><VerticalLayout name=\"v\"><Control name=\"marker\" /></VerticalLayout></Window>";
    skins.Write(L"main.xml", skin);
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(L"main.xml");
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(L"v", root->GetName());
        delete root;
    }
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(skin.c_str());
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(1, Items(root)->GetCount());
        delete root;
    }
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(MAKEINTRESOURCEW(201), L"xml");
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(L"marker", Items(root)->GetItemAt(0)->GetName());
        delete root;
    }
    {
        CLayoutBuilder builder;
        EXPECT_EQ(nullptr, builder.Create(L"missing.xml"));
        EXPECT_EQ(nullptr, builder.Create(L"<Window><Control></Window>"));
    }
    // An archive in memory: from now on every skin file comes from it.
    static const std::string archive = StoredZip({{"packed.xml", Utf8(skin)}});
    CSkinSource::Process().UseArchiveBytes(archive.data(), static_cast<uint32_t>(archive.size()));
    {
        CLayoutBuilder builder;
        CControlUI* root = builder.Create(L"packed.xml");
        ASSERT_NE(nullptr, root);
        EXPECT_EQ(L"v", root->GetName());
        delete root;
        EXPECT_EQ(nullptr, builder.Create(L"main.xml")) << "the folder is no longer read";
    }
}
