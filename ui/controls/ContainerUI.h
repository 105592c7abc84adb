#pragma once

// A control that owns child controls: it gives each child its whole inner
// area, clips and paints them, routes hit tests to them, scrolls them with
// optional scroll bars and destroys them. The two box layouts derive from
// it. UI thread only.

#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/controls/IContainerUI.h"

class CScrollBarUI;

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;

    // IContainerUI
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;

    virtual RECT GetInset() const;
    virtual void SetInset(int left, int top, int right, int bottom);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int padding);
    virtual bool OwnsChildren() const;
    virtual void SetOwnsChildren(bool owns);
    virtual bool IsDeferredDelete() const;
    virtual void SetDeferredDelete(bool deferred);
    virtual bool AreChildrenHitTested() const;
    virtual void SetChildrenHitTested(bool tested);
    virtual int NextSelectableItem(int index, bool forward);
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE pos);
    virtual void ScrollLineUp();
    virtual void ScrollLineDown();
    virtual void ScrollPageUp();
    virtual void ScrollPageDown();
    virtual void ScrollToTop();
    virtual void ScrollToBottom();
    virtual void ScrollLineLeft();
    virtual void ScrollLineRight();
    virtual void ScrollPageLeft();
    virtual void ScrollPageRight();
    virtual void ScrollToLeftEnd();
    virtual void ScrollToRightEnd();
    virtual void EnableScrollBar(bool vertical, bool horizontal);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;
    virtual void PlaceFloatingChild(int index);
    virtual void PlaceScrollBars(RECT rc, int requiredWidth, int requiredHeight);

    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetVisible(bool visible) override;
    void SetInheritedVisible(bool visible) override;
    void SetMouseEnabled(bool enabled) override;
    CControlUI* FindControl(FindControlProc proc, void* data, UINT flags) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void Paint(HDC dc, const RECT& paint) override;

    // The position less the inset and the visible scroll bars.
    RECT InnerRect() const;

protected:
    bool IsBarVisible(const CScrollBarUI* bar) const;
    // A child's limits applied to a width or height the layout offers it.
    static int ClampChildWidth(const CControlUI* child, int width);
    static int ClampChildHeight(const CControlUI* child, int height);
    void DestroyChild(CControlUI* control);
    void TellChildrenVisibility();
    int LineStep() const;

    std::vector<CControlUI*> m_items;
    RECT m_inset{0, 0, 0, 0};
    int m_childPadding = 0;
    bool m_autoDestroy = true;
    bool m_delayedDestroy = true;
    bool m_mouseChild = true;
    bool m_inScrollProcessing = false;
    CScrollBarUI* m_verticalBar = nullptr;
    CScrollBarUI* m_horizontalBar = nullptr;
};
