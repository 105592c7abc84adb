#pragma once

#include <string>

#include "ui/controls/ControlUI.h"
#include "ui/core/WindowManagerUI.h"

// Small chores that all application windows share.

// One line per handled click for a debugger: type, two tabs, sender name.
void TraceNotification(const NotifyMsg& msg);

// Opens a link or starts a program the way a double click in the shell
// would. Failures are not reported: a broken link simply opens nothing.
void OpenThroughShell(const std::wstring& target);

// The control of that name seen through one of its interfaces ("Combo",
// "Edit", ...), or null when there is none or it is of another kind.
template <class T>
T* FindControlAs(CWindowManagerUI& manager, const wchar_t* name, const wchar_t* interfaceName)
{
    CControlUI* control = manager.FindControlByName(name);
    return control ? static_cast<T*>(control->GetInterfaceByName(interfaceName)) : nullptr;
}
