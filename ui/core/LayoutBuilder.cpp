#include "ui/core/LayoutBuilder.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ButtonUI.h"
#include "ui/controls/CheckBoxUI.h"
#include "ui/controls/ContainerUI.h"
#include "ui/controls/ControlUI.h"
#include "ui/controls/HorizontalLayoutUI.h"
#include "ui/controls/IContainerUI.h"
#include "ui/controls/LabelUI.h"
#include "ui/controls/OptionUI.h"
#include "ui/controls/ProgressUI.h"
#include "ui/controls/ScrollBarUI.h"
#include "ui/controls/SliderUI.h"
#include "ui/controls/TextUI.h"
#include "ui/controls/ComboUI.h"
#include "ui/controls/EditUI.h"
#include "ui/controls/ListUI.h"
#include "ui/controls/ListHeaderUI.h"
#include "ui/controls/ListHeaderItemUI.h"
#include "ui/controls/ListTextElementUI.h"
#include "ui/controls/ListLabelElementUI.h"
#include "ui/controls/ListContainerElementUI.h"
#include "ui/controls/VerticalLayoutUI.h"
#include "diagnostics/Logger.h"
#include "ui/core/ResourceLocation.h"
#include "ui/core/WindowManagerUI.h"

namespace {

template <class Control>
CControlUI* Make()
{
    return new Control;
}

struct TagEntry {
    const wchar_t* tag;
    CControlUI* (*make)();
};

// The markup tags that make controls, one line per tag. A class of the
// toolkit that is not listed here is an unknown tag to the skins.
const TagEntry kTagTable[] = {
    {L"Control", &Make<CControlUI>},
    {L"Container", &Make<CContainerUI>},
    {L"VerticalLayout", &Make<CVerticalLayoutUI>},
    {L"HorizontalLayout", &Make<CHorizontalLayoutUI>},
    {L"ScrollBar", &Make<CScrollBarUI>},
    {L"Label", &Make<CLabelUI>},
    {L"Text", &Make<CTextUI>},
    {L"Button", &Make<CButtonUI>},
    {L"Option", &Make<COptionUI>},
    {L"CheckBox", &Make<CCheckBoxUI>},
    {L"Progress", &Make<CProgressUI>},
    {L"Slider", &Make<CSliderUI>},
    {L"Edit", &Make<CEditUI>},
    {L"Combo", &Make<CComboUI>},
    {L"List", &Make<CListUI>},
    {L"ListHeader", &Make<CListHeaderUI>},
    {L"ListHeaderItem", &Make<CListHeaderItemUI>},
    {L"ListTextElement", &Make<CListTextElementUI>},
    {L"ListLabelElement", &Make<CListLabelElementUI>},
    {L"ListContainerElement", &Make<CListContainerElementUI>},
};

// The one tag that is matched with its case: it names a class apart from
// Label, and skins written for either must not get the other.
const wchar_t kCaseSensitiveTag[] = L"LabelEx";

bool SameText(const wchar_t* a, const wchar_t* b) { return _wcsicmp(a, b) == 0; }

bool IsTrue(const wchar_t* value) { return SameText(value, L"true"); }

int Number(const wchar_t* value) { return value_syntax::ParseInt(value); }

DWORD HexNumber(const wchar_t* value)
{
    if (*value == L'#') ++value;
    return static_cast<DWORD>(std::wcstoul(value, nullptr, 16));
}

SIZE Pair(const wchar_t* value)
{
    value_syntax::IntQuad q = value_syntax::ParseIntList(value);
    return SIZE{q.a, q.b};
}

RECT Rectangle(const wchar_t* value)
{
    value_syntax::IntQuad q = value_syntax::ParseIntList(value);
    return RECT{q.a, q.b, q.c, q.d};
}

DWORD Colour(const wchar_t* value) { return value_syntax::ParseColor(value, false); }

// A window size from the markup, at most the size of all screens together:
// a larger window shows nothing more, and its back buffer (or the sizes
// the system enforces from the tracking limits) could take gigabytes.
SIZE ScreenBounded(SIZE size)
{
    const LONG width = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1);
    const LONG height = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1);
    return SIZE{std::min(std::max(size.cx, 0L), width), std::min(std::max(size.cy, 0L), height)};
}

// The attributes of the Window element: name and what it sets on the manager.
struct WindowAttribute {
    const wchar_t* name;
    void (*apply)(CWindowManagerUI& manager, const wchar_t* value);
};

const WindowAttribute kWindowAttributes[] = {
    {L"size",
     [](CWindowManagerUI& m, const wchar_t* v) {
         SIZE size = ScreenBounded(Pair(v));
         m.SetInitialSize(size.cx, size.cy);
         // Before the tree exists the window takes the size at once, so the
         // first layout already sees it.
         if (!m.GetRoot())
             SetWindowPos(m.GetWindow(), nullptr, 0, 0, size.cx, size.cy,
                          SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
     }},
    {L"sizebox", [](CWindowManagerUI& m, const wchar_t* v) { m.SetResizeBorder(Rectangle(v)); }},
    {L"caption", [](CWindowManagerUI& m, const wchar_t* v) { m.SetCaptionArea(Rectangle(v)); }},
    {L"roundcorner", [](CWindowManagerUI& m, const wchar_t* v) { m.SetCornerSize(Pair(v)); }},
    {L"mininfo", [](CWindowManagerUI& m, const wchar_t* v) { m.SetMinTrackSize(ScreenBounded(Pair(v))); }},
    {L"maxinfo", [](CWindowManagerUI& m, const wchar_t* v) { m.SetMaxTrackSize(ScreenBounded(Pair(v))); }},
    {L"showdirty", [](CWindowManagerUI& m, const wchar_t* v) { m.SetShowDirty(IsTrue(v)); }},
    {L"alpha", [](CWindowManagerUI& m, const wchar_t* v) { m.SetWindowAlpha(Number(v)); }},
    {L"alphacolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetColorKey(Colour(v)); }},
    {L"bktrans", [](CWindowManagerUI& m, const wchar_t* v) { m.SetLayeredPaint(IsTrue(v)); }},
    {L"disabledfontcolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultDisabledColor(Colour(v)); }},
    {L"defaultfontcolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultTextColor(Colour(v)); }},
    {L"linkfontcolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultLinkColor(Colour(v)); }},
    {L"linkhoverfontcolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultHotLinkColor(Colour(v)); }},
    {L"selectedcolor", [](CWindowManagerUI& m, const wchar_t* v) { m.SetDefaultSelectionColor(Colour(v)); }},
};

// The attributes of a window-level element, looked up without regard to case.
class ElementAttributes {
public:
    explicit ElementAttributes(const CXmlNode& node) : m_node(node) {}
    // The value, or fallback when the attribute is absent.
    const wchar_t* Get(const wchar_t* name, const wchar_t* fallback = L"") const
    {
        for (int i = 0; i < m_node.AttributeCount(); ++i)
            if (SameText(m_node.AttributeName(i), name)) return m_node.AttributeValue(i);
        return fallback;
    }
    int Int(const wchar_t* name, int fallback) const
    {
        const wchar_t* value = Get(name, nullptr);
        return value ? Number(value) : fallback;
    }
    bool Bool(const wchar_t* name) const { return IsTrue(Get(name)); }

private:
    const CXmlNode& m_node;
};

bool IsWindowLevelElement(const wchar_t* tag)
{
    return SameText(tag, L"Image") || SameText(tag, L"Font") || SameText(tag, L"Default") ||
           SameText(tag, L"MultiLanguage");
}

void ApplyFont(const ElementAttributes& a, CWindowManagerUI& manager)
{
    const int id = a.Int(L"id", -1);
    const std::wstring face = a.Get(L"name");
    if (id < 0 || face.empty()) return;
    const int size = a.Int(L"size", 12);
    const bool bold = a.Bool(L"bold"), underline = a.Bool(L"underline"), italic = a.Bool(L"italic");
    const bool shared = a.Bool(L"shared");
    manager.RegisterFont(id, face, size, bold, underline, italic, shared);
    if (a.Bool(L"default")) manager.SetDefaultFontFace(face, size, bold, underline, italic, shared);
}

void ApplyImage(const ElementAttributes& a, CWindowManagerUI& manager)
{
    const std::wstring name = a.Get(L"name");
    if (name.empty()) return;
    const std::wstring type = a.Get(L"restype");
    if (!type.empty() && !std::iswdigit(name[0])) return;
    // The shared switch travels in the colour-adjust place of the cache's
    // load; no skin of ours declares images this way.
    manager.LoadIntoCache(name, type.empty() ? nullptr : type.c_str(), HexNumber(a.Get(L"mask")),
                          a.Bool(L"shared"));
}

void ApplyDefault(const ElementAttributes& a, CWindowManagerUI& manager)
{
    const std::wstring name = a.Get(L"name");
    if (name.empty()) return;
    manager.SetTagDefaults(name, a.Get(L"value"), a.Bool(L"shared"));
}

void ApplyLanguage(const ElementAttributes& a)
{
    const int id = a.Int(L"id", -1);
    const std::wstring value = a.Get(L"value");
    if (id < 0 || value.empty()) return;
    CWindowManagerUI::SetLanguageString(id, value);
}

// The level of a control in its tree: 1 for a root, 0 for none. A tree
// added below an existing control continues at that control's level.
int LevelOf(CControlUI* control)
{
    int level = 0;
    for (; control && level <= CBuildBudget::kMaxDepth; control = control->GetParent()) ++level;
    return level;
}

}  // namespace

CControlUI* CLayoutBuilder::CreateControlForTag(const wchar_t* tag)
{
    for (const TagEntry& entry : kTagTable) {
        const bool match = std::wcscmp(entry.tag, kCaseSensitiveTag) == 0 ? std::wcscmp(tag, entry.tag) == 0
                                                                         : SameText(tag, entry.tag);
        if (match) return entry.make();
    }
    return nullptr;
}

const wchar_t* CLayoutBuilder::ResourceType() const { return m_typeName.empty() ? m_typeId : m_typeName.c_str(); }

bool CLayoutBuilder::Load(const wchar_t* source, const wchar_t* type)
{
    // What the last load said about its kind goes: a builder used again for
    // markup text must not read that text's includes as resource ids.
    m_fromResource = false;
    m_typeName.clear();
    m_typeId = nullptr;
    // Once a window has read all the markup it may, nothing more is read.
    if (m_budget->Exceeded(CBuildBudget::kMarkup)) return false;
    bool loaded = false;
    if (IS_INTRESOURCE(source)) {
        m_fromResource = true;
        if (IS_INTRESOURCE(type))
            m_typeId = type;
        else
            m_typeName = type;
        std::string bytes;
        loaded = ResourceLocation::ReadResourceBytes(source, ResourceType(), bytes) &&
                 m_document.LoadBytes(bytes.data(), bytes.size(), kXmlUtf8);
    } else if (source[0] == L'<') {
        loaded = m_document.LoadText(source);
    } else {
        loaded = m_document.LoadSkinFile(source);
    }
    if (loaded && !m_budget->TakeMarkup(m_document.TextLength())) {
        ReportRefusals();
        m_document.Clear();
        return false;
    }
    return loaded;
}

CControlUI* CLayoutBuilder::Create(const wchar_t* source, const wchar_t* type, IDialogBuilderCallback* callback,
                                   CWindowManagerUI* manager, CControlUI* parent)
{
    if (!source) return nullptr;
    m_ownBudget = CBuildBudget();
    if (!Load(source, type)) return nullptr;
    return Build(callback, manager, parent, LevelOf(parent));
}

CControlUI* CLayoutBuilder::Create(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent)
{
    m_ownBudget = CBuildBudget();
    // A loaded document is never larger than the markup a window may read.
    m_ownBudget.TakeMarkup(m_document.TextLength());
    return Build(callback, manager, parent, LevelOf(parent));
}

CControlUI* CLayoutBuilder::Build(IDialogBuilderCallback* callback, CWindowManagerUI* manager, CControlUI* parent,
                                  int parentLevel)
{
    m_callback = callback;
    if (!m_document.IsLoaded()) return nullptr;
    CXmlNode root = m_document.Root();
    if (!root.IsValid()) return nullptr;
    // 1. Window-level declarations, only as direct children of the root.
    if (manager) ApplyWindowElements(root, manager);
    // 2. The Window element's settings, in the order they are written.
    if (manager && manager->GetWindow() && SameText(root.Name(), L"Window")) ApplyWindowAttributes(root, manager);
    // 3. The controls.
    return Parse(root, parent, manager, parentLevel);
}

void CLayoutBuilder::ApplyWindowElements(CXmlNode root, CWindowManagerUI* manager)
{
    for (CXmlNode node = root.FirstChild(); node.IsValid(); node = node.NextSibling()) {
        const wchar_t* tag = node.Name();
        if (!IsWindowLevelElement(tag)) continue;
        if (!m_budget->TakeDeclaration()) {
            ReportRefusals();
            return;
        }
        ElementAttributes attributes(node);
        if (SameText(tag, L"Image"))
            ApplyImage(attributes, *manager);
        else if (SameText(tag, L"Font"))
            ApplyFont(attributes, *manager);
        else if (SameText(tag, L"Default"))
            ApplyDefault(attributes, *manager);
        else if (SameText(tag, L"MultiLanguage"))
            ApplyLanguage(attributes);
    }
}

void CLayoutBuilder::ApplyWindowAttributes(CXmlNode root, CWindowManagerUI* manager)
{
    for (int i = 0; i < root.AttributeCount(); ++i) {
        const wchar_t* name = root.AttributeName(i);
        for (const WindowAttribute& attribute : kWindowAttributes) {
            if (SameText(name, attribute.name)) {
                attribute.apply(*manager, root.AttributeValue(i));
                break;
            }
        }
    }
}

void CLayoutBuilder::ReportRefusals()
{
    CBuildBudget& b = *m_budget;
    if (b.FirstRefusal(CBuildBudget::kControls))
        LOG_ERROR(L"skin makes more than %d controls; the rest are left out", CBuildBudget::kMaxControls);
    if (b.FirstRefusal(CBuildBudget::kIncludeCount))
        LOG_ERROR(L"skin include count is above %d; only %d copies are built", CBuildBudget::kMaxIncludeCount,
                  CBuildBudget::kMaxIncludeCount);
    if (b.FirstRefusal(CBuildBudget::kIncludeRuns))
        LOG_ERROR(L"skin includes more than %d times; the rest are left out", CBuildBudget::kMaxIncludeRuns);
    if (b.FirstRefusal(CBuildBudget::kMarkup))
        LOG_ERROR(L"skin markup exceeds %u characters; the rest is not read",
                  static_cast<unsigned>(CBuildBudget::kMaxMarkupChars));
    if (b.FirstRefusal(CBuildBudget::kDeclarations))
        LOG_ERROR(L"skin declares more than %d fonts, images, defaults and strings; the rest are ignored",
                  CBuildBudget::kMaxDeclarations);
    if (b.FirstRefusal(CBuildBudget::kDepth))
        LOG_ERROR(L"skin nests controls deeper than %d levels; the deeper ones are left out", CBuildBudget::kMaxDepth);
}

CControlUI* CLayoutBuilder::Include(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, int parentLevel)
{
    // Read whole: a source may be markup text of any length.
    std::wstring source;
    int count = 1;
    for (int i = 0; i < node.AttributeCount(); ++i) {
        if (std::wcscmp(node.AttributeName(i), L"source") == 0) source = node.AttributeValue(i);
        if (std::wcscmp(node.AttributeName(i), L"count") == 0) count = Number(node.AttributeValue(i));
    }
    if (source.empty() || count <= 0 || m_includeDepth >= kMaxIncludeDepth) return nullptr;
    count = m_budget->IncludeCount(count);

    // One load serves every copy; a source that does not load is tried once.
    CLayoutBuilder builder(*m_budget, m_includeDepth + 1);
    bool loaded = m_budget->TakeIncludeRun() &&
                  (m_fromResource ? builder.Load(MAKEINTRESOURCEW(Number(source.c_str())), ResourceType())
                                  : builder.Load(source.c_str(), nullptr));
    CControlUI* first = nullptr;
    for (int i = 0; loaded && i < count; ++i) {
        CControlUI* made = builder.Build(m_callback, manager, parent, parentLevel);
        if (i + 1 < count) loaded = m_budget->TakeIncludeRun();
        if (parent || !made) continue;
        // Without a parent nothing would own the included tree: the first
        // one is this level's result, further copies have no place.
        if (!first) {
            first = made;
        } else {
            delete made;
            break;
        }
    }
    ReportRefusals();
    return first;
}

CControlUI* CLayoutBuilder::Parse(CXmlNode node, CControlUI* parent, CWindowManagerUI* manager, int parentLevel)
{
    IContainerUI* container = nullptr;
    CControlUI* result = nullptr;
    for (CXmlNode child = node.FirstChild(); child.IsValid(); child = child.NextSibling()) {
        const wchar_t* tag = child.Name();
        // 1. Window-level elements were taken by Create, at the top only.
        if (IsWindowLevelElement(tag)) continue;
        // 2. Includes add their trees to this parent. Without a parent only
        // the first control of the level has an owner.
        if (SameText(tag, L"Include")) {
            CControlUI* included = Include(child, parent, manager, parentLevel);
            if (!result)
                result = included;
            else if (!parent)
                delete included;
            continue;
        }
        // 3. The budget: controls deeper than the stack can walk, or more
        // than a window may hold, are left out with what is below them.
        if (!m_budget->AllowsDepth(parentLevel + 1) || !m_budget->TakeControl()) {
            ReportRefusals();
            continue;
        }
        // 4. The control from the tag table or the callback; unknown tags
        // are dropped with everything below them.
        CControlUI* control = CreateControlForTag(tag);
        if (!control && m_callback) control = m_callback->MakeControl(tag);
        if (!control) continue;
        // 5. Children first, so that they are in place before the control
        // receives its attributes.
        if (child.HasChildren()) Parse(child, control, manager, parentLevel + 1);
        // 6. Into the parent.
        if (parent) {
            if (!container) container = static_cast<IContainerUI*>(parent->GetInterfaceByName(L"IContainer"));
            if (!container) {
                delete control;
                return nullptr;
            }
            if (!container->Add(control)) {
                delete control;
                continue;
            }
        }
        // 7. The tag's default attribute list, while the manager is lent.
        if (manager) {
            control->SetManager(manager, nullptr, false);
            if (const std::wstring* defaults = manager->TagDefaults(tag)) control->ApplyAttributes(*defaults);
        }
        // 8. Its own attributes override the defaults. The manager is
        // attached for good with the whole tree; until then the control
        // keeps what its parent gave it (nothing, while the parent itself
        // is still being built).
        for (int i = 0; i < child.AttributeCount(); ++i)
            control->SetAttribute(child.AttributeName(i), child.AttributeValue(i));
        if (manager) control->SetManager(parent ? parent->GetManager() : nullptr, parent, false);
        // 9. The first control of the level is its result. A second one
        // at the top has no owner: a window has one root.
        if (!result)
            result = control;
        else if (!parent)
            delete control;
    }
    return result;
}
