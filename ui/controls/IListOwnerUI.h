#pragma once

#include "ui/core/ManagerInterfaces.h"

struct ListItemStyle;

// What a list item needs from the control that owns it (a combo box or a
// list): the shared item style, the selection, and a place to send the
// events that the item does not handle itself. Handed out by
// GetInterfaceByName ("IListOwner").
class IListOwnerUI {
public:
    virtual ListItemStyle* GetListItemStyle() = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index, bool takeFocus = false) = 0;
    virtual void OwnerEvent(ControlEvent& event) = 0;

protected:
    ~IListOwnerUI() = default;
};
