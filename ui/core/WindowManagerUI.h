#pragma once

// The per-window manager of the toolkit: it owns a window's control tree,
// its fonts, images and default attribute lists, and routes the window's
// input to the controls. UI thread only; the process-wide tables (shared
// fonts, shared images, shared default lists, language strings, default
// colours) are plain statics for the same reason.
//
// Its definitions are split by concern, one file each:
//   WindowManagerUI.cpp      life and resources: construction, Init,
//                            destruction, fonts, images, default lists,
//                            language strings, default colours;
//   WindowManagerTree.cpp    tree and notifications: attach, register,
//                            names, find, forget, delete later, overlay
//                            painters, option groups, listeners, notify;
//   WindowManagerInput.cpp   input: message routing, focus and tab stops,
//                            capture, hover, tooltips;
//   WindowManagerPaint.cpp   painting: invalidation, paint, window size,
//                            opacity, colour key, layered painting;
//   WindowManagerTimers.cpp  control timers and the caret.
// A new member goes to the file of its concern.

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ui/core/BackBuffer.h"
#include "ui/core/DrawKit.h"
#include "ui/core/ManagerInterfaces.h"

class CControlUI;

class CWindowManagerUI {
public:
    CWindowManagerUI();
    ~CWindowManagerUI();
    CWindowManagerUI(const CWindowManagerUI&) = delete;
    CWindowManagerUI& operator=(const CWindowManagerUI&) = delete;

    // Lifetime (WindowManagerUI.cpp) and tree (WindowManagerTree.cpp) ------
    void Init(HWND window);
    HWND GetWindow() const { return m_window; }
    HDC GetWindowDC() const { return m_windowDC; }
    bool AttachRoot(CControlUI* root);
    CControlUI* GetRoot() const { return m_root; }
    CControlUI* FindControlByName(const std::wstring& name) const;
    CControlUI* FindControlAt(POINT point) const;
    void ForgetControl(CControlUI* control);
    void DeleteLater(CControlUI* control);
    bool AddOverlayPainter(CControlUI* control);
    bool RemoveOverlayPainter(CControlUI* control);
    bool JoinOptionGroup(const std::wstring& group, CControlUI* option);
    void LeaveOptionGroup(const std::wstring& group, CControlUI* option);
    const std::vector<CControlUI*>* OptionGroup(const std::wstring& group) const;
    // Adopts a control and its subtree: manager, parent, initialisation, names.
    void RegisterTree(CControlUI* control, CControlUI* parent);
    bool IsLayoutNeeded() const { return m_layoutNeeded; }
    void MarkLayoutNeeded() { m_layoutNeeded = true; }

    // Painting and window settings (WindowManagerPaint.cpp) ------------------
    void RepaintRect(const RECT& rect);
    void SetInitialSize(int cx, int cy);
    SIZE GetInitialSize() const { return m_initialSize; }
    void SetResizeBorder(const RECT& border) { m_resizeBorder = border; }
    RECT GetResizeBorder() const { return m_resizeBorder; }
    void SetCaptionArea(const RECT& caption) { m_captionArea = caption; }
    RECT GetCaptionArea() const { return m_captionArea; }
    void SetCornerSize(SIZE corner) { m_cornerSize = corner; }
    SIZE GetCornerSize() const { return m_cornerSize; }
    void SetMinTrackSize(SIZE size) { m_minTrackSize = size; }
    SIZE GetMinTrackSize() const { return m_minTrackSize; }
    void SetMaxTrackSize(SIZE size) { m_maxTrackSize = size; }
    SIZE GetMaxTrackSize() const { return m_maxTrackSize; }
    void SetShowDirty(bool show) { m_showDirty = show; }
    bool GetShowDirty() const { return m_showDirty; }
    void SetWindowAlpha(int alpha);
    BYTE GetWindowAlpha() const { return m_opacity; }
    void SetColorKey(DWORD colour);
    void SetLayeredPaint(bool layered);
    bool IsLayeredPaint() const { return m_layeredPaint; }
    // The back buffer of the last paint (null before the first one).
    HDC GetBackBufferDC() const { return m_backBuffer.Dc(); }

    // The five default colours, copied from the process-wide ones.
    void SetDefaultDisabledColor(DWORD colour) { m_disabledColour = colour; }
    DWORD GetDefaultDisabledColor() const { return m_disabledColour; }
    void SetDefaultTextColor(DWORD colour) { m_textColour = colour; }
    DWORD GetDefaultTextColor() const { return m_textColour; }
    void SetDefaultLinkColor(DWORD colour) { m_linkColour = colour; }
    DWORD GetDefaultLinkColor() const { return m_linkColour; }
    void SetDefaultHotLinkColor(DWORD colour) { m_hotLinkColour = colour; }
    DWORD GetDefaultHotLinkColor() const { return m_hotLinkColour; }
    void SetDefaultSelectionColor(DWORD colour) { m_selectionColour = colour; }
    DWORD GetDefaultSelectionColor() const { return m_selectionColour; }

    // Input state (WindowManagerInput.cpp; timers and caret in WindowManagerTimers.cpp)
    CControlUI* GetFocus() const { return m_focus; }
    CControlUI* GetHover() const { return m_hover; }
    void FocusControl(CControlUI* control);
    void FocusPreviousTabStop(CControlUI* control);
    bool StartTimer(CControlUI* control, UINT id, UINT milliseconds);
    bool StopTimer(CControlUI* control, UINT id);
    void StopAllTimers(CControlUI* control);
    void CaptureMouse();
    void ReleaseMouse();
    bool IsMouseCaptured() const { return m_mouseCaptured; }
    bool EnableCaret(bool enable);
    // The caret keeps its size when it moves; a control sets it first.
    void SetCaretSize(int width, int height);
    bool MoveCaret(CControlUI* owner, int x, int y);
    const RECT& GetCaretRect() const { return m_caretRect; }
    void PaintCaret(HDC dc, const RECT& paint);
    POINT GetMousePos() const { return m_lastMousePoint; }

    // Listeners and notifications (WindowManagerTree.cpp) ----------------------
    void UseVirtualWindows(bool use) { m_virtualWindows = use; }
    bool AddNotifyListener(INotifyUI* listener);
    bool RemoveNotifyListener(INotifyUI* listener);
    bool AddPreFilter(IMessageFilterUI* filter);
    bool RemovePreFilter(IMessageFilterUI* filter);
    bool AddFilter(IMessageFilterUI* filter);
    bool RemoveFilter(IMessageFilterUI* filter);
    bool AddTranslator(ITranslateAccelerator* translator);
    bool RemoveTranslator(ITranslateAccelerator* translator);
    void SendNotification(CControlUI* control, const std::wstring& type, WPARAM wParam = 0,
                          LPARAM lParam = 0, bool async = false);
    void SendNotification(NotifyMsg& msg, bool async = false);

    // Fonts (WindowManagerUI.cpp)
    HFONT RegisterFont(int id, const std::wstring& face, int size, bool bold, bool underline,
                       bool italic, bool shared);
    HFONT SetDefaultFontFace(const std::wstring& face, int size, bool bold, bool underline,
                             bool italic, bool shared);
    HFONT FontById(int id);
    FontEntry* FontEntryById(int id);
    FontEntry* FontEntryByHandle(HFONT font);
    HFONT FindFontByFace(const std::wstring& face, int size, bool bold, bool underline, bool italic);
    FontEntry* DefaultFontEntry();

    // Images (WindowManagerUI.cpp)
    ImageEntry* FindOrLoadImage(const std::wstring& name, const wchar_t* type = nullptr,
                                DWORD mask = 0, bool colourAdjust = false);
    ImageEntry* LoadIntoCache(const std::wstring& name, const wchar_t* type = nullptr,
                              DWORD mask = 0, bool colourAdjust = false);
    void ReleaseImage(ImageEntry* entry);
    // The entry cached under the key in this manager's table, or null.
    const ImageEntry* CachedImage(const std::wstring& key) const;
    // Loans of images to descriptors (see ImageDescriptor): recorded when a
    // descriptor takes an image from this cache and returned when it gives
    // it back; loans still out when the manager dies are cancelled then.
    void RecordLoan(ImageDescriptor* descriptor);
    void ReturnLoan(ImageDescriptor* descriptor);

    // Default attribute lists and language strings (WindowManagerUI.cpp)
    void SetTagDefaults(const std::wstring& tag, const std::wstring& list, bool shared);
    const std::wstring* TagDefaults(const std::wstring& tag) const;
    static void SetLanguageString(int id, const std::wstring& text);
    static const std::wstring* LanguageString(int id);
    static std::wstring ReplaceLanguageTokens(const std::wstring& text);

    // Messages (WindowManagerInput.cpp) ---------------------------------------------
    bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool PreHandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static bool PreTranslate(MSG* msg);

    // The process-wide default colours that every new manager starts with.
    static DWORD ProcessDefaultDisabledColor();
    static DWORD ProcessDefaultTextColor();
    static DWORD ProcessDefaultLinkColor();
    static DWORD ProcessDefaultHotLinkColor();
    static DWORD ProcessDefaultSelectionColor();

private:
    // Takes back every loan of the entry without counting: it is about to go.
    void CancelLoansOf(const ImageEntry* entry);

    using FontMap = std::map<std::wstring, FontEntry*>;
    using ImageMap = std::unordered_map<std::wstring, ImageEntry*>;
    using ListMap = std::unordered_map<std::wstring, std::wstring>;

    static void InitialiseProcessDefaults();
    // Once per process, before the first common control is made.
    static void InitialiseCommonControls();
    // Every manager between Init and destruction, oldest first.
    static std::vector<CWindowManagerUI*>& LiveManagers();
    static constexpr UINT_PTR kCaretTimerId = 241;
    // Deletes the root, the controls awaiting deletion and the timers;
    // the first thing the destructor does, while the tables still exist.
    void ReleaseTree();
    void DeleteDelayed();
    void DeliverTimer(UINT_PTR windowTimerId);
    void BlinkCaret();
    void Paint();
    void PaintLayered(const RECT& client);
    void PaintOffscreen(const RECT& client);
    void LayOutBeforePaint(const RECT& client);
    void PrintClient(HDC dc, LPARAM flags);
    // One input event to a control, with the current tick count.
    void Deliver(CControlUI* control, int type, POINT point, WPARAM wParam, LPARAM lParam, WORD keyState,
                 wchar_t key = 0);
    // The control under the point when it belongs to this manager.
    CControlUI* OwnControlAt(POINT point) const;
    // A button pressed over a control: it becomes the clicked control, takes
    // the focus when asked, the mouse is captured and it gets the event.
    void PressOn(int type, bool takeFocus, WPARAM wParam, LPARAM lParam);
    // A click ends: the clicked control lets go of the mouse and gets the event.
    void ReleaseClick(int type, POINT point, WPARAM wParam, LPARAM lParam, WORD keyState);
    void OnMouseMove(WPARAM wParam, LPARAM lParam);
    void OnMouseHover(WPARAM wParam, LPARAM lParam);
    void HideToolTip();
    bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    struct TimerRecord {
        CControlUI* control = nullptr;
        UINT id = 0;
        HWND window = nullptr;
        UINT_PTR windowTimerId = 0;
        bool stopped = false;
    };
    void MeasureFont(FontEntry& entry);

    HWND m_window = nullptr;
    HDC m_windowDC = nullptr;
    BYTE m_opacity = 255;
    CControlUI* m_root = nullptr;
    CControlUI* m_focus = nullptr;
    CControlUI* m_hover = nullptr;
    CControlUI* m_click = nullptr;
    CControlUI* m_key = nullptr;
    POINT m_lastMousePoint{0, 0};
    SIZE m_minTrackSize{0, 0};
    SIZE m_maxTrackSize{0, 0};
    SIZE m_initialSize{0, 0};
    RECT m_resizeBorder{0, 0, 0, 0};
    RECT m_captionArea{0, 0, 0, 0};
    SIZE m_cornerSize{0, 0};
    bool m_firstLayout = true;
    bool m_layoutNeeded = false;
    bool m_focusNeeded = false;
    bool m_offscreenPaint = true;
    bool m_layeredPaint = false;
    bool m_mouseTracking = false;
    bool m_mouseCaptured = false;
    bool m_virtualWindows = false;
    bool m_showDirty = false;
    bool m_restoreRequested = false;

    DWORD m_disabledColour;
    DWORD m_textColour;
    DWORD m_linkColour;
    DWORD m_hotLinkColour;
    DWORD m_selectionColour;

    FontEntry m_ownDefaultFont;         // font null until a non-shared default is declared

    std::vector<INotifyUI*> m_notifyListeners;
    std::vector<IMessageFilterUI*> m_preFilters;
    std::vector<IMessageFilterUI*> m_filters;
    std::vector<ITranslateAccelerator*> m_translators;
    std::vector<CControlUI*> m_overlayPainters;
    std::vector<CControlUI*> m_delayedDeletes;
    std::vector<TimerRecord> m_timers;
    UINT m_timerCounter = 0x1000;
    std::unordered_map<std::wstring, CControlUI*> m_nameMap;
    std::unordered_map<std::wstring, std::vector<CControlUI*>> m_optionGroups;
    // Positions of the deliveries in progress in m_notifyListeners, so that
    // a listener removed while one is told moves them back.
    std::vector<std::ptrdiff_t*> m_deliveries;
    CBackBuffer m_backBuffer;
    HWND m_toolTip = nullptr;
    TOOLINFOW m_toolInfo{};
    std::wstring m_toolTipText;
    POINT m_toolTipPoint{-1, -1};
    bool m_caretEnabled = false;
    bool m_caretShown = false;
    RECT m_caretRect{0, 0, 0, 0};
    CControlUI* m_caretOwner = nullptr;
    std::unordered_set<ImageDescriptor*> m_loans;
    FontMap m_fonts;
    ImageMap m_images;
    ListMap m_tagDefaults;
};
