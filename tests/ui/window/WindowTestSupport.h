#pragma once

// What the window and builder tests share: skin files written beside the
// test program, a stored ZIP archive made in memory, a skinned test window
// and a guard that ends a modal loop that would otherwise never end.

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/controls/ControlUI.h"
#include "ui/core/WindowImplBase.h"

namespace window_tests {

// The folder "window_skins" beside the test program, emptied on creation.
class SkinFolder {
public:
    SkinFolder();
    ~SkinFolder();
    // Relative to the program's folder, as a window's GetSkinFolder gives it.
    static const wchar_t* Relative() { return L"window_skins"; }
    const std::wstring& Path() const { return m_path; }
    // Writes the text as UTF-8.
    void Write(const std::wstring& name, const std::wstring& text) const;

private:
    std::wstring m_path;
};

std::string Utf8(const std::wstring& text);

// A ZIP archive of stored entries whose names carry no UTF-8 bit.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& entries);

class TestWindow : public WindowImplBase {
public:
    std::wstring skin;
    int kind = kSkinFromFile;
    std::wstring archive;
    std::wstring folder = SkinFolder::Relative();
    int firstPaints = 0;
    int skinsLoaded = 0;
    std::vector<std::wstring> clicks;

    const wchar_t* WindowClassName() const override { return L"LumetaTestWindow"; }
    std::wstring GetSkinFolder() override { return folder; }
    std::wstring GetSkinFileName() override { return skin; }
    int SkinSourceKind() const override { return kind; }
    std::wstring SkinArchiveName() override { return archive; }
    std::wstring SkinArchiveResource() override { return archive; }
    void OnSkinLoaded() override { ++skinsLoaded; }
    void OnFirstPaint() override { ++firstPaints; }
    void OnClick(NotifyMsg& msg) override
    {
        if (msg.sender) clicks.push_back(msg.sender->GetName());
        WindowImplBase::OnClick(msg);
    }
    // A hidden popup of the given size at (x, y); null when it failed.
    HWND CreatePopup(HWND owner = nullptr, int x = 100, int y = 100, int width = 400, int height = 300);
};

// Destroys the window after a while unless the test ended first, and says
// whether it had to.
class ModalGuard {
public:
    ModalGuard(HWND window, UINT milliseconds);
    ~ModalGuard();
    bool Fired() const { return m_fired; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR m_timer = 0;
    HWND m_window;
    bool m_fired = false;
};

// Runs fn once, after the given delay, from inside whatever loop is running.
void After(UINT milliseconds, void (*fn)(void*), void* data);

}  // namespace window_tests
