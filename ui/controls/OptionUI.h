#pragma once

// A button that stays selected. Options of one named group (kept by the
// manager) exclude one another: selecting one deselects the rest, and only
// the newly selected one says "selectchanged". UI thread only.

#include "ui/controls/ButtonUI.h"

class COptionUI : public CButtonUI {
public:
    COptionUI();
    ~COptionUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    void SetManager(CWindowManagerUI* manager, CControlUI* parent, bool init = true) override;
    bool Activate() override;
    void SetEnabled(bool enabled) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStateImage(HDC dc) override;
    void PaintText(HDC dc) override;
    void ReleaseImages() override;

    virtual void SetSelected(bool selected);

    const std::wstring& GetGroup() const { return m_groupName; }
    void SetGroup(const std::wstring& name);
    bool IsSelected() const { return m_selected; }

    void SetSelectedImage(const std::wstring& descriptor);
    void SetSelectedHotImage(const std::wstring& descriptor);
    void SetOptionForeImage(const std::wstring& descriptor);
    void SetSelectedBkColor(DWORD colour) { m_selectedBkColor = colour; }
    void SetSelectedTextColor(DWORD colour) { m_selectedTextColor = colour; }

protected:
    // The other options of the group lose their selection, silently.
    void DeselectOthers();

    bool m_selected = false;
    std::wstring m_groupName;
    DWORD m_selectedBkColor = 0;
    DWORD m_selectedTextColor = 0;
    ImageDescriptor m_selectedImage;
    ImageDescriptor m_selectedHotImage;
    ImageDescriptor m_optionForeImage;
};
