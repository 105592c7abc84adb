#include "ui/core/DrawKit.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "ui/core/ValueSyntax.h"
#include "ui/core/WindowManagerUI.h"

// Plain text and the inline markup text. The markup routine works in two
// passes, layout then drawing, over a flat list of runs; tags never recurse,
// so nesting depth costs list entries, not stack.

void CDrawKit::DrawPlainText(HDC dc, CWindowManagerUI* manager, RECT& rect, const std::wstring& text,
                             DWORD colour, int fontId, UINT format)
{
    if (!dc) return;
    // Measuring answers for any rectangle: an empty text has no extent, and
    // a rectangle without room still measures the text (one word a line).
    const bool measure = (format & DT_CALCRECT) != 0;
    if (measure) {
        if (rect.right < rect.left) rect.right = rect.left;
        if (rect.bottom < rect.top) rect.bottom = rect.top;
        if (text.empty()) {
            rect.right = rect.left;
            rect.bottom = rect.top;
            return;
        }
    } else if (text.empty() || IsRectEmpty(&rect)) {
        return;
    }
    std::wstring shown = CWindowManagerUI::ReplaceLanguageTokens(text);
    HFONT font = manager ? manager->FontById(fontId) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = SetTextColor(dc, ToColorRef(colour));
    {
        CSelectScope select(dc, font);
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect, format | DT_NOPREFIX);
    }
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
}

namespace {

// One piece of laid-out markup: a stretch of text in one style, or an image.
struct Run {
    std::wstring text;
    HFONT font = nullptr;
    DWORD colour = 0;
    bool opaque = false;
    ImageEntry* image = nullptr;
    int link = -1;
    int line = 0;
    int x = 0;
    int width = 0;
    int ascent = 0;
    int descent = 0;
};

struct Line {
    int width = 0;
    int ascent = 0;
    int descent = 0;
    int fixedHeight = 0;   // from <y>, 0 when the content decides
    int spaceBefore = 0;   // from <p n>
    int top = 0;
    int Height() const { return fixedHeight > 0 ? fixedHeight : ascent + descent; }
};

// Fonts derived by the markup (bold, underline, faces) for one call; equal
// descriptions share one font, and a hostile text cannot make unbounded
// numbers of them.
class CMarkupFonts {
public:
    explicit CMarkupFonts(HDC dc) : m_dc(dc) {}
    ~CMarkupFonts()
    {
        for (auto& f : m_fonts) DeleteObject(f.second);
    }
    CMarkupFonts(const CMarkupFonts&) = delete;
    CMarkupFonts& operator=(const CMarkupFonts&) = delete;

    HFONT Get(const LOGFONTW& lf, HFONT fallback)
    {
        std::string key(reinterpret_cast<const char*>(&lf), sizeof lf);
        auto it = m_fonts.find(key);
        if (it != m_fonts.end()) return it->second;
        if (m_fonts.size() >= kMaxFonts) return fallback;
        HFONT font = CreateFontIndirectW(&lf);
        if (!font) return fallback;
        m_fonts.emplace(std::move(key), font);
        return font;
    }
    // Asked for every word, so each font is measured once per call.
    void Metrics(HFONT font, int& ascent, int& descent)
    {
        auto it = m_metrics.find(font);
        if (it == m_metrics.end()) {
            CSelectScope select(m_dc, font);
            TEXTMETRICW tm{};
            GetTextMetricsW(m_dc, &tm);
            it = m_metrics.emplace(font, std::make_pair(static_cast<int>(tm.tmAscent),
                                                        static_cast<int>(tm.tmDescent))).first;
        }
        ascent = it->second.first;
        descent = it->second.second;
    }
    int Width(HFONT font, const std::wstring& text)
    {
        if (text.empty()) return 0;
        CSelectScope select(m_dc, font);
        SIZE size{};
        GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }
    // How many leading characters of text fit into width (at least one).
    size_t Fit(HFONT font, const std::wstring& text, int width)
    {
        CSelectScope select(m_dc, font);
        INT fit = 0;
        SIZE size{};
        GetTextExtentExPointW(m_dc, text.c_str(), static_cast<int>(text.size()), std::max(width, 0), &fit,
                              nullptr, &size);
        return std::max<size_t>(1, static_cast<size_t>(fit));
    }

private:
    static constexpr size_t kMaxFonts = 64;
    HDC m_dc;
    std::map<std::string, HFONT> m_fonts;
    std::map<HFONT, std::pair<int, int>> m_metrics;
};

bool IsTagLetter(wchar_t c) { return c >= L'a' && c <= L'z'; }

int ReadNumber(const std::wstring& s) { return value_syntax::ParseInt(s); }

// "Arial 12 bold underline italic": the face is what remains of the words.
void ApplyFaceSpec(const std::wstring& faceText, LOGFONTW& lf)
{
    std::wstring face;
    size_t pos = 0;
    while (pos < faceText.size()) {
        while (pos < faceText.size() && faceText[pos] == L' ') ++pos;
        size_t end = faceText.find(L' ', pos);
        if (end == std::wstring::npos) end = faceText.size();
        std::wstring word = faceText.substr(pos, end - pos);
        pos = end;
        if (word.empty()) continue;
        if (word == L"bold") lf.lfWeight = FW_BOLD;
        else if (word == L"underline") lf.lfUnderline = TRUE;
        else if (word == L"italic") lf.lfItalic = TRUE;
        else if (word[0] >= L'0' && word[0] <= L'9') lf.lfHeight = -std::min(ReadNumber(word), 1000);
        else face += (face.empty() ? L"" : L" ") + word;
    }
    if (!face.empty()) {
        size_t n = std::min(face.size(), static_cast<size_t>(LF_FACESIZE - 1));
        wmemcpy(lf.lfFaceName, face.data(), n);
        lf.lfFaceName[n] = L'\0';
    }
}

}  // namespace

void CDrawKit::DrawMarkupText(HDC dc, CWindowManagerUI* manager, RECT& rect, const std::wstring& text,
                              DWORD colour, RECT* links, std::wstring* linkTexts, int& linkCount, UINT format)
{
    const int linkCapacity = (links && linkCount > 0) ? linkCount : 0;
    linkCount = 0;
    if (!dc || text.empty()) return;
    const std::wstring source = CWindowManagerUI::ReplaceLanguageTokens(text);
    const bool wrap = (format & DT_SINGLELINE) == 0;
    const int maxWidth = std::max<int>(0, rect.right - rect.left);

    CMarkupFonts fonts(dc);
    HFONT baseFont = manager ? manager->DefaultFontEntry()->font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    std::vector<HFONT> fontStack{baseFont};
    std::vector<DWORD> colourStack{colour};
    std::vector<int> linkStack;
    std::vector<std::wstring> linkTargets;
    std::vector<ImageEntry*> images;
    bool opaque = false;
    std::vector<Run> runs;
    std::vector<Line> lines(1);

    // Pass 1: tags into styles, text into runs placed on lines.
    int x = 0;
    auto newLine = [&]() {
        lines.emplace_back();
        x = 0;
    };
    auto place = [&](Run run) {
        run.line = static_cast<int>(lines.size()) - 1;
        run.x = x;
        x += run.width;
        Line& line = lines.back();
        line.width = std::max(line.width, x);
        line.ascent = std::max(line.ascent, run.ascent);
        line.descent = std::max(line.descent, run.descent);
        runs.push_back(std::move(run));
    };
    auto styledRun = [&](const std::wstring& piece) {
        Run run;
        run.text = piece;
        run.font = fontStack.back();
        run.colour = colourStack.back();
        run.opaque = opaque;
        run.link = linkStack.empty() ? -1 : linkStack.back();
        fonts.Metrics(run.font, run.ascent, run.descent);
        run.width = fonts.Width(run.font, piece);
        return run;
    };
    // Words wrap as a whole; a word wider than a line is cut where it must.
    auto addText = [&](const std::wstring& chunk) {
        size_t pos = 0;
        while (pos < chunk.size()) {
            if (chunk[pos] == L'\n') {
                newLine();
                ++pos;
                continue;
            }
            if (chunk[pos] == L'\r') {
                ++pos;
                continue;
            }
            size_t end = pos;
            const bool blank = chunk[pos] == L' ' || chunk[pos] == L'\t';
            while (end < chunk.size() && chunk[end] != L'\n' && chunk[end] != L'\r' &&
                   ((chunk[end] == L' ' || chunk[end] == L'\t') == blank))
                ++end;
            std::wstring piece = chunk.substr(pos, end - pos);
            pos = end;
            if (blank) {
                if (wrap && x == 0 && lines.size() > 1) continue;  // no blanks at the start of a wrapped line
                place(styledRun(piece));
                continue;
            }
            Run run = styledRun(piece);
            if (wrap && x > 0 && x + run.width > maxWidth) newLine();
            while (wrap && run.width > maxWidth && piece.size() > 1) {
                size_t fit = fonts.Fit(run.font, piece, maxWidth - x);
                if (fit >= piece.size()) break;
                place(styledRun(piece.substr(0, fit)));
                newLine();
                piece = piece.substr(fit);
                run = styledRun(piece);
            }
            place(std::move(run));
        }
    };
    auto derived = [&](auto change) {
        LOGFONTW lf{};
        GetObjectW(fontStack.back(), sizeof lf, &lf);
        change(lf);
        fontStack.push_back(fonts.Get(lf, fontStack.back()));
    };

    size_t i = 0;
    std::wstring plain;
    while (i < source.size()) {
        const wchar_t c = source[i];
        const wchar_t close = c == L'<' ? L'>' : L'}';
        if ((c == L'<' || c == L'{') && i + 2 < source.size()) {
            // A closing tag: bracket, slash, letter, bracket.
            if (source[i + 1] == L'/' && i + 3 < source.size() && IsTagLetter(source[i + 2]) &&
                source[i + 3] == close) {
                addText(plain);
                plain.clear();
                switch (source[i + 2]) {
                case L'b': case L'u': case L'f':
                    if (fontStack.size() > 1) fontStack.pop_back();
                    break;
                case L'c':
                    if (colourStack.size() > 1) colourStack.pop_back();
                    break;
                case L'a':
                    if (!linkStack.empty()) linkStack.pop_back();
                    if (colourStack.size() > 1) colourStack.pop_back();
                    break;
                default: break;
                }
                i += 4;
                continue;
            }
            const wchar_t letter = source[i + 1];
            const wchar_t after = source[i + 2];
            if (IsTagLetter(letter) && (after == L' ' || after == close)) {
                size_t end = source.find(close, i + 2);
                if (end != std::wstring::npos) {
                    addText(plain);
                    plain.clear();
                    std::wstring arg = after == L' ' ? source.substr(i + 3, end - i - 3) : std::wstring();
                    i = end + 1;
                    switch (letter) {
                    case L'a':
                        linkTargets.push_back(arg);
                        linkStack.push_back(static_cast<int>(linkTargets.size()) - 1);
                        colourStack.push_back(manager ? manager->GetDefaultLinkColor()
                                                      : CWindowManagerUI::ProcessDefaultLinkColor());
                        break;
                    case L'b': derived([](LOGFONTW& lf) { lf.lfWeight = FW_BOLD; }); break;
                    case L'u': derived([](LOGFONTW& lf) { lf.lfUnderline = TRUE; }); break;
                    case L'c': {
                        uint32_t value = 0;
                        // A colour tag without digits keeps the colour around it.
                        colourStack.push_back(value_syntax::ReadColor(arg, true, value) ? value : colourStack.back());
                        break;
                    }
                    case L'f':
                        if (!arg.empty() && arg[0] >= L'0' && arg[0] <= L'9')
                            fontStack.push_back(manager ? manager->FontById(ReadNumber(arg)) : fontStack.back());
                        else
                            derived([&](LOGFONTW& lf) { ApplyFaceSpec(arg, lf); });
                        break;
                    case L'i': {
                        if (!manager) break;
                        DescriptorFields f = ParseDescriptorText(arg);
                        if (f.file == arg && arg.find(L'=') != std::wstring::npos) break;
                        const wchar_t* type =
                            f.isResource && !f.resourceType.empty() ? f.resourceType.c_str() : nullptr;
                        if (ImageEntry* image = manager->FindOrLoadImage(f.file, type, f.mask)) {
                            images.push_back(image);
                            Run run;
                            run.image = image;
                            run.width = image->width;
                            run.ascent = image->height;
                            run.link = linkStack.empty() ? -1 : linkStack.back();
                            if (wrap && x > 0 && x + run.width > maxWidth) newLine();
                            place(std::move(run));
                        }
                        break;
                    }
                    case L'n': newLine(); break;
                    case L'p':
                        if (x > 0 || lines.size() > 1) newLine();
                        lines.back().spaceBefore = std::clamp(ReadNumber(arg), 0, 10000);
                        break;
                    case L'r': {
                        const wchar_t endTag[] = {c, L'/', L'r', close, 0};
                        size_t rawEnd = source.find(endTag, i);
                        if (rawEnd == std::wstring::npos) rawEnd = source.size();
                        addText(source.substr(i, rawEnd - i));
                        i = std::min(source.size(), rawEnd + 4);
                        break;
                    }
                    case L's': opaque = !opaque; break;
                    case L'x':
                        x += std::clamp(ReadNumber(arg), 0, 10000);
                        lines.back().width = std::max(lines.back().width, x);
                        break;
                    case L'y': lines.back().fixedHeight = std::clamp(ReadNumber(arg), 0, 10000); break;
                    default: break;  // unknown tags are skipped
                    }
                    continue;
                }
            }
        }
        plain += c;
        ++i;
    }
    addText(plain);

    // Pass 2: line positions, then the block's place in the rectangle.
    int total = 0, widest = 0;
    for (Line& line : lines) {
        total += line.spaceBefore;
        line.top = total;
        total += line.Height();
        widest = std::max(widest, line.width);
    }
    if (format & DT_CALCRECT) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + total;
        for (ImageEntry* image : images) manager->ReleaseImage(image);
        return;
    }
    int offsetY = rect.top;
    if (format & DT_VCENTER) offsetY += (rect.bottom - rect.top - total) / 2;
    else if (format & DT_BOTTOM) offsetY += rect.bottom - rect.top - total;
    auto lineLeft = [&](const Line& line) {
        if (format & DT_CENTER) return static_cast<int>(rect.left) + (maxWidth - line.width) / 2;
        if (format & DT_RIGHT) return static_cast<int>(rect.right) - line.width;
        return static_cast<int>(rect.left);
    };

    // Pass 3: drawing, clipped to the rectangle, and the link rectangles.
    ClipScope clip;
    ClipToRect(dc, rect, clip);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldText = GetTextColor(dc);
    const COLORREF oldBack = GetBkColor(dc);
    const DWORD selection = manager ? manager->GetDefaultSelectionColor()
                                    : CWindowManagerUI::ProcessDefaultSelectionColor();
    std::vector<std::pair<int, int>> linkKeys;  // (link, line) of each rectangle handed out
    for (const Run& run : runs) {
        const Line& line = lines[run.line];
        const int left = lineLeft(line) + run.x;
        const int baseline = offsetY + line.top + line.ascent;
        const int top = baseline - run.ascent;
        if (run.image) {
            RECT dest{left, top, left + run.width, top + run.ascent};
            RECT src{0, 0, run.image->width, run.image->height};
            DrawBitmap(dc, run.image->bitmap, dest, rect, src, RECT{0, 0, 0, 0}, run.image->hasAlpha);
        } else {
            CSelectScope select(dc, run.font);
            SetTextColor(dc, ToColorRef(run.colour));
            SetBkMode(dc, run.opaque ? OPAQUE : TRANSPARENT);
            if (run.opaque) SetBkColor(dc, ToColorRef(selection));
            TextOutW(dc, left, top, run.text.c_str(), static_cast<int>(run.text.size()));
        }
        if (run.link < 0 || linkCapacity == 0) continue;
        RECT box{left, offsetY + line.top, left + run.width, offsetY + line.top + line.Height()};
        auto key = std::make_pair(run.link, run.line);
        auto found = std::find(linkKeys.begin(), linkKeys.end(), key);
        if (found != linkKeys.end()) {
            RECT& r = links[found - linkKeys.begin()];
            UnionRect(&r, &r, &box);
        } else if (linkCount < linkCapacity) {
            links[linkCount] = box;
            if (linkTexts) linkTexts[linkCount] = linkTargets[run.link];
            linkKeys.push_back(key);
            ++linkCount;
        }
    }
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    SetBkMode(dc, oldMode);
    for (ImageEntry* image : images) manager->ReleaseImage(image);
}
