#include "ui/controls/TextUI.h"

#include <algorithm>
#include <optional>

#include "ui/core/GdiObjects.h"
#include "ui/core/WindowManagerUI.h"

CTextUI::CTextUI() { m_textPadding = RECT{2, 0, 2, 0}; }
CTextUI::~CTextUI() = default;

const wchar_t* CTextUI::GetClassName() const { return L"TextUI"; }

void* CTextUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Text") return this;
    return CLabelUI::GetInterfaceByName(name);
}

UINT CTextUI::GetInputFlags() const { return (IsEnabled() && m_linkCount > 0) ? UINT{UIFLAG_SETCURSOR} : 0u; }

std::wstring CTextUI::GetLinkContent(int index) const
{
    if (index < 0 || index >= m_linkCount) return std::wstring();
    return m_linkTexts[index];
}

RECT CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= m_linkCount) return RECT{0, 0, 0, 0};
    return m_links[index];
}

void CTextUI::SetText(const std::wstring& text)
{
    CLabelUI::SetText(text);
    // The measured height depends on the text.
    RequestParentLayout();
}

int CTextUI::LinkAt(POINT point) const
{
    for (int i = 0; i < m_linkCount; ++i)
        if (PtInRect(&m_links[i], point)) return i;
    return -1;
}

void CTextUI::OnEvent(ControlEvent& event)
{
    if (LetMouseThrough(event, [&] { CLabelUI::OnEvent(event); })) return;
    switch (event.type) {
    case UIEVENT_SETCURSOR:
        if (LinkAt(event.mousePoint) >= 0) {
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && LinkAt(event.mousePoint) >= 0) {
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (IsEnabled()) {
            const int link = LinkAt(event.mousePoint);
            if (link >= 0) {
                SendNotify(L"link", static_cast<WPARAM>(link));
                return;
            }
        }
        break;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEMOVE:
        if (IsEnabled() && m_linkCount > 0) {
            const int link = LinkAt(event.mousePoint);
            if (link != m_hoverLink) {
                m_hoverLink = link;
                Invalidate();
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (m_hoverLink != -1) {
            m_hoverLink = -1;
            Invalidate();
        }
        break;
    default:
        break;
    }
    CLabelUI::OnEvent(event);
}

SIZE CTextUI::MeasureSize(SIZE available)
{
    const std::wstring& text = ShownText();
    RECT rect{m_textPadding.left, 0, std::max(m_fixedWidth, static_cast<int>(available.cx)) - m_textPadding.right,
              9999};
    // Layout measures every child twice; a screen DC is taken only when the
    // manager has none of its own.
    std::optional<CScreenDC> screen;
    HDC dc = m_manager ? m_manager->GetWindowDC() : nullptr;
    if (!dc) dc = screen.emplace().Get();
    if (m_showHtml) {
        int links = 0;
        CDrawKit::DrawMarkupText(dc, m_manager, rect, text, m_textColor, nullptr, nullptr, links,
                                 DT_CALCRECT | m_textStyle);
    } else {
        CDrawKit::DrawPlainText(dc, m_manager, rect, text, m_textColor, m_font,
                                DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | m_textStyle);
    }
    SIZE size{rect.right - rect.left + m_textPadding.left + m_textPadding.right,
              rect.bottom - rect.top + m_textPadding.top + m_textPadding.bottom};
    if (m_fixedHeight != 0) size.cy = m_fixedHeight;
    return size;
}

void CTextUI::PaintText(HDC dc)
{
    const std::wstring& text = ShownText();
    if (text.empty()) {
        m_linkCount = 0;
        return;
    }
    TakeDefaultColours();
    RECT rect = TextRect();
    const DWORD colour = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_showHtml) {
        m_linkCount = kMaxLinks;
        CDrawKit::DrawMarkupText(dc, m_manager, rect, text, colour, m_links, m_linkTexts, m_linkCount, m_textStyle);
    } else {
        // Plain text has no links; none are left over from marked-up text.
        m_linkCount = 0;
        CDrawKit::DrawPlainText(dc, m_manager, rect, text, colour, m_font,
                                m_textStyle | DT_WORDBREAK | DT_EDITCONTROL);
    }
}
