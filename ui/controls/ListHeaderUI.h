#pragma once

// The column header row of a list: a horizontal layout of header items,
// one font line high unless it has a height.

#include "ui/controls/HorizontalLayoutUI.h"

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    SIZE MeasureSize(SIZE available) override;
};
