#pragma once

// How the items of one list owner are drawn: fonts, colours and images for
// the normal, selected, hot and disabled item, shared by every item of the
// owner. The owner keeps it; the items read it through IListOwnerUI.

#include <windows.h>

#include <string>

#include "ui/core/DrawKit.h"

struct ListItemStyle {
    int font = -1;
    UINT textStyle = DT_VCENTER;
    RECT textPadding{0, 0, 0, 0};
    DWORD textColor = 0xFF000000;
    DWORD bkColor = 0;
    ImageDescriptor bkImage;
    bool alternateBk = false;
    DWORD selectedTextColor = 0xFF000000;
    DWORD selectedBkColor = 0xFFC1E3FF;
    ImageDescriptor selectedImage;
    DWORD hotTextColor = 0xFF000000;
    DWORD hotBkColor = 0xFFE9F5FF;
    ImageDescriptor hotImage;
    DWORD disabledTextColor = 0xFFCCCCCC;
    DWORD disabledBkColor = 0xFFFFFFFF;
    ImageDescriptor disabledImage;
    DWORD lineColor = 0;
    bool showHtml = false;

    // Applies one of the owner's item attributes ("itemfont" and the rest);
    // false when the name is not one of them.
    bool SetAttribute(const std::wstring& name, const std::wstring& value);

    // Gives the images back to the manager that lent them, which may be
    // about to go (a combo's popup); the next paint loads them anew.
    void GiveBackImages();
};

// The horizontal alignment words of "align"-like attributes, searched as
// substrings and applied in the order left, center, right. Vertical bits
// and DT_SINGLELINE stay as they are.
UINT ApplyHorizontalAlign(UINT style, const std::wstring& value);
