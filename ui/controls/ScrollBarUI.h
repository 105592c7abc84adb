#pragma once

// A scroll bar owned by a container: two arrow buttons, a rail and a thumb
// whose length follows the share of the content that is in view. Pressing
// an arrow scrolls by a line, pressing the rail by a page, dragging the
// thumb follows the mouse. Scrolling goes through the owner, which moves
// its children and sets the bar's position. UI thread only.

#include "ui/controls/ControlUI.h"

class CContainerUI;

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();
    ~CScrollBarUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;

    CContainerUI* GetOwner() const { return m_owner; }
    void SetOwner(CContainerUI* owner) { m_owner = owner; }
    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal);
    int GetScrollRange() const { return m_range; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_scrollPos; }
    void SetScrollPos(int pos);
    int GetLineSize() const { return m_lineSize; }
    void SetLineSize(int size);
    bool IsButton1Shown() const { return m_showButton1; }
    bool IsButton2Shown() const { return m_showButton2; }

    // The parts as last placed, in window client pixels.
    const RECT& GetButton1Rect() const { return m_button1; }
    const RECT& GetButton2Rect() const { return m_button2; }
    const RECT& GetThumbRect() const { return m_thumb; }

    void SetPos(RECT rect, bool invalidate = true) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintBackgroundImage(HDC dc) override;
    void PaintStateImage(HDC dc) override;
    void ReleaseImages() override;

private:
    enum Part { PartNone, PartButton1, PartButton2, PartThumb, PartRail };
    enum State { Normal, Hot, Pushed, Disabled, StateCount };

    // Places the buttons and the thumb inside the position.
    void PlaceParts();
    Part PartAt(POINT point) const;
    // Asks the owner to scroll this bar's direction to pos.
    void ScrollTo(int pos);
    State StateOf(Part part) const;
    void PaintPart(HDC dc, Part part, const RECT& rect, DWORD colour, ImageDescriptor* images);

    CContainerUI* m_owner = nullptr;
    bool m_horizontal = false;
    int m_range = 100;
    int m_scrollPos = 0;
    int m_lineSize = 8;
    bool m_showButton1 = true;
    bool m_showButton2 = true;
    RECT m_button1{0, 0, 0, 0};
    RECT m_button2{0, 0, 0, 0};
    RECT m_thumb{0, 0, 0, 0};
    Part m_hot = PartNone;
    Part m_pushed = PartNone;
    POINT m_dragStart{0, 0};
    int m_dragStartPos = 0;

    DWORD m_button1Color = 0;
    DWORD m_button2Color = 0;
    DWORD m_thumbColor = 0;
    ImageDescriptor m_button1Images[StateCount];
    ImageDescriptor m_button2Images[StateCount];
    ImageDescriptor m_thumbImages[StateCount];
    ImageDescriptor m_railImages[StateCount];
    ImageDescriptor m_bkImages[StateCount];
};
