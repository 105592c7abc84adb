#include "ui/controls/ListTextElementUI.h"

const wchar_t* CListTextElementUI::GetClassName() const { return L"ListTextElementUI"; }

void* CListTextElementUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListTextElement") return static_cast<CListTextElementUI*>(this);
    return CListLabelElementUI::GetInterfaceByName(name);
}
