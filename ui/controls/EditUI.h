#pragma once

// A one-line text field. Unfocused it is painted like a label (state
// image, text, optional password masking); focused, it opens CEditWnd, a
// native edit window laid exactly over its text, and copies every change
// of that window back as "textchanged". UI thread only.

#include "ui/controls/LabelUI.h"

class CEditWnd;

class CEditUI : public CLabelUI {
public:
    CEditUI();
    ~CEditUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetText(const std::wstring& text) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible) override;
    void SetInheritedVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void HandleEvent(ControlEvent& event) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE MeasureSize(SIZE available) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void ReleaseImages() override;

    bool IsReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool IsNumberOnly() const { return (m_extraStyle & ES_NUMBER) != 0; }
    void SetNumberOnly(bool numberOnly);
    bool IsPasswordMode() const { return m_password; }
    void SetPasswordMode(bool password);
    wchar_t GetPasswordChar() const { return m_passwordChar; }
    int GetMaxChar() const { return m_maxChar; }
    void SetMaxChar(int maxChar);
    DWORD GetNativeBkColor() const { return m_nativeBkColor; }
    void SetNativeBkColor(DWORD colour) { m_nativeBkColor = colour; }
    DWORD GetExtraWindowStyle() const { return m_extraStyle; }
    void SetForwardKeys(bool forward) { m_forwardKeys = forward; }

    // The native window while it is open, else null.
    CEditWnd* GetNativeWindow() const { return m_window; }
    // Where the native window goes: the text area, cut to one font line
    // centred in it when the font is lower.
    RECT NativeWindowRect() const;

private:
    friend class CEditWnd;

    static constexpr UINT kFocused = 0x01;
    static constexpr UINT kDisabled = 0x04;
    static constexpr UINT kHot = 0x08;

    void OpenNativeWindow();
    void SelectAllNative();

    CEditWnd* m_window = nullptr;
    bool m_readOnly = false;
    bool m_password = false;
    wchar_t m_passwordChar = L'*';
    UINT m_state = 0;
    DWORD m_nativeBkColor = 0xFFFFFFFF;
    DWORD m_extraStyle = 0;
    int m_maxChar = 255;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
    bool m_forwardKeys = false;
};
