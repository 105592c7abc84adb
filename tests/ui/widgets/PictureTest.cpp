// One window with every control in each of its states side by side,
// saved as widget_states.png beside the test programs for a person to look
// at, and a few pixels of each checked against the colours and images its
// attributes give.
//
// One mouse and one focus cannot hold a whole column hot, pushed or
// focused at once, so the states are given to each control by the events
// its manager would deliver (mouse enter, button down, set focus); the
// state machines themselves are tested with window messages elsewhere.

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

#include "tests/support/TestSupport.h"
#include "tests/ui/widgets/PictureRows.h"
#include "tests/ui/widgets/WidgetHost.h"
#include "tests/ui/widgets/WidgetTestImages.h"
#include "tests/ui/widgets/WidgetTestTrees.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/VerticalLayoutUI.h"

using namespace widget_tests;

namespace widget_tests {

std::vector<PictureRow>& PictureRows()
{
    static std::vector<PictureRow> rows;
    return rows;
}

void RegisterPictureFonts(CWindowManagerUI& manager)
{
    manager.RegisterFont(2, L"微软雅黑", 16, false, false, false, false);
    manager.RegisterFont(7, L"DIN", 24, true, false, false, false);
}

}  // namespace widget_tests

namespace {

constexpr int kNameWidth = 130;
constexpr int kCellWidth = 130;
constexpr int kCellInset = 6;
constexpr int kRowGap = 12;
const wchar_t* const kStateNames[kStateCount] = {L"normal", L"hot", L"pushed", L"focused", L"disabled"};

template <class T>
T* Build(Attributes attributes)
{
    return Make<T>(attributes);
}

// The events the manager delivers on the way into a state.
void GiveState(CControlUI* control, PictureState state)
{
    const RECT& r = control->GetPos();
    ControlEvent event;
    event.sender = control;
    event.timeStamp = GetTickCount();
    event.mousePoint = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    auto send = [&](int type) {
        event.type = type;
        control->HandleEvent(event);
    };
    switch (state) {
    case kStateHot:
        send(UIEVENT_MOUSEENTER);
        break;
    case kStatePushed:
        send(UIEVENT_MOUSEENTER);
        send(UIEVENT_BUTTONDOWN);
        break;
    case kStateFocused:
        send(UIEVENT_SETFOCUS);
        break;
    case kStateDisabled:
        control->SetEnabled(false);
        break;
    default:
        break;
    }
}

bool HasColour(const CWidgetHost& host, const RECT& area, DWORD rgb)
{
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (host.Pixel(x, y) == rgb) return true;
    return false;
}

// The rows of this file's controls ------------------------------------------------

constexpr DWORD kInk = 0x203040;
constexpr DWORD kGreyInk = 0xA0A0A0;
constexpr DWORD kNormal = 0x2060A0;
constexpr DWORD kHot = 0x20A060;
constexpr DWORD kPushed = 0xC02020;
constexpr DWORD kFocused = 0xE0C020;
constexpr DWORD kDisabled = 0x909090;
constexpr DWORD kSelected = 0x8040C0;
constexpr DWORD kSelectedHot = 0xC060F0;

const std::wstring& Img(const wchar_t* name, DWORD rgb)
{
    static std::vector<std::unique_ptr<std::wstring>> keep;
    keep.push_back(std::make_unique<std::wstring>(SolidImage(name, rgb, 16, 16)));
    return *keep.back();
}

PICTURE_ROW(a_label, {L"Label", 32,
                      [] {
                          return Build<CLabelUI>({{L"text", L"标签 Label"}, {L"font", L"2"},
                                                  {L"textcolor", L"#FF203040"},
                                                  {L"disabledtextcolor", L"#FFA0A0A0"}});
                      },
                      [](PictureState s) { return std::vector<Probe>{Ink(s == kStateDisabled ? kGreyInk : kInk)}; }});

PICTURE_ROW(a_label_effects, {L"Label (effects)", 32,
                              [] {
                                  return Build<CLabelUI>({{L"text", L"Effect 效果"}, {L"font", L"2"},
                                                          {L"enabledeffect", L"true"}, {L"textcolor", L"#FFFF0000"},
                                                          {L"textcolor1", L"#FF0000FF"}, {L"transtext", L"255"},
                                                          {L"transtext1", L"255"}, {L"enabledstroke", L"true"},
                                                          {L"strokecolor", L"#FFFFD000"},
                                                          {L"disabledtextcolor", L"#FFA0A0A0"}});
                              },
                              [](PictureState s) {
                                  return std::vector<Probe>{Ink(0xFFD000), Ink(s == kStateDisabled ? kGreyInk : 0xFF0000)};
                              }});

PICTURE_ROW(b_text, {L"Text", 44,
                     [] {
                         return Build<CTextUI>({{L"text", L"说明文字 wraps onto lines"}, {L"font", L"2"},
                                                {L"bkcolor", L"#FFF0F0FF"}, {L"textcolor", L"#FF203040"},
                                                {L"disabledtextcolor", L"#FFA0A0A0"}});
                     },
                     [](PictureState s) {
                         return std::vector<Probe>{At(1, 1, 0xF0F0FF), Ink(s == kStateDisabled ? kGreyInk : kInk)};
                     }});

PICTURE_ROW(c_button_images, {L"Button (images)", 32,
                              [] {
                                  return Build<CButtonUI>({{L"text", L"按钮"}, {L"font", L"2"},
                                                           {L"textcolor", L"#FFFFFFFF"},
                                                           {L"disabledtextcolor", L"#FFD0D0D0"},
                                                           {L"normalimage", Img(L"p-normal", kNormal).c_str()},
                                                           {L"hotimage", Img(L"p-hot", kHot).c_str()},
                                                           {L"pushedimage", Img(L"p-pushed", kPushed).c_str()},
                                                           {L"focusedimage", Img(L"p-focused", kFocused).c_str()},
                                                           {L"disabledimage", Img(L"p-disabled", kDisabled).c_str()}});
                              },
                              [](PictureState s) {
                                  const DWORD look[] = {kNormal, kHot, kPushed, kFocused, kDisabled};
                                  return std::vector<Probe>{At(2, 2, look[s]),
                                                            Ink(s == kStateDisabled ? 0xD0D0D0 : 0xFFFFFF)};
                              }});

PICTURE_ROW(d_button_colours, {L"Button (colours)", 32,
                               [] {
                                   return Build<CButtonUI>({{L"text", L"OK"}, {L"font", L"7"},
                                                            {L"bkcolor", L"#FF2060A0"}, {L"hotbkcolor", L"#FF20A060"},
                                                            {L"pushedbkcolor", L"#FFC02020"},
                                                            {L"focusedbkcolor", L"#FFE0C020"},
                                                            {L"disabledbkcolor", L"#FF909090"},
                                                            {L"textcolor", L"#FFFFFFFF"},
                                                            {L"hottextcolor", L"#FF000000"},
                                                            {L"disabledtextcolor", L"#FFD0D0D0"}});
                               },
                               [](PictureState s) {
                                   const DWORD look[] = {kNormal, kHot, kPushed, kFocused, kDisabled};
                                   const DWORD ink[] = {0xFFFFFF, 0x000000, 0x000000, 0xFFFFFF, 0xD0D0D0};
                                   return std::vector<Probe>{At(2, 2, look[s]), Ink(ink[s])};
                               }});

// Pressing an option shows no pushed look, only the hot one under the mouse.
PICTURE_ROW(e_option, {L"Option", 32,
                       [] {
                           return Build<COptionUI>({{L"text", L"选项"}, {L"font", L"2"}, {L"group", L"picture"},
                                                    {L"normalimage", Img(L"o-normal", kNormal).c_str()},
                                                    {L"hotimage", Img(L"o-hot", kHot).c_str()},
                                                    {L"pushedimage", Img(L"o-pushed", kPushed).c_str()},
                                                    {L"focusedimage", Img(L"o-focused", kFocused).c_str()},
                                                    {L"disabledimage", Img(L"o-disabled", kDisabled).c_str()},
                                                    {L"selectedimage", Img(L"o-selected", kSelected).c_str()}});
                       },
                       [](PictureState s) {
                           const DWORD look[] = {kNormal, kHot, kHot, kFocused, kDisabled};
                           return std::vector<Probe>{At(2, 2, look[s])};
                       }});

PICTURE_ROW(f_option_selected, {L"Option (selected)", 32,
                                [] {
                                    return Build<COptionUI>({{L"text", L"选中"}, {L"font", L"2"}, {L"selected", L"true"},
                                                             {L"normalimage", Img(L"s-normal", kNormal).c_str()},
                                                             {L"selectedimage", Img(L"s-selected", kSelected).c_str()},
                                                             {L"selectedhotimage",
                                                              Img(L"s-selectedhot", kSelectedHot).c_str()},
                                                             {L"selectedtextcolor", L"#FFFFFFFF"}});
                                },
                                [](PictureState s) {
                                    const DWORD look[] = {kSelected, kSelectedHot, kSelectedHot, kSelected, kSelected};
                                    return std::vector<Probe>{At(2, 2, look[s])};
                                }});

PICTURE_ROW(g_checkbox, {L"CheckBox", 32,
                         [] {
                             return Build<CCheckBoxUI>({{L"text", L"Check"}, {L"bkcolor", L"#FFFFFFFF"},
                                                        {L"hotbkcolor", L"#FF20A060"},
                                                        {L"focusedbkcolor", L"#FFE0C020"},
                                                        {L"disabledbkcolor", L"#FF909090"},
                                                        {L"selectedbkcolor", L"#FF8040C0"},
                                                        {L"textcolor", L"#FF203040"}});
                         },
                         [](PictureState s) {
                             const DWORD look[] = {0xFFFFFF, kHot, kHot, kFocused, kDisabled};
                             return std::vector<Probe>{At(2, 2, look[s])};
                         }});

PICTURE_ROW(h_progress, {L"Progress", 12,
                         [] {
                             return Build<CProgressUI>({{L"height", L"12"}, {L"bkcolor", L"#FFE4E4E4"},
                                                        {L"foreimage", Img(L"bar-fore", kNormal).c_str()},
                                                        {L"borderround", L"5,5"}, {L"value", L"60"}});
                         },
                         [](PictureState) {
                             // 118 pixels wide at 60 %: filled up to 70.
                             return std::vector<Probe>{At(20, 6, kNormal), At(69, 6, kNormal), At(71, 6, 0xE4E4E4)};
                         }});

PICTURE_ROW(i_slider, {L"Slider", 20,
                       [] {
                           return Build<CSliderUI>({{L"height", L"20"}, {L"bkcolor", L"#FFE4E4E4"},
                                                    {L"thumbimage", Img(L"t-normal", kNormal).c_str()},
                                                    {L"thumbhotimage", Img(L"t-hot", kHot).c_str()},
                                                    {L"thumbpushedimage", Img(L"t-pushed", kPushed).c_str()},
                                                    {L"thumbsize", L"10,20"}, {L"value", L"0"}});
                       },
                       [](PictureState s) {
                           // Pressing the middle of the bar takes the thumb there (value 50).
                           if (s == kStatePushed) return std::vector<Probe>{At(59, 10, kPushed), At(5, 10, 0xE4E4E4)};
                           const DWORD look[] = {kNormal, kHot, kPushed, kNormal, kNormal};
                           return std::vector<Probe>{At(5, 10, look[s]), At(60, 10, 0xE4E4E4)};
                       }});

}  // namespace

TEST(Picture, EveryControlInEveryState)
{
    ASSERT_GT(AddFontResourceExW(DIN_FONT_PATH, FR_PRIVATE, nullptr), 0);
    std::vector<PictureRow> rows = PictureRows();
    std::sort(rows.begin(), rows.end(), [](const PictureRow& a, const PictureRow& b) { return a.name < b.name; });
    int height = 2 * kCellInset + 24;
    for (const PictureRow& row : rows) height += row.height + 2 * kCellInset + kRowGap;
    CWidgetHost host(kNameWidth + kStateCount * kCellWidth + 20, height);
    ASSERT_TRUE(host.Ok());
    RegisterPictureFonts(host.Manager());
    host.Manager().SetDefaultTextColor(0xFF000000);

    auto* root = new CVerticalLayoutUI;
    root->SetAttribute(L"bkcolor", L"#FFFFFFFF");
    root->SetAttribute(L"inset", L"10,6,10,6");
    auto* header = AddChild<CHorizontalLayoutUI>(root, {{L"height", L"24"}});
    AddChild<CLabelUI>(header, {{L"width", L"130"}});
    for (const wchar_t* name : kStateNames)
        AddChild<CLabelUI>(header, {{L"width", L"130"}, {L"text", name}, {L"align", L"center"}});
    std::vector<std::vector<CControlUI*>> made(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::wstring rowHeight = std::to_wstring(rows[i].height + 2 * kCellInset);
        auto* line = AddChild<CHorizontalLayoutUI>(root, {{L"height", rowHeight.c_str()}});
        AddChild<CLabelUI>(line, {{L"width", L"130"}, {L"text", rows[i].name.c_str()}});
        for (int s = 0; s < kStateCount; ++s) {
            auto* cell = AddChild<CVerticalLayoutUI>(line, {{L"width", L"130"}, {L"inset", L"6,6,6,6"}});
            CControlUI* control = rows[i].make();
            control->SetFixedHeight(rows[i].height);
            cell->Add(control);
            made[i].push_back(control);
        }
        AddChild<CControlUI>(root, {{L"height", std::to_wstring(kRowGap).c_str()}});
    }
    host.Attach(root);
    for (auto& controls : made)
        for (int s = 0; s < kStateCount; ++s) GiveState(controls[s], static_cast<PictureState>(s));
    host.RepaintAll();
    const std::wstring png = testing_support::TestProgramFolder() + L"widget_states.png";
    EXPECT_TRUE(host.SavePng(png));

    for (size_t i = 0; i < rows.size(); ++i) {
        for (int s = 0; s < kStateCount; ++s) {
            const RECT& pos = made[i][s]->GetPos();
            for (const Probe& p : rows[i].expect(static_cast<PictureState>(s))) {
                if (p.anywhere) {
                    EXPECT_TRUE(HasColour(host, pos, p.rgb))
                        << "row " << i << " state " << s << " ink " << std::hex << p.rgb;
                } else {
                    EXPECT_EQ(p.rgb, host.Pixel(pos.left + p.x, pos.top + p.y))
                        << "row " << i << " state " << s << " at " << p.x << "," << p.y;
                }
            }
        }
    }
    RemoveFontResourceExW(DIN_FONT_PATH, FR_PRIVATE, nullptr);
}
