#include "ui/controls/IListItemUI.h"

#include "ui/controls/ControlUI.h"

IListItemUI* AsListItem(CControlUI* control)
{
    return control ? static_cast<IListItemUI*>(control->GetInterfaceByName(L"ListItem")) : nullptr;
}
