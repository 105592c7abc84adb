#include "ui/controls/ComboUI.h"

#include <algorithm>
#include <unordered_map>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ComboWnd.h"
#include "ui/controls/ControlImages.h"
#include "ui/controls/IListItemUI.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

CComboUI::CComboUI() = default;

CComboUI::~CComboUI()
{
    // The popup borrows the items; they come back before they are deleted.
    if (m_popup) m_popup->Abandon();
}

void CComboUI::ReleaseImages()
{
    CContainerUI::ReleaseImages();
    for (ImageDescriptor* image : {&m_normalImage, &m_hotImage, &m_pushedImage, &m_focusedImage, &m_disabledImage})
        image->GiveBack();
    m_itemStyle.GiveBackImages();
}

const wchar_t* CComboUI::GetClassName() const { return L"ComboUI"; }

void* CComboUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Combo") return static_cast<CComboUI*>(this);
    if (name == L"IListOwner") return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterfaceByName(name);
}

UINT CComboUI::GetInputFlags() const { return UIFLAG_TABSTOP; }

bool CComboUI::Activate()
{
    if (!CControlUI::Activate()) return false;
    if (m_popup) return true;
    m_popup = new CComboWnd;
    if (!m_popup->Init(this)) {
        // Nothing to show: the window could not be made.
        delete m_popup;
        m_popup = nullptr;
        return false;
    }
    SendNotify(L"dropdown");
    Invalidate();
    return true;
}

std::wstring CComboUI::GetText() const
{
    CControlUI* item = GetItemAt(m_curSel);
    return item ? item->GetText() : std::wstring();
}

void CComboUI::SetPos(RECT rect, bool invalidate)
{
    // The items are laid out only by the popup; while it borrows them they
    // are not in this list and keep the places it gave them.
    for (CControlUI* item : m_items) item->SetPos(RECT{0, 0, 0, 0}, false);
    CControlUI::SetPos(rect, invalidate);
}

void CComboUI::Move(int dx, int dy, bool invalidate) { CControlUI::Move(dx, dy, invalidate); }

void CComboUI::SetEnabled(bool enabled)
{
    CControlUI::SetEnabled(enabled);
    if (!enabled) m_state = 0;
}

// Items -------------------------------------------------------------------------

CContainerUI& CComboUI::Holder() const
{
    if (m_loan) return m_loan->Borrower();
    return const_cast<CComboUI&>(*this);
}

void CComboUI::LendItems(CContainerUI& borrower)
{
    if (m_loan) return;
    m_loan = std::make_unique<CItemLoan>(*this, m_items, borrower);
}

void CComboUI::EndLoan() { m_loan.reset(); }

CControlUI* CComboUI::GetItemAt(int index) const { return Holder().CContainerUI::GetItemAt(index); }
int CComboUI::GetItemIndex(CControlUI* control) const { return Holder().CContainerUI::GetItemIndex(control); }
int CComboUI::GetCount() const { return Holder().CContainerUI::GetCount(); }

int CComboUI::NextSelectableItem(int index, bool forward)
{
    return Holder().CContainerUI::NextSelectableItem(index, forward);
}

void CComboUI::RenumberFrom(int index)
{
    for (int i = std::max(index, 0); i < GetCount(); ++i)
        if (IListItemUI* item = AsListItem(GetItemAt(i))) item->SetIndex(i);
}

bool CComboUI::SetItemIndex(CControlUI* control, int index)
{
    const int old = GetItemIndex(control);
    if (old < 0 || index < 0 || index >= GetCount()) return false;
    if (old == index) return true;
    CControlUI* selected = GetItemAt(m_curSel);
    Holder().CContainerUI::SetItemIndex(control, index);
    RenumberFrom(std::min(old, index));
    // The selection follows its item.
    if (selected) m_curSel = GetItemIndex(selected);
    return true;
}

bool CComboUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CComboUI::AddAt(CControlUI* control, int index)
{
    if (m_loan ? !m_loan->AddAt(control, index) : !CContainerUI::AddAt(control, index)) return false;
    if (IListItemUI* item = AsListItem(control)) item->SetOwner(this);
    RenumberFrom(index);
    if (m_curSel >= index) ++m_curSel;
    return true;
}

bool CComboUI::Remove(CControlUI* control)
{
    const int index = GetItemIndex(control);
    if (index < 0) return false;
    // A removed selection leaves nothing selected rather than the neighbour
    // that slides into its place.
    if (index == m_curSel)
        m_curSel = -1;
    else if (index < m_curSel)
        --m_curSel;
    // A borrowed item comes home first, so that it dies as the combo's.
    if (m_loan) m_loan->Recall(control);
    if (!CContainerUI::Remove(control)) return false;
    RenumberFrom(index);
    Invalidate();
    return true;
}

bool CComboUI::RemoveAt(int index)
{
    CControlUI* control = GetItemAt(index);
    return control ? Remove(control) : false;
}

void CComboUI::RemoveAll()
{
    m_curSel = -1;
    if (m_loan)
        while (CControlUI* item = GetItemAt(0)) m_loan->Recall(item);
    CContainerUI::RemoveAll();
}

bool CComboUI::SelectItem(int index, bool takeFocus)
{
    // 1. A pick closes the popup, unless a key or the wheel is stepping.
    if (m_closeOnSelect && m_popup) m_popup->Close(0);
    // 2.
    if (index == m_curSel) return true;
    // 3. The old selection goes first.
    const int previous = m_curSel;
    if (m_curSel >= 0) {
        CControlUI* old = GetItemAt(m_curSel);
        m_curSel = -1;
        if (!old) return false;
        if (IListItemUI* item = AsListItem(old)) item->Select(false);
    }
    // 4.
    if (index < 0 || GetCount() == 0) return false;
    if (index >= GetCount()) index = GetCount() - 1;
    // 5. Only a visible, enabled list item can be chosen.
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = AsListItem(control);
    if (!item || !control->IsVisible() || !control->IsEnabled()) return false;
    // 6.
    m_curSel = index;
    if (m_popup || takeFocus) control->SetFocus();
    item->Select(true);
    // 7.
    SendNotify(L"itemselect", static_cast<WPARAM>(m_curSel), static_cast<LPARAM>(previous));
    Invalidate();
    return true;
}

void CComboUI::StepSelection(int index)
{
    m_closeOnSelect = false;
    SelectItem(index);
    m_closeOnSelect = true;
}

// Events ---------------------------------------------------------------------------

void CComboUI::OnEvent(ControlEvent& event)
{
    if (LetMouseThrough(event, [&] { CContainerUI::OnEvent(event); })) return;
    switch (event.type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        CControlUI::OnEvent(event);
        return;
    case UIEVENT_BUTTONDOWN:
        if (IsEnabled()) {
            Activate();
            m_state |= kCaptured | kPushed;
        }
        return;
    case UIEVENT_BUTTONUP:
        if (m_state & kCaptured) {
            // Pushed stays until the popup is gone.
            m_state &= ~kCaptured;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        return;
    case UIEVENT_KEYDOWN:
        switch (event.key) {
        case VK_PRIOR:
        case VK_UP:
            StepSelection(NextSelectableItem(m_curSel - 1, false));
            return;
        case VK_NEXT:
        case VK_DOWN:
            StepSelection(NextSelectableItem(m_curSel + 1, true));
            return;
        case VK_END:
            StepSelection(NextSelectableItem(GetCount() - 1, true));
            return;
        case VK_HOME:
            StepSelection(NextSelectableItem(0, false));
            return;
        case VK_F4:
            Activate();
            return;
        default:
            break;
        }
        break;
    case UIEVENT_SCROLLWHEEL:
        if (m_wheelSelect) {
            if (LOWORD(event.wParam) == SB_LINEDOWN)
                StepSelection(NextSelectableItem(m_curSel + 1, true));
            else
                StepSelection(NextSelectableItem(m_curSel - 1, false));
        }
        return;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEENTER:
        if (PtInRect(&m_pos, event.mousePoint)) {
            m_state |= kHot;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (m_state & kHot) {
            m_state &= ~kHot;
            Invalidate();
        }
        return;
    default:
        break;
    }
    CControlUI::OnEvent(event);
}

// Attributes --------------------------------------------------------------------------

void CComboUI::SetTextPadding(const RECT& padding)
{
    m_textPadding = padding;
    Invalidate();
}

void CComboUI::SetShowText(bool show)
{
    m_showText = show;
    Invalidate();
}

void CComboUI::SetTipText(const std::wstring& text)
{
    if (text == m_tipText) return;
    m_tipText = text;
    Invalidate();
}

void CComboUI::SetStateImage(ImageDescriptor& descriptor, const std::wstring& text)
{
    control_images::Replace(descriptor, text);
    Invalidate();
}

void CComboUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (m_itemStyle.SetAttribute(name, value)) return;
    using Table = std::unordered_map<std::wstring, void (*)(CComboUI&, const std::wstring&)>;
    static const Table table = {
        {L"textpadding",
         [](CComboUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetTextPadding(RECT{q.a, q.b, q.c, q.d});
         }},
        {L"showtext", [](CComboUI& c, const std::wstring& v) { c.SetShowText(ParseBool(v)); }},
        {L"normalimage", [](CComboUI& c, const std::wstring& v) { c.SetStateImage(c.m_normalImage, v); }},
        {L"hotimage", [](CComboUI& c, const std::wstring& v) { c.SetStateImage(c.m_hotImage, v); }},
        {L"pushedimage", [](CComboUI& c, const std::wstring& v) { c.SetStateImage(c.m_pushedImage, v); }},
        {L"focusedimage", [](CComboUI& c, const std::wstring& v) { c.SetStateImage(c.m_focusedImage, v); }},
        {L"disabledimage", [](CComboUI& c, const std::wstring& v) { c.SetStateImage(c.m_disabledImage, v); }},
        {L"dropbox", [](CComboUI& c, const std::wstring& v) { c.m_dropBoxAttributes = v; }},
        {L"dropboxsize",
         [](CComboUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetDropBoxSize(q.a, q.b);
         }},
        {L"tiptext", [](CComboUI& c, const std::wstring& v) { c.SetTipText(v); }},
        {L"tiptextcolor", [](CComboUI& c, const std::wstring& v) { c.m_tipTextColor = ParseColor(v, false); }},
        {L"font", [](CComboUI& c, const std::wstring& v) { c.m_font = ParseInt(v); }},
        {L"textcolor", [](CComboUI& c, const std::wstring& v) { c.m_textColor = ParseColor(v, false); }},
        {L"align",
         [](CComboUI& c, const std::wstring& v) { c.m_textStyle = ApplyHorizontalAlign(c.m_textStyle, v); }},
    };
    auto it = table.find(name);
    if (it != table.end())
        it->second(*this, value);
    else
        CContainerUI::SetAttribute(name, value);
}

SIZE CComboUI::MeasureSize(SIZE)
{
    if (m_fixedHeight != 0 || !m_manager) return SIZE{m_fixedWidth, m_fixedHeight};
    return SIZE{m_fixedWidth, m_manager->DefaultFontEntry()->metrics.tmHeight + 12};
}

// Painting ---------------------------------------------------------------------------------

void CComboUI::PaintStateImage(HDC dc)
{
    FollowFocusAndEnabled(m_state, kFocused, kDisabled);
    ImageDescriptor* chosen = nullptr;
    if (m_state & kDisabled)
        chosen = &m_disabledImage;
    else if (m_state & kPushed)
        chosen = &m_pushedImage;
    else if (m_state & kHot)
        chosen = &m_hotImage;
    else if (m_state & kFocused)
        chosen = &m_focusedImage;
    control_images::DrawStateOrNormal(dc, m_manager, m_pos, m_paintRect, chosen, m_normalImage);
}

void CComboUI::PaintText(HDC dc)
{
    if (!m_showText || !m_manager) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultTextColor();
    if (m_tipTextColor == 0) m_tipTextColor = m_manager->GetDefaultTextColor();
    RECT rc = InsetBy(m_pos, m_textPadding);
    const bool none = m_curSel < 0;
    const std::wstring text = none ? m_tipText : GetText();
    if (text.empty()) return;
    CDrawKit::DrawPlainText(dc, m_manager, rc, text, none ? m_tipTextColor : m_textColor, m_font,
                            m_textStyle | DT_SINGLELINE);
}
