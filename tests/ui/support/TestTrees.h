#pragma once

// Small control trees built from attribute lists, for the tests that make
// their trees in code rather than from markup.

#include <initializer_list>
#include <utility>

#include "ui/controls/ContainerUI.h"

namespace ui_test {

using Attributes = std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>;

template <class T>
T* Make(Attributes attributes)
{
    T* control = new T;
    for (const auto& a : attributes) control->SetAttribute(a.first, a.second);
    return control;
}

// Added first, then given its attributes, as the layout builder does.
template <class T>
T* AddChild(CContainerUI* parent, Attributes attributes)
{
    T* control = new T;
    parent->Add(control);
    for (const auto& a : attributes) control->SetAttribute(a.first, a.second);
    return control;
}

}  // namespace ui_test
