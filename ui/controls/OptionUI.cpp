#include "ui/controls/OptionUI.h"

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ControlImages.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

namespace {

// Hides one state bit for the length of one call.
class CStateMask {
public:
    CStateMask(UINT& state, UINT bits) : m_state(state), m_saved(state) { m_state &= ~bits; }
    ~CStateMask() { m_state = (m_state & ~m_restoreBits) | (m_saved & m_restoreBits); }
    CStateMask(const CStateMask&) = delete;
    CStateMask& operator=(const CStateMask&) = delete;

private:
    static constexpr UINT m_restoreBits = UISTATE_PUSHED;
    UINT& m_state;
    UINT m_saved;
};

}  // namespace

COptionUI::COptionUI() = default;

COptionUI::~COptionUI()
{
    if (m_manager && !m_groupName.empty()) m_manager->LeaveOptionGroup(m_groupName, this);
}

void COptionUI::ReleaseImages()
{
    CButtonUI::ReleaseImages();
    m_selectedImage.GiveBack();
    m_selectedHotImage.GiveBack();
    m_optionForeImage.GiveBack();
}

const wchar_t* COptionUI::GetClassName() const { return L"OptionUI"; }

void* COptionUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Option") return this;
    return CButtonUI::GetInterfaceByName(name);
}

void COptionUI::SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init)
{
    // Groups are the manager's: leaving one manager leaves its group.
    if (m_manager && manager != m_manager && !m_groupName.empty())
        m_manager->LeaveOptionGroup(m_groupName, this);
    CButtonUI::SetManager(manager, parent, init);
    // Joining twice is refused by the manager, so this may run repeatedly.
    if (init && m_manager && !m_groupName.empty()) m_manager->JoinOptionGroup(m_groupName, this);
}

void COptionUI::DeselectOthers()
{
    if (!m_manager || m_groupName.empty()) return;
    const std::vector<CControlUI*>* group = m_manager->OptionGroup(m_groupName);
    if (!group) return;
    // Deselecting never changes the group, but a copy keeps that a detail.
    const std::vector<CControlUI*> members = *group;
    for (CControlUI* member : members) {
        if (member == this) continue;
        auto* option = static_cast<COptionUI*>(member->GetInterfaceByName(L"Option"));
        if (option) option->SetSelected(false);
    }
}

void COptionUI::SetGroup(const std::wstring& name)
{
    if (name == m_groupName) return;
    if (m_manager && !m_groupName.empty()) m_manager->LeaveOptionGroup(m_groupName, this);
    m_groupName = name;
    if (m_manager && !m_groupName.empty()) m_manager->JoinOptionGroup(m_groupName, this);
    // A selected option entering a group stays the only selected one there.
    if (m_selected) DeselectOthers();
    Invalidate();
}

void COptionUI::SetSelected(bool selected)
{
    if (selected == m_selected) return;
    m_selected = selected;
    if (selected)
        m_buttonState |= UISTATE_SELECTED;
    else
        m_buttonState &= ~UISTATE_SELECTED;
    if (m_manager) {
        if (m_groupName.empty()) {
            SendNotify(L"selectchanged");
        } else if (selected) {
            DeselectOthers();
            SendNotify(L"selectchanged");
        }
    }
    Invalidate();
}

bool COptionUI::Activate()
{
    if (!CButtonUI::Activate()) return false;
    if (!m_groupName.empty())
        SetSelected(true);
    else
        SetSelected(!m_selected);
    return true;
}

void COptionUI::SetEnabled(bool enabled)
{
    CButtonUI::SetEnabled(enabled);
    if (!IsEnabled()) m_buttonState = m_selected ? UINT{UISTATE_SELECTED} : 0u;
}

void COptionUI::SetSelectedImage(const std::wstring& d)
{
    control_images::Replace(m_selectedImage, d);
    Invalidate();
}

void COptionUI::SetSelectedHotImage(const std::wstring& d)
{
    control_images::Replace(m_selectedHotImage, d);
    Invalidate();
}

void COptionUI::SetOptionForeImage(const std::wstring& d)
{
    control_images::Replace(m_optionForeImage, d);
    Invalidate();
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (name == L"group") return SetGroup(value);
    if (name == L"selected") return SetSelected(ParseBool(value));
    if (name == L"selectedimage") return SetSelectedImage(value);
    if (name == L"selectedhotimage") return SetSelectedHotImage(value);
    if (name == L"foreimage") return SetOptionForeImage(value);
    if (name == L"selectedbkcolor") return SetSelectedBkColor(ParseColor(value, false));
    if (name == L"selectedtextcolor") return SetSelectedTextColor(ParseColor(value, false));
    CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintStateImage(HDC dc)
{
    // An option shows its selection, not the press that leads to it.
    auto buttonImage = [&]() {
        CStateMask mask(m_buttonState, UISTATE_PUSHED);
        CButtonUI::PaintStateImage(dc);
    };
    if (!m_selected) {
        buttonImage();
    } else if ((m_buttonState & UISTATE_HOT) && DrawImage(dc, m_selectedHotImage)) {
    } else if (DrawImage(dc, m_selectedImage)) {
    } else if (m_selectedBkColor != 0) {
        FillState(dc, m_selectedBkColor);
    } else {
        buttonImage();
    }
    DrawImage(dc, m_optionForeImage);
}

void COptionUI::PaintText(HDC dc)
{
    CStateMask mask(m_buttonState, UISTATE_PUSHED);
    if (!m_selected || m_selectedTextColor == 0) {
        CButtonUI::PaintText(dc);
        return;
    }
    // The selected colour stands in for the text colour for this paint only.
    TakeDefaultColours();
    const DWORD saved = m_textColor;
    m_textColor = m_selectedTextColor;
    CButtonUI::PaintText(dc);
    m_textColor = saved;
}
