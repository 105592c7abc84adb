#include "ui/controls/CheckBoxUI.h"

const wchar_t* CCheckBoxUI::GetClassName() const { return L"CheckBoxUI"; }

void* CCheckBoxUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"CheckBox") return this;
    return COptionUI::GetInterfaceByName(name);
}
