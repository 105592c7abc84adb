#pragma once

// One line of text inside the control's rectangle, in a font of the
// manager's table, with optional inline markup and, when effects are
// enabled, GDI+ text with a gradient fill, a stroke and a shadow.
// UI thread only.

#include <windows.h>

#include <string>

#include "ui/controls/ControlUI.h"

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE MeasureSize(SIZE available) override;
    void PaintText(HDC dc) override;

    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD colour);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD colour);
    int GetFont() const { return m_font; }
    void SetFont(int id);
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(UINT style);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(const RECT& padding);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool show);

    // Text effects. -1 for the second gradient colour and the second shadow
    // colour means "the same as the first".
    bool IsEnabledEffect() const { return m_effect.enabled; }
    void SetEnabledEffect(bool enabled);
    void SetTextRenderingHint(int hint);
    void SetTextColor1(DWORD colour);
    void SetTransText(int alpha, int alpha1);
    void SetGradientAngle(int angle);
    void SetGradientLength(int length);
    void SetEnabledStroke(bool enabled);
    void SetStrokeColor(DWORD colour);
    void SetTransStroke(int alpha);
    void SetEnabledShadow(bool enabled);
    void SetTextShadowColors(DWORD first, DWORD second);
    void SetTransShadow(int alpha, int alpha1);
    void SetShadowOffset(int offset, int angle);

protected:
    // What GetText answers, without the copy: the text controls read it on
    // every paint and every measure.
    const std::wstring& ShownText() const { return m_effect.enabled ? m_effectText : m_text; }
    // The colours left at 0 take the manager's defaults, for good.
    void TakeDefaultColours();
    // The label's font height, from the manager's table or the stock font.
    int FontHeight() const;
    // The control's rectangle inside the text padding.
    RECT TextRect() const { return InsetBy(m_pos, m_textPadding); }
    // GDI drawing of the text, marked up or plain as the label says.
    void DrawLabelText(HDC dc, RECT rect, const std::wstring& text, DWORD colour, UINT style);
    // GDI+ drawing of the text with the effect settings.
    void DrawEffectText(HDC dc, const RECT& rect, DWORD colour);

    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    int m_font = -1;
    UINT m_textStyle = DT_VCENTER;
    RECT m_textPadding{0, 0, 0, 0};
    bool m_showHtml = false;

    struct EffectSettings {
        bool enabled = false;
        int renderingHint = 0;
        DWORD textColor1 = static_cast<DWORD>(-1);
        int transText = 168;
        int transText1 = 168;
        int gradientAngle = 0;
        int gradientLength = 0;
        bool strokeEnabled = false;
        DWORD strokeColor = 0;
        int transStroke = 255;
        bool shadowEnabled = false;
        DWORD shadowColorA = 0xFF000000;
        DWORD shadowColorB = static_cast<DWORD>(-1);
        int transShadow = 60;
        int transShadow1 = 60;
        int shadowOffset = 0;
        int shadowAngle = 0;
    };
    EffectSettings m_effect;
    std::wstring m_effectText;

private:
    // GDI+ for the label's lifetime; start-up and shutdown nest, so every
    // label may hold its own token.
    class CGdiplusToken {
    public:
        CGdiplusToken();
        ~CGdiplusToken();
        CGdiplusToken(const CGdiplusToken&) = delete;
        CGdiplusToken& operator=(const CGdiplusToken&) = delete;
        bool Ok() const { return m_ok; }

    private:
        ULONG_PTR m_token = 0;
        bool m_ok = false;
    };
    CGdiplusToken m_gdiplus;
};
