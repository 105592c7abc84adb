#include "ui/controls/ListItemStyle.h"

#include <unordered_map>

#include "ui/core/ValueSyntax.h"

using namespace value_syntax;

UINT ApplyHorizontalAlign(UINT style, const std::wstring& value)
{
    if (value.find(L"left") != std::wstring::npos) style &= ~(DT_CENTER | DT_RIGHT);
    if (value.find(L"center") != std::wstring::npos) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (value.find(L"right") != std::wstring::npos) style = (style & ~DT_CENTER) | DT_RIGHT;
    return style;
}

namespace {

using Setter = void (*)(ListItemStyle&, const std::wstring&);

void SetImage(ImageDescriptor& descriptor, const std::wstring& text)
{
    // A changed text gives the old image back and loads at the next paint.
    descriptor.SetText(text);
}

const std::unordered_map<std::wstring, Setter>& StyleAttributes()
{
    static const std::unordered_map<std::wstring, Setter> table = {
        {L"itemfont", [](ListItemStyle& s, const std::wstring& v) { s.font = ParseInt(v); }},
        {L"itemalign",
         [](ListItemStyle& s, const std::wstring& v) { s.textStyle = ApplyHorizontalAlign(s.textStyle, v); }},
        {L"itemtextpadding",
         [](ListItemStyle& s, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             s.textPadding = RECT{q.a, q.b, q.c, q.d};
         }},
        {L"itemtextcolor", [](ListItemStyle& s, const std::wstring& v) { s.textColor = ParseColor(v, false); }},
        {L"itembkcolor", [](ListItemStyle& s, const std::wstring& v) { s.bkColor = ParseColor(v, false); }},
        {L"itembkimage", [](ListItemStyle& s, const std::wstring& v) { SetImage(s.bkImage, v); }},
        {L"itemaltbk", [](ListItemStyle& s, const std::wstring& v) { s.alternateBk = ParseBool(v); }},
        {L"itemselectedtextcolor",
         [](ListItemStyle& s, const std::wstring& v) { s.selectedTextColor = ParseColor(v, false); }},
        {L"itemselectedbkcolor",
         [](ListItemStyle& s, const std::wstring& v) { s.selectedBkColor = ParseColor(v, false); }},
        {L"itemselectedimage", [](ListItemStyle& s, const std::wstring& v) { SetImage(s.selectedImage, v); }},
        {L"itemhottextcolor", [](ListItemStyle& s, const std::wstring& v) { s.hotTextColor = ParseColor(v, false); }},
        {L"itemhotbkcolor", [](ListItemStyle& s, const std::wstring& v) { s.hotBkColor = ParseColor(v, false); }},
        {L"itemhotimage", [](ListItemStyle& s, const std::wstring& v) { SetImage(s.hotImage, v); }},
        {L"itemdisabledtextcolor",
         [](ListItemStyle& s, const std::wstring& v) { s.disabledTextColor = ParseColor(v, false); }},
        {L"itemdisabledbkcolor",
         [](ListItemStyle& s, const std::wstring& v) { s.disabledBkColor = ParseColor(v, false); }},
        {L"itemdisabledimage", [](ListItemStyle& s, const std::wstring& v) { SetImage(s.disabledImage, v); }},
        {L"itemlinecolor", [](ListItemStyle& s, const std::wstring& v) { s.lineColor = ParseColor(v, false); }},
        {L"itemshowhtml", [](ListItemStyle& s, const std::wstring& v) { s.showHtml = ParseBool(v); }},
    };
    return table;
}

}  // namespace

bool ListItemStyle::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    const auto& table = StyleAttributes();
    auto it = table.find(name);
    if (it == table.end()) return false;
    it->second(*this, value);
    return true;
}

void ListItemStyle::GiveBackImages()
{
    for (ImageDescriptor* image : {&bkImage, &selectedImage, &hotImage, &disabledImage}) image->GiveBack();
}
