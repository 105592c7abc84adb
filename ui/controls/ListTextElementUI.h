#pragma once

// A list item of text. The skins here use none; it draws its text like a
// label element, with inline markup when the owner's style asks for it.

#include "ui/controls/ListLabelElementUI.h"

class CListTextElementUI : public CListLabelElementUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
};
