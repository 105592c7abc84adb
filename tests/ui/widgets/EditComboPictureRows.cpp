// The edit and the combo box in the state picture (PictureTest.cpp).
//
// The states come from the events the manager would deliver. Focusing
// the edit opens its native window; pressing the combo opens its popup,
// which takes the keyboard, so by the time the picture is taken the
// edit's native window has closed again and the focused edit shows its
// focused image and its own text. The popup is a window of its own and
// not part of the picture. The rows go in the order of their names, so
// the combo's row is named to come after the edit's: the other way round
// the edit's native window would take the keyboard from the open popup,
// which would close and leave the combo unpushed.

#include <memory>
#include <string>
#include <vector>

#include "tests/ui/widgets/PictureRows.h"
#include "tests/ui/widgets/WidgetTestImages.h"
#include "tests/ui/widgets/WidgetTestTrees.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/ListLabelElementUI.h"

using namespace widget_tests;

namespace {

constexpr DWORD kInk = 0x203040;
constexpr DWORD kGreyInk = 0xA0A0A0;
const DWORD kLook[kStateCount] = {0xD0E8F8, 0xB0F0C0, 0xF0B0B0, 0xF8E8A0, 0xC8C8C8};

// The five state images of a row, kept alive for the descriptors' texts.
const std::vector<std::wstring>& StateImages(const std::wstring& prefix)
{
    static std::vector<std::unique_ptr<std::vector<std::wstring>>> keep;
    keep.push_back(std::make_unique<std::vector<std::wstring>>());
    for (int s = 0; s < kStateCount; ++s)
        keep.back()->push_back(SolidImage(prefix + std::to_wstring(s), kLook[s], 16, 16));
    return *keep.back();
}

PICTURE_ROW(j_edit, {L"Edit", 32,
                     [] {
                         const std::vector<std::wstring>& image = StateImages(L"edit-");
                         return Make<CEditUI>({{L"text", L"编辑 Edit"}, {L"font", L"2"},
                                               {L"textcolor", L"#FF203040"}, {L"disabledtextcolor", L"#FFA0A0A0"},
                                               {L"normalimage", image[kStateNormal].c_str()},
                                               {L"hotimage", image[kStateHot].c_str()},
                                               {L"focusedimage", image[kStateFocused].c_str()},
                                               {L"disabledimage", image[kStateDisabled].c_str()}});
                     },
                     [](PictureState s) {
                         // An edit has no pushed look: pressed, it is hot.
                         const DWORD look = kLook[s == kStatePushed ? kStateHot : s];
                         return std::vector<Probe>{At(2, 2, look), Ink(s == kStateDisabled ? kGreyInk : kInk)};
                     }});

PICTURE_ROW(k_combo, {L"Pull-down (Combo)", 32,
                      [] {
                          const std::vector<std::wstring>& image = StateImages(L"combo-");
                          auto* combo = Make<CComboUI>({{L"font", L"2"}, {L"textcolor", L"#FF203040"},
                                                        {L"textpadding", L"6,0,0,0"},
                                                        {L"normalimage", image[kStateNormal].c_str()},
                                                        {L"hotimage", image[kStateHot].c_str()},
                                                        {L"pushedimage", image[kStatePushed].c_str()},
                                                        {L"focusedimage", image[kStateFocused].c_str()},
                                                        {L"disabledimage", image[kStateDisabled].c_str()}});
                          for (const wchar_t* text : {L"版本 1.0", L"版本 2.0"}) {
                              auto* item = new CListLabelElementUI;
                              item->SetText(text);
                              combo->Add(item);
                          }
                          combo->SelectItem(0);
                          return combo;
                      },
                      [](PictureState s) { return std::vector<Probe>{At(2, 2, kLook[s]), Ink(kInk)}; }});

}  // namespace
