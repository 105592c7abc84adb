#include "ui/controls/LabelUI.h"

#include <gdiplus.h>

#include <cmath>
#include <memory>
#include <exception>
#include <unordered_map>
#include <vector>

#include "ui/core/ValueSyntax.h"
#include "ui/core/GdiObjects.h"
#include "ui/core/WindowManagerUI.h"

using namespace value_syntax;

namespace {

// What SetText throws. It carries its fixed text without a string of its
// own: the library's error classes would bring their whole reference-counted
// string implementation into setup.exe for this one message.
class LabelTextError : public std::exception {
public:
    const char* what() const noexcept override { return "CLabelUI::SetText"; }
};

}  // namespace

CLabelUI::CGdiplusToken::CGdiplusToken()
{
    Gdiplus::GdiplusStartupInput input;
    m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
}

CLabelUI::CGdiplusToken::~CGdiplusToken()
{
    if (m_ok) Gdiplus::GdiplusShutdown(m_token);
}

CLabelUI::CLabelUI() = default;
CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::GetClassName() const { return L"LabelUI"; }

void* CLabelUI::GetInterfaceByName(const std::wstring& name)
{
    if (name == L"Label") return this;
    return CControlUI::GetInterfaceByName(name);
}

std::wstring CLabelUI::GetText() const { return ShownText(); }

void CLabelUI::SetText(const std::wstring& text)
{
    // Callers get one recognisable failure whatever went wrong inside.
    try {
        if (!m_effect.enabled) {
            CControlUI::SetText(text);
            return;
        }
        if (text == m_effectText) return;
        m_effectText = text;
        Invalidate();
    } catch (...) {
        throw LabelTextError();
    }
}

void CLabelUI::OnEvent(ControlEvent& event)
{
    // A label shows no focus, so gaining or losing it costs no repaint.
    if (event.type == UIEVENT_SETFOCUS) {
        m_focused = true;
        return;
    }
    if (event.type == UIEVENT_KILLFOCUS) {
        m_focused = false;
        return;
    }
    CControlUI::OnEvent(event);
}

// Setters ------------------------------------------------------------------------

void CLabelUI::SetTextColor(DWORD colour)
{
    m_textColor = colour;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD colour)
{
    m_disabledTextColor = colour;
    Invalidate();
}

void CLabelUI::SetFont(int id)
{
    m_font = id;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT style)
{
    if (style == m_textStyle) return;
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding)
{
    m_textPadding = padding;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show)
{
    if (show == m_showHtml) return;
    m_showHtml = show;
    Invalidate();
}

void CLabelUI::SetEnabledEffect(bool enabled)
{
    if (enabled == m_effect.enabled) return;
    // The text shown so far stays the text shown.
    if (enabled) m_effectText = m_text;
    m_effect.enabled = enabled;
    Invalidate();
}

void CLabelUI::SetTextRenderingHint(int hint)
{
    m_effect.renderingHint = (hint >= 0 && hint <= 5) ? hint : 0;
    Invalidate();
}

void CLabelUI::SetTextColor1(DWORD colour)
{
    m_effect.textColor1 = colour;
    Invalidate();
}

void CLabelUI::SetTransText(int alpha, int alpha1)
{
    m_effect.transText = alpha;
    m_effect.transText1 = alpha1;
    Invalidate();
}

void CLabelUI::SetGradientAngle(int angle)
{
    m_effect.gradientAngle = angle;
    Invalidate();
}

void CLabelUI::SetGradientLength(int length)
{
    m_effect.gradientLength = length;
    Invalidate();
}

void CLabelUI::SetEnabledStroke(bool enabled)
{
    m_effect.strokeEnabled = enabled;
    Invalidate();
}

void CLabelUI::SetStrokeColor(DWORD colour)
{
    m_effect.strokeColor = colour;
    Invalidate();
}

void CLabelUI::SetTransStroke(int alpha)
{
    m_effect.transStroke = alpha;
    Invalidate();
}

void CLabelUI::SetEnabledShadow(bool enabled)
{
    m_effect.shadowEnabled = enabled;
    Invalidate();
}

void CLabelUI::SetTextShadowColors(DWORD first, DWORD second)
{
    m_effect.shadowColorA = first;
    m_effect.shadowColorB = second;
    Invalidate();
}

void CLabelUI::SetTransShadow(int alpha, int alpha1)
{
    m_effect.transShadow = alpha;
    m_effect.transShadow1 = alpha1;
    Invalidate();
}

void CLabelUI::SetShadowOffset(int offset, int angle)
{
    m_effect.shadowOffset = offset;
    m_effect.shadowAngle = angle;
    Invalidate();
}

// Attributes ---------------------------------------------------------------------

namespace {

// The words of align and valign are searched as substrings, in order, and
// each one found applies, so "vcenter" in align also means "center".
UINT ApplyAlign(UINT style, const std::wstring& v)
{
    if (v.find(L"left") != std::wstring::npos) style &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
    if (v.find(L"center") != std::wstring::npos) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (v.find(L"right") != std::wstring::npos) style = (style & ~(DT_CENTER | DT_SINGLELINE)) | DT_RIGHT;
    return style;
}

UINT ApplyVAlign(UINT style, const std::wstring& v)
{
    if (v.find(L"top") != std::wstring::npos) style = (style & ~(DT_BOTTOM | DT_VCENTER)) | DT_SINGLELINE;
    if (v.find(L"vcenter") != std::wstring::npos) style = (style & ~DT_BOTTOM) | DT_VCENTER | DT_SINGLELINE;
    if (v.find(L"bottom") != std::wstring::npos) style = (style & ~DT_VCENTER) | DT_BOTTOM | DT_SINGLELINE;
    return style;
}

// Colours of the labels skip one "#" but no blanks.
DWORD Colour(const std::wstring& v) { return ParseColor(v, false); }

using Setter = void (*)(CLabelUI&, const std::wstring&);

const std::unordered_map<std::wstring, Setter>& LabelAttributes()
{
    static const std::unordered_map<std::wstring, Setter> table = {
        {L"align", [](CLabelUI& c, const std::wstring& v) { c.SetTextStyle(ApplyAlign(c.GetTextStyle(), v)); }},
        {L"valign", [](CLabelUI& c, const std::wstring& v) { c.SetTextStyle(ApplyVAlign(c.GetTextStyle(), v)); }},
        {L"endellipsis",
         [](CLabelUI& c, const std::wstring& v) {
             const UINT s = c.GetTextStyle();
             c.SetTextStyle(ParseBool(v) ? (s | DT_END_ELLIPSIS) : (s & ~DT_END_ELLIPSIS));
         }},
        {L"font", [](CLabelUI& c, const std::wstring& v) { c.SetFont(ParseInt(v)); }},
        {L"textcolor", [](CLabelUI& c, const std::wstring& v) { c.SetTextColor(Colour(v)); }},
        {L"disabledtextcolor", [](CLabelUI& c, const std::wstring& v) { c.SetDisabledTextColor(Colour(v)); }},
        {L"textpadding",
         [](CLabelUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetTextPadding(RECT{q.a, q.b, q.c, q.d});
         }},
        {L"showhtml", [](CLabelUI& c, const std::wstring& v) { c.SetShowHtml(ParseBool(v)); }},
        {L"enabledeffect", [](CLabelUI& c, const std::wstring& v) { c.SetEnabledEffect(ParseBool(v)); }},
        {L"rhaa", [](CLabelUI& c, const std::wstring& v) { c.SetTextRenderingHint(ParseInt(v)); }},
        {L"gradientangle", [](CLabelUI& c, const std::wstring& v) { c.SetGradientAngle(ParseInt(v)); }},
        {L"gradientlength", [](CLabelUI& c, const std::wstring& v) { c.SetGradientLength(ParseInt(v)); }},
        {L"enabledstroke", [](CLabelUI& c, const std::wstring& v) { c.SetEnabledStroke(ParseBool(v)); }},
        {L"enabledshadow", [](CLabelUI& c, const std::wstring& v) { c.SetEnabledShadow(ParseBool(v)); }},
        {L"transstroke", [](CLabelUI& c, const std::wstring& v) { c.SetTransStroke(ParseInt(v)); }},
        {L"textcolor1", [](CLabelUI& c, const std::wstring& v) { c.SetTextColor1(Colour(v)); }},
        {L"strokecolor", [](CLabelUI& c, const std::wstring& v) { c.SetStrokeColor(Colour(v)); }},
        {L"shadowoffset",
         [](CLabelUI& c, const std::wstring& v) {
             IntQuad q = ParseIntList(v);
             c.SetShadowOffset(q.a, q.b);
         }},
    };
    return table;
}

}  // namespace

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value)
{
    // The effect settings that come in pairs keep their partner.
    if (name == L"transtext") return SetTransText(ParseInt(value), m_effect.transText1);
    if (name == L"transtext1") return SetTransText(m_effect.transText, ParseInt(value));
    if (name == L"transshadow") return SetTransShadow(ParseInt(value), m_effect.transShadow1);
    if (name == L"transshadow1") return SetTransShadow(m_effect.transShadow, ParseInt(value));
    if (name == L"textshadowcolora") return SetTextShadowColors(Colour(value), m_effect.shadowColorB);
    if (name == L"textshadowcolorb") return SetTextShadowColors(m_effect.shadowColorA, Colour(value));
    const auto& table = LabelAttributes();
    auto it = table.find(name);
    if (it != table.end()) {
        it->second(*this, value);
        return;
    }
    CControlUI::SetAttribute(name, value);
}

// Size and painting -----------------------------------------------------------------

int CLabelUI::FontHeight() const
{
    if (m_manager) return m_manager->FontEntryById(m_font)->metrics.tmHeight;
    CScreenDC screen;
    TEXTMETRICW tm{};
    if (screen.Get()) {
        CSelectScope select(screen.Get(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetricsW(screen.Get(), &tm);
    }
    return tm.tmHeight;
}

SIZE CLabelUI::MeasureSize(SIZE)
{
    if (m_fixedHeight != 0) return SIZE{m_fixedWidth, m_fixedHeight};
    return SIZE{m_fixedWidth, FontHeight() + 4};
}

void CLabelUI::TakeDefaultColours()
{
    if (!m_manager) return;
    if (m_textColor == 0) m_textColor = m_manager->GetDefaultTextColor();
    if (m_disabledTextColor == 0) m_disabledTextColor = m_manager->GetDefaultDisabledColor();
}

void CLabelUI::PaintText(HDC dc)
{
    // 1. Unset colours become the manager's defaults.
    TakeDefaultColours();
    // 2.
    const std::wstring& text = ShownText();
    if (text.empty()) return;
    // 3.
    RECT rect = TextRect();
    // 4.
    const DWORD colour = IsEnabled() ? m_textColor : m_disabledTextColor;
    if (m_effect.enabled) {
        DrawEffectText(dc, rect, colour);
        return;
    }
    // 5. A label never wraps.
    DrawLabelText(dc, rect, text, colour, m_textStyle | DT_SINGLELINE);
}

void CLabelUI::DrawLabelText(HDC dc, RECT rect, const std::wstring& text, DWORD colour, UINT style)
{
    if (m_showHtml) {
        int links = 0;
        CDrawKit::DrawMarkupText(dc, m_manager, rect, text, colour, nullptr, nullptr, links, style);
    } else {
        CDrawKit::DrawPlainText(dc, m_manager, rect, text, colour, m_font, style);
    }
}

namespace {

// GDI+ finds faces by their family name and knows nothing of the font
// replacements and aliases that GDI applies (a skin's face may be one), so
// the font is made from the family that GDI actually selected for the
// handle, at its em height; the handle itself is the fallback.
std::unique_ptr<Gdiplus::Font> EffectFont(HDC dc, HFONT font)
{
    CSelectScope select(dc, font);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (size >= sizeof(OUTLINETEXTMETRICW)) {
        std::vector<BYTE> buffer(size);
        auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(buffer.data());
        const bool read = GetOutlineTextMetricsW(dc, size, otm) != 0;
        // The name's place is given as an offset from the start of the record.
        const UINT_PTR offset = reinterpret_cast<UINT_PTR>(otm->otmpFamilyName);
        if (read && offset > 0 && offset < size) {
            buffer.back() = 0;
            const wchar_t* family = reinterpret_cast<const wchar_t*>(buffer.data() + offset);
            Gdiplus::FontFamily fontFamily(family);
            const TEXTMETRICW& tm = otm->otmTextMetrics;
            const Gdiplus::REAL em = static_cast<Gdiplus::REAL>(tm.tmHeight - tm.tmInternalLeading);
            INT style = Gdiplus::FontStyleRegular;
            if (tm.tmWeight >= FW_BOLD) style |= Gdiplus::FontStyleBold;
            if (tm.tmItalic) style |= Gdiplus::FontStyleItalic;
            if (tm.tmUnderlined) style |= Gdiplus::FontStyleUnderline;
            if (fontFamily.GetLastStatus() == Gdiplus::Ok && em > 0) {
                auto made = std::make_unique<Gdiplus::Font>(&fontFamily, em, style, Gdiplus::UnitPixel);
                if (made->GetLastStatus() == Gdiplus::Ok) return made;
            }
        }
    }
    return std::make_unique<Gdiplus::Font>(dc, font);
}

Gdiplus::Color WithAlpha(DWORD colour, int alpha)
{
    const BYTE a = static_cast<BYTE>(std::max(0, std::min(255, alpha)));
    return Gdiplus::Color(a, (colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

}  // namespace

void CLabelUI::DrawEffectText(HDC dc, const RECT& rect, DWORD colour)
{
    if (!m_gdiplus.Ok() || IsRectEmpty(&rect)) return;
    HFONT hfont = m_manager ? m_manager->FontById(m_font) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = CWindowManagerUI::ReplaceLanguageTokens(ShownText());

    std::unique_ptr<Gdiplus::Font> font = EffectFont(dc, hfont);
    if (font->GetLastStatus() != Gdiplus::Ok) return;
    Gdiplus::Graphics graphics(dc);
    graphics.SetTextRenderingHint(static_cast<Gdiplus::TextRenderingHint>(m_effect.renderingHint));

    Gdiplus::StringFormat format;
    if (m_textStyle & DT_CENTER) format.SetAlignment(Gdiplus::StringAlignmentCenter);
    else if (m_textStyle & DT_RIGHT) format.SetAlignment(Gdiplus::StringAlignmentFar);
    else format.SetAlignment(Gdiplus::StringAlignmentNear);
    if (m_textStyle & DT_VCENTER) format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    else if (m_textStyle & DT_BOTTOM) format.SetLineAlignment(Gdiplus::StringAlignmentFar);
    else format.SetLineAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    if (m_textStyle & DT_END_ELLIPSIS) format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);

    const Gdiplus::REAL left = static_cast<Gdiplus::REAL>(rect.left);
    const Gdiplus::REAL top = static_cast<Gdiplus::REAL>(rect.top);
    const Gdiplus::REAL width = static_cast<Gdiplus::REAL>(rect.right - rect.left);
    const Gdiplus::REAL height = static_cast<Gdiplus::REAL>(rect.bottom - rect.top);
    const int count = static_cast<int>(text.size());
    auto drawAt = [&](Gdiplus::REAL dx, Gdiplus::REAL dy, const Gdiplus::Brush& brush) {
        Gdiplus::RectF layout(left + dx, top + dy, width, height);
        graphics.DrawString(text.c_str(), count, font.get(), layout, &format, &brush);
    };
    // The gradients run over the given length along the angle; 0 is the
    // height of the text rectangle.
    const Gdiplus::REAL length =
        m_effect.gradientLength > 0 ? static_cast<Gdiplus::REAL>(m_effect.gradientLength) : std::max<Gdiplus::REAL>(height, 1);
    const Gdiplus::RectF gradientBox(left, top, length, length);
    const Gdiplus::REAL angle = static_cast<Gdiplus::REAL>(m_effect.gradientAngle);

    // Shadow, behind everything else.
    if (m_effect.shadowEnabled && m_effect.shadowColorA != 0) {
        const DWORD second = m_effect.shadowColorB == static_cast<DWORD>(-1) ? m_effect.shadowColorA : m_effect.shadowColorB;
        Gdiplus::LinearGradientBrush shadow(gradientBox, WithAlpha(m_effect.shadowColorA, m_effect.transShadow),
                                            WithAlpha(second, m_effect.transShadow1), angle, TRUE);
        // The angle picks the direction of the offset; outside -180..180
        // the offset applies to both axes as it is.
        Gdiplus::REAL dx = static_cast<Gdiplus::REAL>(m_effect.shadowOffset);
        Gdiplus::REAL dy = dx;
        if (m_effect.shadowAngle >= -180 && m_effect.shadowAngle <= 180) {
            const double radians = m_effect.shadowAngle * 3.14159265358979323846 / 180.0;
            dx = static_cast<Gdiplus::REAL>(std::lround(m_effect.shadowOffset * std::cos(radians)));
            dy = static_cast<Gdiplus::REAL>(std::lround(m_effect.shadowOffset * std::sin(radians)));
        }
        drawAt(dx, dy, shadow);
    }
    // Stroke: the text one pixel away in each direction.
    if (m_effect.strokeEnabled && m_effect.strokeColor != 0) {
        Gdiplus::SolidBrush stroke(WithAlpha(m_effect.strokeColor, m_effect.transStroke));
        drawAt(-1, 0, stroke);
        drawAt(1, 0, stroke);
        drawAt(0, -1, stroke);
        drawAt(0, 1, stroke);
    }
    // The text itself, filled with the gradient.
    const DWORD second = (!IsEnabled() || m_effect.textColor1 == static_cast<DWORD>(-1)) ? colour : m_effect.textColor1;
    Gdiplus::LinearGradientBrush fill(gradientBox, WithAlpha(colour, m_effect.transText),
                                      WithAlpha(second, m_effect.transText1), angle, TRUE);
    drawAt(0, 0, fill);
}
