#include "ui/controls/ProgressUI.h"

#include <climits>

#include "ui/core/ValueSyntax.h"
#include "ui/controls/ControlImages.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

CProgressUI::CProgressUI()
{
    m_textStyle = DT_CENTER | DT_SINGLELINE;
    SetFixedHeight(12);
}

CProgressUI::~CProgressUI() = default;

const wchar_t* CProgressUI::GetClassName() const { return L"ProgressUI"; }

void* CProgressUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Progress") return this;
    return CLabelUI::GetInterfaceByName(name);
}

void CProgressUI::ReleaseImages()
{
    CLabelUI::ReleaseImages();
    m_progressForeImage.GiveBack();
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (horizontal == m_horizontal) return;
    m_horizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int value)
{
    m_min = value;
    Invalidate();
}

void CProgressUI::SetMaxValue(int value)
{
    m_max = value;
    Invalidate();
}

void CProgressUI::SetValue(int value)
{
    // Clamped when painted, so a value may arrive before its range. A drag
    // over the slider sets the same value on most mouse moves.
    if (value == m_value) return;
    m_value = value;
    Invalidate();
}

void CProgressUI::SetStretchForeImage(bool stretch)
{
    if (stretch == m_stretchFore) return;
    m_stretchFore = stretch;
    Invalidate();
}

void CProgressUI::SetProgressForeImage(const std::wstring& descriptor)
{
    control_images::Replace(m_progressForeImage, descriptor);
    Invalidate();
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    if (name == L"foreimage") return SetProgressForeImage(value);
    if (name == L"hor") return SetHorizontal(ParseBool(value));
    if (name == L"min") return SetMinValue(ParseInt(value));
    if (name == L"max") return SetMaxValue(ParseInt(value));
    if (name == L"value") return SetValue(ParseInt(value));
    if (name == L"isstretchfore") return SetStretchForeImage(ParseBool(value));
    CLabelUI::SetAttribute(name, value);
}

void CProgressUI::RepairRange()
{
    if (m_min == INT_MAX) m_min = INT_MAX - 1;
    if (m_min >= m_max) m_max = m_min + 1;
    if (m_value > m_max) m_value = m_max;
    if (m_value < m_min) m_value = m_min;
}

RECT CProgressUI::FilledRect(int width, int height, bool horizontal, int min, int max, int value)
{
    // The product first, then the division, truncating toward zero; in 64
    // bits, because a wide range times a wide control overflows 32.
    const long long span = static_cast<long long>(max) - min;
    if (horizontal) {
        const long long right = static_cast<long long>(width) * (static_cast<long long>(value) - min) / span;
        return RECT{0, 0, static_cast<LONG>(right), height};
    }
    const long long top = static_cast<long long>(height) * (static_cast<long long>(max) - value) / span;
    return RECT{0, static_cast<LONG>(top), width, height};
}

void CProgressUI::PaintStateImage(HDC dc)
{
    // 1. and 2.
    RepairRange();
    // 3.
    const RECT filled = FilledRect(m_pos.right - m_pos.left, m_pos.bottom - m_pos.top, m_horizontal, m_min, m_max,
                                   m_value);
    // 4. The descriptor is parsed before the filled part is set, so that
    //    every paint, the first included, draws the part computed here.
    if (!control_images::Prepare(dc, m_manager, m_progressForeImage)) return;
    if (filled.right <= filled.left || filled.bottom <= filled.top) return;
    DescriptorFields& f = m_progressForeImage.fields;
    f.dest = DescriptorRect{filled.left, filled.top, filled.right, filled.bottom};
    if (m_stretchFore) f.source = f.dest;
    // 5.
    control_images::Draw(dc, m_manager, m_pos, m_paintRect, m_progressForeImage);
}
