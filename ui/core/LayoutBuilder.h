#pragma once

// Turns one skin document into a control tree for one window, and hands the
// window-wide declarations of the document (fonts, images, default
// attribute lists, language strings, the Window element's settings) to
// the window's manager. Recurses into itself for Include elements. UI
// thread only.

#include <windows.h>

#include <string>

#include "ui/core/ManagerInterfaces.h"
#include "ui/core/XmlDocument.h"

class CControlUI;
class CWindowManagerUI;

class CLayoutBuilder {
public:
    CLayoutBuilder() = default;
    CLayoutBuilder(const CLayoutBuilder&) = delete;
    CLayoutBuilder& operator=(const CLayoutBuilder&) = delete;

    // source: a resource id (MAKEINTRESOURCE) of resource type type, markup
    // text starting with '<', or the name of a skin file. The root control,
    // or null when the markup does not load or makes no control.
    CControlUI* Create(const wchar_t* source, const wchar_t* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);
    // Builds from the document already loaded.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    CXmlDocument& Document() { return m_document; }

    // A new control for a tag of the toolkit's tag table, or null.
    static CControlUI* CreateControlForTag(const wchar_t* tag);

private:
    // Includes deeper than this are not followed: a skin that includes
    // itself must not exhaust the stack.
    static const int kMaxIncludeDepth = 16;

    void ApplyWindowElements(CXmlNode root, CWindowManagerUI* manager);
    void ApplyWindowAttributes(CXmlNode root, CWindowManagerUI* manager);
    CControlUI* Parse(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager);
    CControlUI* Include(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager);
    const wchar_t* ResourceType() const;

    CXmlDocument m_document;
    IDialogBuilderCallback* m_callback = nullptr;
    // Recorded when the markup came from a resource, so that its Include
    // elements load from the same kind of resource.
    bool m_fromResource = false;
    const wchar_t* m_typeId = nullptr;
    std::wstring m_typeName;
    int m_includeDepth = 0;
};
