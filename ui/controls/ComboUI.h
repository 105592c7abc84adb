#pragma once

// A drop-down choice: shows the text of its selected item and, when
// clicked, opens CComboWnd, a popup that lists the items. The items are
// the container's children; the combo owns them and the popup only borrows
// them while it is open, through a CItemLoan: meanwhile they are in the
// popup's tree alone, and the item operations below reach them there.
// UI thread only.

#include <memory>

#include "ui/controls/ContainerUI.h"
#include "ui/controls/IListOwnerUI.h"
#include "ui/controls/ItemLoan.h"
#include "ui/controls/ListItemStyle.h"

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    ~CComboUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    bool Activate() override;
    std::wstring GetText() const override;
    void SetPos(RECT rect, bool invalidate = true) override;
    void Move(int dx, int dy, bool invalidate = true) override;
    void SetEnabled(bool enabled) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE MeasureSize(SIZE available) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void ReleaseImages() override;

    // IContainerUI: every item knows the combo as owner and its index.
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    int GetCount() const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control) override;
    bool RemoveAt(int index) override;
    void RemoveAll() override;
    int NextSelectableItem(int index, bool forward) override;

    // IListOwnerUI
    ListItemStyle* GetListItemStyle() override { return &m_itemStyle; }
    int GetCurSel() const override { return m_curSel; }
    bool SelectItem(int index, bool takeFocus = false) override;
    void OwnerEvent(ControlEvent& event) override { OnEvent(event); }

    const std::wstring& GetDropBoxAttributes() const { return m_dropBoxAttributes; }
    SIZE GetDropBoxSize() const { return m_dropBoxSize; }
    void SetDropBoxSize(int width, int height) { m_dropBoxSize = SIZE{width, height}; }
    bool GetWheelSelect() const { return m_wheelSelect; }
    void SetWheelSelect(bool on) { m_wheelSelect = on; }
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(const RECT& padding);
    void SetShowText(bool show);
    const std::wstring& GetTipText() const { return m_tipText; }
    void SetTipText(const std::wstring& text);
    UINT GetTextStyle() const { return m_textStyle; }
    CComboWnd* GetPopup() const { return m_popup; }

    // The popup's layout borrows the items until EndLoan, which every way
    // out of the popup calls (a second call does nothing).
    void LendItems(CContainerUI& borrower);
    void EndLoan();

private:
    friend class CComboWnd;

    static constexpr UINT kFocused = 0x01;
    static constexpr UINT kDisabled = 0x04;
    static constexpr UINT kHot = 0x08;
    static constexpr UINT kPushed = 0x10;
    static constexpr UINT kCaptured = 0x40;

    // One keyboard or wheel step: the popup stays open while it moves.
    void StepSelection(int index);
    void RenumberFrom(int index);
    // The container that holds the items now: this one, or the borrower.
    CContainerUI& Holder() const;
    void SetStateImage(ImageDescriptor& descriptor, const std::wstring& text);

    CComboWnd* m_popup = nullptr;
    std::unique_ptr<CItemLoan> m_loan;
    int m_curSel = -1;
    bool m_showText = true;
    bool m_closeOnSelect = true;
    RECT m_textPadding{0, 0, 0, 0};
    std::wstring m_dropBoxAttributes;
    SIZE m_dropBoxSize{0, 150};
    UINT m_state = 0;
    ImageDescriptor m_normalImage;
    ImageDescriptor m_hotImage;
    ImageDescriptor m_pushedImage;
    ImageDescriptor m_focusedImage;
    ImageDescriptor m_disabledImage;
    ListItemStyle m_itemStyle;
    int m_font = -1;
    DWORD m_textColor = 0;
    std::wstring m_tipText;
    DWORD m_tipTextColor = 0;
    UINT m_textStyle = DT_VCENTER;
    bool m_wheelSelect = true;
};
