#include "ui/controls/ListLabelElementUI.h"

#include "ui/controls/ListItemStyle.h"
#include "ui/core/WindowManagerUI.h"

const wchar_t* CListLabelElementUI::GetClassName() const { return L"ListLabelElementUI"; }

void* CListLabelElementUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"ListLabelElement") return static_cast<CListLabelElementUI*>(this);
    return CListElementUI::GetInterfaceByName(name);
}

void CListLabelElementUI::OnEvent(ControlEvent& event)
{
    const bool mouseEvent = event.type >= UIEVENT_MOUSEMOVE && event.type <= UIEVENT_SCROLLWHEEL;
    if (!IsMouseEnabled() && mouseEvent) {
        if (m_owner)
            m_owner->OwnerEvent(event);
        else
            CListElementUI::OnEvent(event);
        return;
    }
    switch (event.type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        if (IsEnabled()) {
            SendNotify(L"itemclick");
            Select(true);
            SendNotify(L"itemclicked");
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled()) {
            m_state |= kHot;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSELEAVE:
        if (IsHot()) {
            m_state &= ~kHot;
            Invalidate();
        }
        return;
    default:
        CListElementUI::OnEvent(event);
    }
}

SIZE CListLabelElementUI::MeasureSize(SIZE)
{
    ListItemStyle* style = Style();
    if (!style) return SIZE{0, 0};
    SIZE size{m_fixedWidth, m_fixedHeight};
    if (size.cy == 0 && m_manager)
        size.cy = m_manager->FontEntryById(style->font)->metrics.tmHeight + style->textPadding.top +
                  style->textPadding.bottom + 8;
    if (size.cx == 0) {
        size.cx = style->textPadding.left + style->textPadding.right;
        if (m_manager && m_manager->GetWindowDC() && !m_text.empty()) {
            RECT measured{0, 0, 9999, 100};
            const UINT format = (style->textStyle & ~(DT_LEFT | DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) |
                                DT_CALCRECT | DT_SINGLELINE;
            CDrawKit::DrawPlainText(m_manager->GetWindowDC(), m_manager, measured, m_text, 0, style->font, format);
            size.cx += measured.right - measured.left;
        }
    }
    return size;
}

void CListLabelElementUI::Paint(HDC dc, const RECT& paint)
{
    if (!IntersectRect(&m_paintRect, &paint, &m_pos)) return;
    DrawItemBk(dc, m_pos);
    DrawItemText(dc, m_pos);
}

void CListLabelElementUI::DrawItemText(HDC dc, const RECT& rect)
{
    ListItemStyle* style = Style();
    if (!style || m_text.empty()) return;
    DWORD colour = style->textColor;
    if (m_selected) colour = style->selectedTextColor;
    if (IsHot()) colour = style->hotTextColor;
    if (!IsEnabled()) colour = style->disabledTextColor;
    RECT r = InsetBy(rect, style->textPadding);
    const UINT format = style->textStyle | DT_SINGLELINE;
    if (style->showHtml) {
        int links = 0;
        CDrawKit::DrawMarkupText(dc, m_manager, r, m_text, colour, nullptr, nullptr, links, format);
    } else {
        CDrawKit::DrawPlainText(dc, m_manager, r, m_text, colour, style->font, format);
    }
}
