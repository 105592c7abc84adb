#pragma once

#include <windows.h>

class CControlUI;
class IListOwnerUI;

// The item side of a list: its place in the owner, its selection, and the
// drawing of its text with the owner's style. Handed out by
// GetInterfaceByName ("ListItem").
class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int index) = 0;
    virtual IListOwnerUI* GetOwner() const = 0;
    // The owner is given as a control; it must answer "IListOwner".
    virtual void SetOwner(CControlUI* owner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool select = true) = 0;
    virtual bool IsExpanded() const = 0;
    virtual bool Expand(bool expand = true) = 0;
    virtual void DrawItemText(HDC dc, const RECT& rect) = 0;

protected:
    ~IListItemUI() = default;
};

// The item side of a control, or null when it is none.
IListItemUI* AsListItem(CControlUI* control);
