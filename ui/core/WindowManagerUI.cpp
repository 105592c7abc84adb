#include "ui/core/WindowManagerUI.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>

#include "base/StringConvert.h"
#include "ui/core/GdiObjects.h"

// The manager's life and its resources: construction, the window it serves,
// destruction, the font table, the image cache, default attribute lists,
// language strings and the default colours. Everything here runs on the UI
// thread.

namespace {

// Tables shared by every manager of the process. Their entries live until
// the process ends, like the process itself never tears the toolkit down.
struct ProcessTables {
    bool initialised = false;
    bool commonControls = false;
    DWORD disabledColour = 0xFFA7A6AA;
    DWORD textColour = 0xFF000000;
    DWORD linkColour = 0xFF0000FF;
    DWORD hotLinkColour = 0xFFD3215F;
    DWORD selectionColour = 0xFFBAE4FF;
    FontEntry defaultFont;
    std::map<std::wstring, FontEntry*> fonts;
    std::unordered_map<std::wstring, ImageEntry*> images;
    std::unordered_map<std::wstring, std::wstring> tagDefaults;
    std::unordered_map<std::wstring, std::wstring> languageStrings;
};

ProcessTables& Process()
{
    static ProcessTables tables;
    return tables;
}

std::wstring IdText(int id) { return DecimalText(id); }

// A font made from the stock GUI font's description, so that the character
// quality and pitch match the platform's own dialogs.
HFONT CreateToolkitFont(const std::wstring& face, int size, bool bold, bool underline, bool italic)
{
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    if (!face.empty()) {
        size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
        wmemcpy(lf.lfFaceName, face.data(), n);
        lf.lfFaceName[n] = L'\0';
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = -size;
    // The weight scale ends at 1000; adding bold to the stock weight must
    // not leave it, or the font cannot be created at all.
    if (bold) lf.lfWeight = std::min<LONG>(lf.lfWeight + FW_BOLD, 1000);
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfItalic = italic ? TRUE : FALSE;
    return CreateFontIndirectW(&lf);
}

void FillEntry(FontEntry& entry, HFONT font, const std::wstring& face, int size, bool bold,
               bool underline, bool italic)
{
    entry.font = font;
    entry.face = face;
    entry.size = size;
    entry.bold = bold;
    entry.underline = underline;
    entry.italic = italic;
    entry.metricsKnown = false;
    entry.metrics = TEXTMETRICW{};
}

void DeleteFontEntry(FontEntry* entry)
{
    if (!entry) return;
    if (entry->font) DeleteObject(entry->font);
    delete entry;
}

bool FaceMatches(const FontEntry& e, const std::wstring& face, int size, bool bold, bool underline,
                 bool italic)
{
    return e.face == face && e.size == size && e.bold == bold && e.underline == underline &&
           e.italic == italic;
}

}  // namespace

void CWindowManagerUI::InitialiseProcessDefaults()
{
    ProcessTables& p = Process();
    if (p.initialised) return;
    p.initialised = true;
    LOGFONTW lf{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfCharSet = DEFAULT_CHARSET;
    HFONT font = CreateFontIndirectW(&lf);
    FillEntry(p.defaultFont, font, lf.lfFaceName, -lf.lfHeight, lf.lfWeight >= FW_BOLD,
              lf.lfUnderline != 0, lf.lfItalic != 0);
    // Loaded once for the process so that its blending routines stay mapped.
    LoadLibraryW(L"msimg32.dll");
}

void CWindowManagerUI::InitialiseCommonControls()
{
    // The tooltip is the toolkit's only common control, and loading the
    // library registers every class it has: that is left to the first
    // tooltip rather than put before every first paint.
    ProcessTables& p = Process();
    if (p.commonControls) return;
    p.commonControls = true;
    // The common controls are not one of the system's known DLLs: loaded
    // by their full system path, never from beside the executable.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    wchar_t path[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(path, MAX_PATH);
    if (length > 0 && length + 14 < MAX_PATH) {
        wcscat(path, L"\\comctl32.dll");
        using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
        HMODULE comctl = LoadLibraryW(path);
        auto init = comctl ? reinterpret_cast<InitFn>(reinterpret_cast<void*>(
                                 GetProcAddress(comctl, "InitCommonControlsEx")))
                           : nullptr;
        if (init) init(&controls);
    }
}

CWindowManagerUI::CWindowManagerUI()
{
    InitialiseProcessDefaults();
    const ProcessTables& p = Process();
    m_disabledColour = p.disabledColour;
    m_textColour = p.textColour;
    m_linkColour = p.linkColour;
    m_hotLinkColour = p.hotLinkColour;
    m_selectionColour = p.selectionColour;
}

CWindowManagerUI::~CWindowManagerUI()
{
    // The controls go first: dying, they give their images back to the
    // tables below, which are this manager's own and die with it.
    ReleaseTree();
    // Descriptors that outlive the manager (controls taken out of the tree
    // and kept) lose their images now instead of pointing into freed ones.
    for (ImageDescriptor* descriptor : m_loans) {
        descriptor->lender = nullptr;
        descriptor->image = nullptr;
        descriptor->parsed = false;
    }
    m_loans.clear();
    for (auto& font : m_fonts) DeleteFontEntry(font.second);
    m_fonts.clear();
    for (auto& image : m_images) CDrawKit::FreeImage(image.second);
    m_images.clear();
    m_tagDefaults.clear();
    if (m_ownDefaultFont.font) DeleteObject(m_ownDefaultFont.font);
    m_ownDefaultFont.font = nullptr;
    if (m_caretEnabled && m_window) KillTimer(m_window, kCaretTimerId);
    if (m_toolTip && IsWindow(m_toolTip)) DestroyWindow(m_toolTip);
    m_toolTip = nullptr;
    m_backBuffer.Reset();
    if (m_window && m_windowDC) ReleaseDC(m_window, m_windowDC);
    m_windowDC = nullptr;
    auto& live = LiveManagers();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

std::vector<CWindowManagerUI*>& CWindowManagerUI::LiveManagers()
{
    static std::vector<CWindowManagerUI*> managers;
    return managers;
}

void CWindowManagerUI::Init(HWND window)
{
    if (m_window && m_windowDC) ReleaseDC(m_window, m_windowDC);
    m_window = window;
    m_windowDC = window ? GetDC(window) : nullptr;
    auto& live = LiveManagers();
    if (std::find(live.begin(), live.end(), this) == live.end()) live.push_back(this);
}

DWORD CWindowManagerUI::ProcessDefaultDisabledColor() { return Process().disabledColour; }
DWORD CWindowManagerUI::ProcessDefaultTextColor() { return Process().textColour; }
DWORD CWindowManagerUI::ProcessDefaultLinkColor() { return Process().linkColour; }
DWORD CWindowManagerUI::ProcessDefaultHotLinkColor() { return Process().hotLinkColour; }
DWORD CWindowManagerUI::ProcessDefaultSelectionColor() { return Process().selectionColour; }

// Fonts ---------------------------------------------------------------------

void CWindowManagerUI::MeasureFont(FontEntry& entry)
{
    if (entry.metricsKnown || !entry.font) return;
    HDC dc = m_windowDC;
    CScreenDC screen;
    if (!dc) dc = screen.Get();
    if (!dc) return;
    CSelectScope select(dc, entry.font);
    if (GetTextMetricsW(dc, &entry.metrics)) entry.metricsKnown = true;
}

HFONT CWindowManagerUI::RegisterFont(int id, const std::wstring& face, int size, bool bold,
                                     bool underline, bool italic, bool shared)
{
    HFONT font = CreateToolkitFont(face, size, bold, underline, italic);
    if (!font) return nullptr;
    auto* entry = new FontEntry;
    FillEntry(*entry, font, face, size, bold, underline, italic);
    FontMap& map = shared ? Process().fonts : m_fonts;
    FontEntry*& slot = map[IdText(id)];
    DeleteFontEntry(slot);
    slot = entry;
    return font;
}

HFONT CWindowManagerUI::SetDefaultFontFace(const std::wstring& face, int size, bool bold,
                                           bool underline, bool italic, bool shared)
{
    HFONT font = CreateToolkitFont(face, size, bold, underline, italic);
    if (!font) return nullptr;
    FontEntry& target = shared ? Process().defaultFont : m_ownDefaultFont;
    if (target.font) DeleteObject(target.font);
    FillEntry(target, font, face, size, bold, underline, italic);
    return font;
}

FontEntry* CWindowManagerUI::DefaultFontEntry()
{
    FontEntry& entry = m_ownDefaultFont.font ? m_ownDefaultFont : Process().defaultFont;
    MeasureFont(entry);
    return &entry;
}

FontEntry* CWindowManagerUI::FontEntryById(int id)
{
    const std::wstring key = IdText(id);
    FontEntry* entry = nullptr;
    auto own = m_fonts.find(key);
    if (own != m_fonts.end()) {
        entry = own->second;
    } else {
        auto shared = Process().fonts.find(key);
        if (shared != Process().fonts.end()) entry = shared->second;
    }
    if (!entry) return DefaultFontEntry();
    MeasureFont(*entry);
    return entry;
}

HFONT CWindowManagerUI::FontById(int id) { return FontEntryById(id)->font; }

FontEntry* CWindowManagerUI::FontEntryByHandle(HFONT font)
{
    if (!font) return nullptr;
    FontEntry* found = nullptr;
    for (auto& e : m_fonts)
        if (e.second->font == font) found = e.second;
    if (!found)
        for (auto& e : Process().fonts)
            if (e.second->font == font) found = e.second;
    if (!found && m_ownDefaultFont.font == font) found = &m_ownDefaultFont;
    if (!found && Process().defaultFont.font == font) found = &Process().defaultFont;
    if (found) MeasureFont(*found);
    return found;
}

HFONT CWindowManagerUI::FindFontByFace(const std::wstring& face, int size, bool bold, bool underline,
                                       bool italic)
{
    for (auto& e : m_fonts)
        if (FaceMatches(*e.second, face, size, bold, underline, italic)) return e.second->font;
    for (auto& e : Process().fonts)
        if (FaceMatches(*e.second, face, size, bold, underline, italic)) return e.second->font;
    return nullptr;
}

// Images ---------------------------------------------------------------------

ImageEntry* CWindowManagerUI::FindOrLoadImage(const std::wstring& name, const wchar_t* type,
                                              DWORD mask, bool colourAdjust)
{
    if (name.empty()) return nullptr;
    const std::wstring key = CDrawKit::ImageKey(name, type);
    auto own = m_images.find(key);
    if (own != m_images.end()) {
        ++own->second->refCount;
        return own->second;
    }
    auto shared = Process().images.find(key);
    if (shared != Process().images.end()) {
        ++shared->second->refCount;
        return shared->second;
    }
    return LoadIntoCache(name, type, mask, colourAdjust);
}

ImageEntry* CWindowManagerUI::LoadIntoCache(const std::wstring& name, const wchar_t* type,
                                            DWORD mask, bool colourAdjust)
{
    if (name.empty()) return nullptr;
    if (type && !(name[0] >= L'0' && name[0] <= L'9')) return nullptr;
    std::wstring key;
    ImageEntry* entry = CDrawKit::LoadImage(name, type, mask, &key);
    if (!entry) return nullptr;
    if (colourAdjust) {
        entry->colourAdjust = true;
        entry->sourceBits.assign(entry->bits, entry->bits + static_cast<size_t>(entry->width) *
                                                                entry->height * 4);
    }
    // The new load replaces an entry of the same key, whose mask or colour
    // switch may differ. Descriptors that drew the old one lose their loan
    // first and fetch the new entry at their next paint.
    auto existing = m_images.find(entry->key);
    if (existing != m_images.end()) {
        CancelLoansOf(existing->second);
        CDrawKit::FreeImage(existing->second);
        existing->second = entry;
        if (m_window) InvalidateRect(m_window, nullptr, FALSE);
        return entry;
    }
    m_images[entry->key] = entry;
    return entry;
}

void CWindowManagerUI::ReleaseImage(ImageEntry* entry)
{
    if (!entry) return;
    auto it = m_images.find(entry->key);
    if (it == m_images.end() || it->second != entry) return;
    // Images of the resource system are counted like every other: an entry
    // that nobody holds any longer leaves the cache, so that trees built and
    // destroyed again and again do not pile up bitmaps. Images preloaded by
    // the skin keep the reference of their load and stay.
    if (--entry->refCount > 0) return;
    m_images.erase(it);
    CDrawKit::FreeImage(entry);
}

const ImageEntry* CWindowManagerUI::CachedImage(const std::wstring& key) const
{
    auto it = m_images.find(key);
    return it == m_images.end() ? nullptr : it->second;
}

void CWindowManagerUI::RecordLoan(ImageDescriptor* descriptor)
{
    if (descriptor) m_loans.insert(descriptor);
}

void CWindowManagerUI::CancelLoansOf(const ImageEntry* entry)
{
    for (auto it = m_loans.begin(); it != m_loans.end();) {
        ImageDescriptor* descriptor = *it;
        if (descriptor->image != entry) {
            ++it;
            continue;
        }
        descriptor->lender = nullptr;
        descriptor->image = nullptr;
        descriptor->parsed = false;
        it = m_loans.erase(it);
    }
}

void CWindowManagerUI::ReturnLoan(ImageDescriptor* descriptor)
{
    if (!descriptor || m_loans.erase(descriptor) == 0) return;
    ReleaseImage(descriptor->image);
}

// Default attribute lists and language strings ------------------------------------

void CWindowManagerUI::SetTagDefaults(const std::wstring& tag, const std::wstring& list, bool shared)
{
    (shared ? Process().tagDefaults : m_tagDefaults)[tag] = list;
}

const std::wstring* CWindowManagerUI::TagDefaults(const std::wstring& tag) const
{
    auto own = m_tagDefaults.find(tag);
    if (own != m_tagDefaults.end()) return &own->second;
    auto shared = Process().tagDefaults.find(tag);
    if (shared != Process().tagDefaults.end()) return &shared->second;
    return nullptr;
}

void CWindowManagerUI::SetLanguageString(int id, const std::wstring& text)
{
    Process().languageStrings[IdText(id)] = text;
}

const std::wstring* CWindowManagerUI::LanguageString(int id)
{
    auto it = Process().languageStrings.find(IdText(id));
    return it == Process().languageStrings.end() ? nullptr : &it->second;
}

std::wstring CWindowManagerUI::ReplaceLanguageTokens(const std::wstring& text)
{
    if (text.find(L"%{") == std::wstring::npos) return text;
    const auto& strings = Process().languageStrings;
    std::wstring out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        size_t start = text.find(L"%{", pos);
        if (start == std::wstring::npos) break;
        size_t digits = start + 2;
        size_t end = digits;
        while (end < text.size() && text[end] >= L'0' && text[end] <= L'9') ++end;
        out.append(text, pos, start - pos);
        if (end > digits && end < text.size() && text[end] == L'}') {
            // Leading zeros name the same id as the decimal text without them.
            std::wstring id = text.substr(digits, end - digits);
            size_t nz = id.find_first_not_of(L'0');
            id = nz == std::wstring::npos ? L"0" : id.substr(nz);
            auto it = strings.find(id);
            if (it != strings.end()) {
                out += it->second;
                pos = end + 1;
                continue;
            }
            out.append(text, start, end + 1 - start);
            pos = end + 1;
            continue;
        }
        out.append(text, start, 2);
        pos = start + 2;
    }
    out.append(text, pos, std::wstring::npos);
    return out;
}
