#pragma once

// A label that can be pressed: hot, pushed, captured, focused and disabled
// states with an image and colours for each, and a "click" when the left
// button is pressed and released inside it, or space or Enter is pressed
// while it has the focus. UI thread only.

#include "ui/controls/LabelUI.h"

// The state bits of buttons and options.
enum : UINT {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    ~CButtonUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    bool Activate() override;
    void SetEnabled(bool enabled) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE MeasureSize(SIZE available) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void ReleaseImages() override;

    UINT GetButtonState() const { return m_buttonState; }

    const std::wstring& GetNormalImage() const { return m_normalImage.text; }
    void SetNormalImage(const std::wstring& descriptor);
    void SetHotImage(const std::wstring& descriptor);
    void SetHotForeImage(const std::wstring& descriptor);
    void SetPushedImage(const std::wstring& descriptor);
    void SetPushedForeImage(const std::wstring& descriptor);
    void SetFocusedImage(const std::wstring& descriptor);
    void SetDisabledImage(const std::wstring& descriptor);

    // State colours: 0 means not set. Setting one costs no repaint.
    void SetHotBkColor(DWORD colour) { m_hotBkColor = colour; }
    void SetPushedBkColor(DWORD colour) { m_pushedBkColor = colour; }
    void SetFocusedBkColor(DWORD colour) { m_focusedBkColor = colour; }
    void SetDisabledBkColor(DWORD colour) { m_disabledBkColor = colour; }
    void SetHotTextColor(DWORD colour) { m_hotTextColor = colour; }
    void SetPushedTextColor(DWORD colour) { m_pushedTextColor = colour; }
    void SetFocusedTextColor(DWORD colour) { m_focusedTextColor = colour; }

protected:
    // Focused and disabled follow the control at every paint.
    void RefreshStateBits() { FollowFocusAndEnabled(m_buttonState, UISTATE_FOCUSED, UISTATE_DISABLED); }
    bool DrawImage(HDC dc, ImageDescriptor& descriptor);
    void FillState(HDC dc, DWORD colour);
    void SetImage(ImageDescriptor& descriptor, const std::wstring& text);

    UINT m_buttonState = 0;
    DWORD m_hotBkColor = 0;
    DWORD m_pushedBkColor = 0;
    DWORD m_focusedBkColor = 0;
    DWORD m_disabledBkColor = 0;
    DWORD m_hotTextColor = 0;
    DWORD m_pushedTextColor = 0;
    DWORD m_focusedTextColor = 0;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_hotForeImage;
    ImageDescriptor m_pushedImage;
    ImageDescriptor m_pushedForeImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
};
