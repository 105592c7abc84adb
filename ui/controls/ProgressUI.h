#pragma once

// How far a value lies between a minimum and a maximum, shown by a fore
// image drawn over the filled part (left to right, or bottom to top). The
// range and the value are repaired when painted. UI thread only.

#include "ui/controls/LabelUI.h"

class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    ~CProgressUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStateImage(HDC dc) override;
    void ReleaseImages() override;

    bool IsHorizontal() const { return m_horizontal; }
    void SetHorizontal(bool horizontal);
    int GetMinValue() const { return m_min; }
    void SetMinValue(int value);
    int GetMaxValue() const { return m_max; }
    void SetMaxValue(int value);
    int GetValue() const { return m_value; }
    void SetValue(int value);
    bool IsStretchForeImage() const { return m_stretchFore; }
    void SetStretchForeImage(bool stretch);
    const std::wstring& GetProgressForeImage() const { return m_progressForeImage.text; }
    void SetProgressForeImage(const std::wstring& descriptor);

    // The filled part relative to the control's top-left corner, for a
    // control of the given size; the range must be repaired first.
    static RECT FilledRect(int width, int height, bool horizontal, int min, int max, int value);

protected:
    // Steps 1 and 2 of painting: an empty or inverted range gets one step,
    // and the value is brought into the range.
    void RepairRange();

    int m_max = 100;
    int m_min = 0;
    bool m_horizontal = true;
    bool m_stretchFore = true;
    int m_value = 0;
    ImageDescriptor m_progressForeImage;
};
