#pragma once

// Word-wrapped text whose height follows its content; with markup shown it
// may carry up to eight clickable links, each sending "link" with its
// index. UI thread only.

#include "ui/controls/LabelUI.h"

class CTextUI : public CLabelUI {
public:
    static constexpr int kMaxLinks = 8;

    CTextUI();
    ~CTextUI() override;

    const wchar_t* GetClassName() const override;
    void* GetInterfaceByName(const std::wstring& name) override;
    UINT GetInputFlags() const override;
    void SetText(const std::wstring& text) override;
    void OnEvent(ControlEvent& event) override;
    SIZE MeasureSize(SIZE available) override;
    void PaintText(HDC dc) override;

    int GetLinkCount() const { return m_linkCount; }
    // The target of link i from the last paint, or the empty string.
    std::wstring GetLinkContent(int index) const;
    // Where link i was drawn in the last paint, or an empty rectangle.
    RECT GetLinkRect(int index) const;
    int GetHoverLink() const { return m_hoverLink; }

private:
    // The link under the point, or -1.
    int LinkAt(POINT point) const;

    RECT m_links[kMaxLinks]{};
    std::wstring m_linkTexts[kMaxLinks];
    int m_linkCount = 0;
    int m_hoverLink = -1;
};
