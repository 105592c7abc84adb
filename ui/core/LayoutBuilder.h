#pragma once

// Turns one skin document into a control tree for one window, and hands the
// window-wide declarations of the document (fonts, images, default
// attribute lists, language strings, the Window element's settings) to
// the window's manager. Recurses into itself for Include elements. UI
// thread only.

#include <windows.h>

#include <string>

#include "ui/core/BuildBudget.h"
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
    // or null when the markup does not load or makes no control. Each call
    // is one window's build with a fresh budget (see CBuildBudget); what
    // the budget refuses is left out with an Error line in the log.
    CControlUI* Create(const wchar_t* source, const wchar_t* type = nullptr,
                       IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);
    // Builds from the document already loaded.
    CControlUI* Create(IDialogBuilderCallback* callback = nullptr, CWindowManagerUI* manager = nullptr,
                       CControlUI* parent = nullptr);

    CXmlDocument& Document() { return m_document; }
    // What the last build used and refused.
    const CBuildBudget& Budget() const { return *m_budget; }

    // A new control for a tag of the toolkit's tag table, or null.
    static CControlUI* CreateControlForTag(const wchar_t* tag);

private:
    // Includes nested deeper than this are not followed: each level holds
    // a builder and its frames on the stack, and a document that includes
    // itself without making controls adds no depth to the tree.
    static const int kMaxIncludeDepth = 16;

    // The builder of an Include: it shares the including build's budget and
    // stands one include deeper.
    CLayoutBuilder(CBuildBudget& budget, int includeDepth) : m_budget(&budget), m_includeDepth(includeDepth) {}

    bool Load(const wchar_t* source, const wchar_t* type);
    CControlUI* Build(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent,
                      int parentLevel);
    void ApplyWindowElements(CXmlNode root, CWindowManagerUI* manager);
    void ApplyWindowAttributes(CXmlNode root, CWindowManagerUI* manager);
    CControlUI* Parse(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, int parentLevel);
    CControlUI* Include(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, int parentLevel);
    // Logs each limit the build hit, once.
    void ReportRefusals();
    const wchar_t* ResourceType() const;

    CXmlDocument m_document;
    IDialogBuilderCallback* m_callback = nullptr;
    // Recorded when the markup came from a resource, so that its Include
    // elements load from the same kind of resource; every load sets it anew.
    bool m_fromResource = false;
    const wchar_t* m_typeId = nullptr;
    std::wstring m_typeName;
    // A window's builder owns the budget; an Include's builder borrows it.
    CBuildBudget m_ownBudget;
    CBuildBudget* m_budget = &m_ownBudget;
    int m_includeDepth = 0;
};
