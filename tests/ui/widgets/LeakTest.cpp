// Every control of the state picture built, painted in a real window and
// destroyed, over and over: the process's GDI objects stay as they were.

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "tests/ui/support/ManagerTestWindow.h"
#include "tests/ui/widgets/PictureRows.h"
#include "tests/ui/widgets/WidgetHost.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace widget_tests;

namespace {

void BuildPaintDestroy()
{
    CWidgetHost host(200, 600);
    RegisterPictureFonts(host.Manager());
    auto* root = new CVerticalLayoutUI;
    for (const PictureRow& row : PictureRows()) {
        CControlUI* control = row.make();
        control->SetFixedHeight(row.height);
        root->Add(control);
    }
    host.Attach(root);
}

}  // namespace

TEST(WidgetLeaks, BuildPaintDestroyKeepsTheGdiObjectCountFlat)
{
    ASSERT_FALSE(PictureRows().empty());
    for (int i = 0; i < 3; ++i) BuildPaintDestroy();
    const int before = ui_test::GdiObjectCount();
    ASSERT_GT(before, 0);
    const int rounds = 100;
    for (int i = 0; i < rounds; ++i) BuildPaintDestroy();
    const int after = ui_test::GdiObjectCount();
    std::printf("[ measure ] GDI objects before %d, after %d windows %d\n", before, rounds, after);
    // One object leaked per window would show as 100.
    EXPECT_LT(after - before, rounds / 4);
}
