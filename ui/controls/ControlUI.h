#pragma once

// The root class of every element of a skinned window: name, text,
// geometry, layout hints, visual attributes and state flags, the five
// painting steps, and the turning of manager events into notifications.
// UI thread only, like its manager.

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/core/Delegate.h"
#include "ui/core/DrawKit.h"
#include "ui/core/ManagerInterfaces.h"

class CWindowManagerUI;

// The rectangle with each side moved inwards by the matching side of the
// inset: the text area inside a text padding, the flow area of a container.
inline RECT InsetBy(const RECT& rect, const RECT& inset)
{
    return RECT{rect.left + inset.left, rect.top + inset.top, rect.right - inset.right, rect.bottom - inset.bottom};
}

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    virtual std::wstring GetName() const;
    virtual void SetName(const std::wstring& name);
    virtual const wchar_t* GetClassName() const;
    virtual void* GetInterfaceByName(const std::wstring& name);
    virtual UINT GetInputFlags() const;
    virtual bool Activate();
    virtual CWindowManagerUI* GetManager() const;
    virtual void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true);
    virtual CControlUI* GetParent() const;
    virtual std::wstring GetText() const;
    virtual void SetText(const std::wstring& text);

    virtual const RECT& GetPos() const;
    virtual RECT GetPosInParent() const;
    virtual void SetPos(RECT rect, bool invalidate = true);
    virtual void Move(int dx, int dy, bool invalidate = true);
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual int GetX() const;
    virtual int GetY() const;
    virtual RECT GetPadding() const;
    virtual void SetPadding(int left, int top, int right, int bottom);
    virtual SIZE GetFloatOffset() const;
    virtual void SetFloatOffset(int x, int y);
    virtual int GetFixedWidth() const;
    virtual void SetFixedWidth(int width);
    virtual int GetFixedHeight() const;
    virtual void SetFixedHeight(int height);
    virtual int GetMinWidth() const;
    virtual void SetMinWidth(int width);
    virtual int GetMaxWidth() const;
    virtual void SetMaxWidth(int width);
    virtual int GetMinHeight() const;
    virtual void SetMinHeight(int height);
    virtual int GetMaxHeight() const;
    virtual void SetMaxHeight(int height);
    struct FloatAnchors {
        double left = 0, top = 0, right = 0, bottom = 0;
    };
    virtual FloatAnchors GetFloatAnchors() const;
    virtual void SetFloatAnchors(double left, double top, double right, double bottom);

    virtual std::wstring GetToolTip() const;
    virtual void SetToolTip(const std::wstring& text);
    virtual void SetToolTipWidth(int width);
    virtual int GetToolTipWidth() const;
    virtual wchar_t GetShortcut() const;
    virtual void SetShortcut(wchar_t ch);
    virtual bool IsMenuNotifyOn() const;
    virtual void SetMenuNotifyOn(bool on);
    virtual std::wstring GetUserData() const;
    virtual void SetUserData(const std::wstring& text);
    virtual uintptr_t GetTag() const;
    virtual void SetTag(uintptr_t tag);

    virtual bool IsVisible() const;
    virtual void SetVisible(bool visible);
    virtual void SetInheritedVisible(bool visible);
    virtual bool IsEnabled() const;
    virtual void SetEnabled(bool enabled);
    virtual bool IsMouseEnabled() const;
    virtual void SetMouseEnabled(bool enabled);
    virtual bool IsKeyboardEnabled() const;
    virtual void SetKeyboardEnabled(bool enabled);
    virtual bool IsFocused() const;
    virtual void SetFocus();
    virtual bool IsFloat() const;
    virtual void SetFloat(bool floating);

    virtual CControlUI* FindControl(FindControlProc proc, void* data, UINT flags);

    virtual void Init();
    virtual void OnInitialize();
    virtual void HandleEvent(ControlEvent& event);
    virtual void OnEvent(ControlEvent& event);
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);
    virtual SIZE MeasureSize(SIZE available);

    virtual void Paint(HDC dc, const RECT& paint);
    virtual void PaintBackgroundColor(HDC dc);
    virtual void PaintBackgroundImage(HDC dc);
    virtual void PaintStateImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    virtual void PaintOverlay(HDC dc, const RECT& paint);

    // Non-virtual operations --------------------------------------------------
    void Invalidate();
    bool IsUpdateNeeded() const { return m_updateNeeded; }
    void RequestLayout();
    void RequestParentLayout();

    DWORD GetBackgroundColor() const { return m_bkColor; }
    void SetBackgroundColor(DWORD colour);
    DWORD GetBackgroundColor2() const { return m_bkColor2; }
    void SetBackgroundColor2(DWORD colour);
    DWORD GetBackgroundColor3() const { return m_bkColor3; }
    void SetBackgroundColor3(DWORD colour);
    const std::wstring& GetBackgroundImage() const { return m_bkImage.text; }
    void SetBackgroundImage(const std::wstring& descriptor);
    const std::wstring& GetForeImage() const { return m_foreImage.text; }
    void SetForeImage(const std::wstring& descriptor);
    DWORD GetBorderColor() const { return m_borderColor; }
    void SetBorderColor(DWORD colour);
    DWORD GetFocusBorderColor() const { return m_focusBorderColor; }
    void SetFocusBorderColor(DWORD colour);
    bool IsColorHSL() const { return m_colorHsl; }
    void SetColorHSL(bool adjust);
    int GetBorderSize() const { return m_borderSize; }
    void SetBorderSize(int size);
    RECT GetSideBorderSizes() const { return RECT{m_leftBorder, m_topBorder, m_rightBorder, m_bottomBorder}; }
    void SetSideBorderSizes(int left, int top, int right, int bottom);
    int GetBorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(int style);
    SIZE GetBorderRound() const { return SIZE{m_cornerWidth, m_cornerHeight}; }
    void SetBorderRound(int cx, int cy);
    bool IsTransparent() const { return m_transparent; }

    std::wstring GetVirtualWindowName() const;
    void SetVirtualWindowName(const std::wstring& name);
    void ApplyAttributes(const std::wstring& list);

    // The handler lists. Init, size and destroy handlers receive the
    // control, event handlers the ControlEvent and notify handlers the
    // NotifyMsg, each as the void* parameter of the delegate.
    CHandlerList& InitHandlers() { return m_initHandlers; }
    CHandlerList& DestroyHandlers() { return m_destroyHandlers; }
    CHandlerList& SizeHandlers() { return m_sizeHandlers; }
    CHandlerList& EventHandlers() { return m_eventHandlers; }
    CHandlerList& NotifyHandlers() { return m_notifyHandlers; }

    // Gives back every image reference the control holds (each to the
    // manager that lent it); the next paint with a manager loads anew.
    // Controls with image descriptors of their own extend it.
    virtual void ReleaseImages();

protected:
    // The union of two rectangles clipped by every ancestor, handed to
    // the manager; nothing when an ancestor is hidden or misses it.
    void RepaintClipped(const RECT& area);
    void SendNotify(const wchar_t* type, WPARAM wParam = 0, LPARAM lParam = 0);
    // Through the size-hint setters: a floating control lays itself out,
    // any other asks its parent.
    void RelayoutForHint();
    DWORD Adjusted(DWORD colour) const;
    // The focused and disabled bits of a state word follow the control
    // itself; state images and colours are chosen from the word.
    void FollowFocusAndEnabled(UINT& state, UINT focusedBit, UINT disabledBit) const
    {
        state = IsFocused() ? (state | focusedBit) : (state & ~focusedBit);
        state = IsEnabled() ? (state & ~disabledBit) : (state | disabledBit);
    }
    // Mouse enter and leave light and clear the hot bit of an enabled
    // control and repaint it; the event goes on to the base class either way.
    void TrackHot(const ControlEvent& event, UINT& state, UINT hotBit)
    {
        if (!IsEnabled()) return;
        if (event.type == UIEVENT_MOUSEENTER) state |= hotBit;
        else if (event.type == UIEVENT_MOUSELEAVE) state &= ~hotBit;
        else return;
        Invalidate();
    }
    // A control that takes no mouse input lets mouse events through to its
    // parent or, without one, to the base handling given. True when the
    // event was let through, so the caller is done with it.
    template <typename BaseHandling>
    bool LetMouseThrough(ControlEvent& event, BaseHandling baseHandling)
    {
        if (IsMouseEnabled() || event.type < UIEVENT_MOUSEMOVE || event.type > UIEVENT_SCROLLWHEEL) return false;
        if (m_parent)
            m_parent->OnEvent(event);
        else
            baseHandling();
        return true;
    }

    CHandlerList m_initHandlers;
    CHandlerList m_destroyHandlers;
    CHandlerList m_sizeHandlers;
    CHandlerList m_eventHandlers;
    CHandlerList m_notifyHandlers;
    CWindowManagerUI* m_manager = nullptr;
    CControlUI* m_parent = nullptr;
    std::wstring m_virtualWindowName;
    std::wstring m_name;
    bool m_updateNeeded = true;
    bool m_menuUsed = false;
    RECT m_pos{0, 0, 0, 0};
    RECT m_padding{0, 0, 0, 0};
    int m_fixedX = 0;
    int m_fixedY = 0;
    int m_fixedWidth = 0;
    int m_fixedHeight = 0;
    int m_minWidth = 0;
    int m_minHeight = 0;
    int m_maxWidth = 9999;
    int m_maxHeight = 9999;
    bool m_visible = true;
    bool m_inheritedVisible = true;
    bool m_enabled = true;
    bool m_mouseEnabled = true;
    bool m_keyboardEnabled = true;
    bool m_focused = false;
    bool m_float = false;
    FloatAnchors m_floatPercent;
    bool m_inSizeHandlers = false;
    std::wstring m_text;
    std::wstring m_toolTip;
    wchar_t m_shortcut = 0;
    std::wstring m_userData;
    uintptr_t m_tag = 0;
    DWORD m_bkColor = 0;
    DWORD m_bkColor2 = 0;
    DWORD m_bkColor3 = 0;
    ImageDescriptor m_bkImage;
    ImageDescriptor m_foreImage;
    DWORD m_borderColor = 0;
    DWORD m_focusBorderColor = 0;
    bool m_colorHsl = false;
    int m_borderSize = 0;
    int m_borderStyle = PS_SOLID;
    int m_toolTipWidth = 300;
    int m_cornerWidth = 0;
    int m_cornerHeight = 0;
    RECT m_paintRect{0, 0, 0, 0};
    int m_leftBorder = 0;
    int m_topBorder = 0;
    int m_rightBorder = 0;
    int m_bottomBorder = 0;
    bool m_transparent = false;
};
