#pragma once

// A progress bar with a thumb that the mouse drags or the wheel steps;
// the value it lands on is announced with "valuechanged". UI thread only.

#include "ui/controls/ProgressUI.h"

class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    ~CSliderUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetEnabled(bool enabled) override;
    void OnEvent(ControlEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintStateImage(HDC dc) override;
    void ReleaseImages() override;

    int GetChangeStep() const { return m_step; }
    void SetChangeStep(int step) { m_step = step; }
    SIZE GetThumbSize() const { return m_thumbSize; }
    void SetThumbSize(SIZE size);
    void SetThumbImage(const std::wstring& descriptor);
    void SetThumbHotImage(const std::wstring& descriptor);
    void SetThumbPushedImage(const std::wstring& descriptor);
    // Where the thumb stands for the current value, in window coordinates.
    RECT GetThumbRect() const;

private:
    // The value under a point along the bar, within the range.
    int ValueAt(POINT point) const;

    enum : UINT { kHot = 0x01, kCaptured = 0x02 };
    UINT m_thumbState = 0;
    SIZE m_thumbSize{10, 10};
    int m_step = 1;
    ImageDescriptor m_thumbImage;
    ImageDescriptor m_thumbHotImage;
    ImageDescriptor m_thumbPushedImage;
};
