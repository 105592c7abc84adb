// The controls' tags in skin markup: the layout builder makes each class,
// default lists and attributes reach them, and the progress window's
// markup lays out as its skin says.

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/ui/widgets/WidgetHost.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/core/LayoutBuilder.h"

using namespace widget_tests;

TEST(TagTable, EveryTagMakesItsClass)
{
    CWidgetHost host(400, 300);
    ASSERT_TRUE(host.Ok());
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        LR"(<Window size="400,300">
  <Default name="Button" value="textcolor=&quot;#FF112233&quot; height=&quot;30&quot;" />
  <VerticalLayout>
    <Label name="l" text="标签" /><Text name="t" text="text" readonly="true" rich="false" />
    <Button name="b" text="OK" /><Option name="o" group="g" selected="true" />
    <Option name="o2" group="g" /><CheckBox name="c" /><Progress name="p" value="40" />
    <Slider name="s" />
  </VerticalLayout>
</Window>)",
        nullptr, nullptr, &host.Manager());
    ASSERT_NE(nullptr, root);
    host.Attach(root);
    const std::pair<const wchar_t*, const wchar_t*> expected[] = {
        {L"l", L"LabelUI"}, {L"t", L"TextUI"},         {L"b", L"ButtonUI"},   {L"o", L"OptionUI"},
        {L"c", L"CheckBoxUI"}, {L"p", L"ProgressUI"}, {L"s", L"SliderUI"},
    };
    for (const auto& e : expected) {
        CControlUI* c = host.Manager().FindControlByName(e.first);
        ASSERT_NE(nullptr, c) << e.first[0];
        EXPECT_STREQ(e.second, c->GetClassName());
    }
    auto* button = static_cast<CButtonUI*>(host.Manager().FindControlByName(L"b")->GetInterfaceByName(L"Button"));
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(0xFF112233u, button->GetTextColor());
    EXPECT_EQ(30, button->GetHeight());
    // A progress bar without height is 12 pixels tall.
    EXPECT_EQ(12, host.Manager().FindControlByName(L"p")->GetHeight());
    auto* second = static_cast<COptionUI*>(host.Manager().FindControlByName(L"o2")->GetInterfaceByName(L"Option"));
    ASSERT_NE(nullptr, second);
    second->SetSelected(true);
    auto* first = static_cast<COptionUI*>(host.Manager().FindControlByName(L"o")->GetInterfaceByName(L"Option"));
    EXPECT_FALSE(first->IsSelected());
}

TEST(TagTable, ProgressWindowMarkupLaysOut)
{
    CWidgetHost host(500, 200);
    ASSERT_TRUE(host.Ok());
    CLayoutBuilder builder;
    CControlUI* root = builder.Create(
        LR"(<Window size="500,200" caption="0,0,0,20">
  <VerticalLayout name="root" bkcolor="#FFFFFFFF" inset="30,20,30,25" bordercolor="#FFE5E5E5" bordersize="1">
    <HorizontalLayout height="30">
      <Control />
      <Label name="title" text="标题" textcolor="#FF000000" width="120" valign="top" align="center" />
      <Control />
    </HorizontalLayout>
    <Label name="tip" text="状态文字" textcolor="#FF000000" height="33" valign="top" />
    <Progress name="progress" height="10" bkcolor="#FFE4E4E4" borderround="5,5" max="100" value="0" />
    <Control />
  </VerticalLayout>
</Window>)",
        nullptr, nullptr, &host.Manager());
    ASSERT_NE(nullptr, root);
    host.Attach(root);
    auto* title = static_cast<CLabelUI*>(host.Manager().FindControlByName(L"title")->GetInterfaceByName(L"Label"));
    ASSERT_NE(nullptr, title);
    EXPECT_EQ(UINT{DT_CENTER | DT_SINGLELINE}, title->GetTextStyle());
    EXPECT_EQ(120, title->GetWidth());
    CControlUI* progress = host.Manager().FindControlByName(L"progress");
    EXPECT_EQ(440, progress->GetWidth());
    EXPECT_EQ(10, progress->GetHeight());
    EXPECT_EQ(20 + 30 + 33, progress->GetY());
}
