#include "ui/core/XmlDocument.h"

#include "ui/core/CodePage.h"
#include "ui/core/SkinSource.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Skin files above this size are refused rather than parsed.
const uint32_t kMaxSkinFileSize = 4 * 1024 * 1024;

bool IsWhitespace(wchar_t c) { return static_cast<unsigned long>(c) - 1 < 32; }

// Letters, digits, '_' and ':' of the ASCII range.
struct NameChars {
    bool ascii[0x80] = {};
    constexpr NameChars()
    {
        for (int c = 0; c < 0x80; ++c)
            ascii[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':';
    }
};
constexpr NameChars kNameChars;

bool IsNameChar(wchar_t c)
{
    // Names are nearly always ASCII; only the rest asks the platform.
    const uint32_t unit = static_cast<uint32_t>(c);
    if (unit < 0x80) return kNameChars.ascii[unit];
    if (c < 0x80) return false;   // a negative 32-bit unit
    return iswalnum(static_cast<wint_t>(c)) != 0;
}

wchar_t* SkipName(wchar_t* p)
{
    while (IsNameChar(*p)) ++p;
    return p;
}

void SkipWhitespace(wchar_t*& p)
{
    while (IsWhitespace(*p)) ++p;
}

// A value scan reads sixteen bytes of units at a time, so the text buffer
// ends with that many more terminators beyond the text's own: a scan may
// then read one vector past any unit it has not yet passed.
const size_t kUnitsPerVector = 16 / sizeof(wchar_t);
const size_t kTextPadding = kUnitsPerVector;

#if defined(__SSE2__)
__m128i Splat(wchar_t c)
{
    return sizeof(wchar_t) == 2 ? _mm_set1_epi16(static_cast<short>(c)) : _mm_set1_epi32(static_cast<int>(c));
}

__m128i Equal(__m128i a, __m128i b) { return sizeof(wchar_t) == 2 ? _mm_cmpeq_epi16(a, b) : _mm_cmpeq_epi32(a, b); }
#else
// The units that stop a value scan, as bits of a mask over the first 64
// units: the end of the text, an ampersand and the value's terminator.
uint64_t StopMask(wchar_t terminator)
{
    return 1u | (uint64_t{1} << L'&') | (uint64_t{1} << static_cast<uint32_t>(terminator));
}

bool Stops(wchar_t c, uint64_t stops)
{
    const uint32_t unit = static_cast<uint32_t>(c);
    return unit < 64 && ((stops >> unit) & 1) != 0;
}
#endif

// The first unit at or after p that stops the scan. Values are most of the
// text, so a vector of units is looked at per round where the processor
// has one, else four units.
wchar_t* ScanValue(wchar_t* p, wchar_t terminator)
{
#if defined(__SSE2__)
    const __m128i ampersand = Splat(L'&'), end = Splat(terminator), zero = _mm_setzero_si128();
    for (;; p += kUnitsPerVector) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(Equal(units, ampersand), Equal(units, end)), Equal(units, zero));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
        if (mask) return p + __builtin_ctz(mask) / sizeof(wchar_t);
    }
#else
    const uint64_t stops = StopMask(terminator);
    for (;; p += 4) {
        if (Stops(p[0], stops)) return p;
        if (Stops(p[1], stops)) return p + 1;
        if (Stops(p[2], stops)) return p + 2;
        if (Stops(p[3], stops)) return p + 3;
    }
#endif
}

// The character of one of the five entities that follows the ampersand at
// p, with the entity's length after the ampersand; 0 for anything else.
// Each comparison stops at the first difference, so none reads past a
// terminator.
wchar_t DecodeEntity(const wchar_t* p, size_t& length)
{
    wchar_t value = 0;
    if (p[1] == L'a' && p[2] == L'm' && p[3] == L'p' && p[4] == L';') {
        value = L'&';
        length = 4;
    } else if (p[1] == L'l' && p[2] == L't' && p[3] == L';') {
        value = L'<';
        length = 3;
    } else if (p[1] == L'g' && p[2] == L't' && p[3] == L';') {
        value = L'>';
        length = 3;
    } else if (p[1] == L'q' && p[2] == L'u' && p[3] == L'o' && p[4] == L't' && p[5] == L';') {
        value = L'"';
        length = 5;
    } else if (p[1] == L'a' && p[2] == L'p' && p[3] == L'o' && p[4] == L's' && p[5] == L';') {
        value = L'\'';
        length = 5;
    }
    return value;
}

// Skips a comment or declaration that starts at p: "<!" runs to the next
// "->", "<?" to the next "?>"; without one the rest of the text goes.
void SkipDeclaration(wchar_t*& p, wchar_t kind)
{
    const wchar_t first = kind == L'!' ? L'-' : L'?';
    p += 2;
    while (*p && !(p[0] == first && p[1] == L'>')) ++p;
    if (*p) p += 2;
    SkipWhitespace(p);
}

// Decodes the value from its first ampersand at p up to the terminator;
// true when decoding shortened it (the terminator then follows the decoded
// text and the freed part is blank). Kept apart from PassValue, so that the
// plain values which are nearly all of them take no call.
__attribute__((noinline)) bool DecodeValue(wchar_t*& p, wchar_t terminator)
{
    // From the first ampersand on each decoded entity moves the rest of the
    // value left.
    wchar_t* out = p;
    while (*p == L'&') {
        size_t length = 0;
        if (wchar_t value = DecodeEntity(p, length)) {
            *out++ = value;
            p += 1 + length;
        } else {
            *out++ = *p++;
        }
        if (out == p) {
            out = p = ScanValue(p, terminator);
            continue;
        }
        // Behind a decoded entity the runs are short: one pass moves them.
        for (wchar_t c = *p; c != L'&' && c != terminator && c != 0; c = *++p) *out++ = c;
    }
    if (out == p) return false;
    *out = 0;
    for (wchar_t* blank = out + 1; blank < p; ++blank) *blank = L' ';
    return true;
}

// Passes the value at p up to its terminator (or the end of the text) and
// decodes it in place; see DecodeValue for what shrunk tells.
wchar_t* PassValue(wchar_t* p, wchar_t terminator, bool& shrunk)
{
    // Nothing moves up to the first ampersand, so most values are only
    // scanned.
    p = ScanValue(p, terminator);
    shrunk = *p == L'&' && DecodeValue(p, terminator);
    return p;
}

}  // namespace

void CXmlDocument::Clear()
{
    m_text.reset();
    m_textLength = 0;
    m_elements.reset();
    m_count = 0;
    m_capacity = 0;
}

CXmlNode CXmlDocument::Root() const { return IsLoaded() ? CXmlNode(this, 1) : CXmlNode(); }

void CXmlDocument::SetError(const wchar_t* message)
{
    wcsncpy(m_errorMessage, message, 99);
    m_errorMessage[99] = 0;
    m_errorLocation[0] = 0;
    m_errorPosition = 0;
}

wchar_t* CXmlDocument::Failed(const wchar_t* message, const wchar_t* at)
{
    Fail(message, at);
    return nullptr;
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* at)
{
    SetError(message);
    size_t i = 0;
    for (; i < 49 && at && at[i]; ++i) m_errorLocation[i] = at[i];
    m_errorLocation[i] = 0;
    if (at) m_errorPosition = Offset(at);
    return false;
}

bool CXmlDocument::LoadText(const wchar_t* text)
{
    Clear();
    if (!text) text = L"";
    const size_t length = wcslen(text);
    wmemcpy(AllocateText(length), text, length);
    return Parse();
}

bool CXmlDocument::LoadBytes(const void* bytes, size_t length, int /*encoding*/)
{
    Clear();
    const char* data = static_cast<const char*>(bytes);
    if (!data) length = 0;
    if (length >= 3 && static_cast<unsigned char>(data[0]) == 0xEF &&
        static_cast<unsigned char>(data[1]) == 0xBB && static_cast<unsigned char>(data[2]) == 0xBF) {
        data += 3;
        length -= 3;
    }
    // Decoding may write fewer units than bytes; the text ends after them.
    wchar_t* text = AllocateText(length);
    m_textLength = codepage::DecodeUtf8(data, length, text);
    text[m_textLength] = 0;
    return Parse();
}

bool CXmlDocument::LoadSkinFile(const std::wstring& name, int encoding)
{
    Clear();
    std::string bytes;
    const wchar_t* failure = nullptr;
    if (!CSkinSource::Process().Read(name, kMaxSkinFileSize, bytes, &failure)) {
        SetError(failure ? failure : L"Error opening file");
        return false;
    }
    return LoadBytes(bytes.data(), bytes.size(), encoding);
}

wchar_t* CXmlDocument::AllocateText(size_t units)
{
    m_text.reset(new wchar_t[units + 1 + kTextPadding]);
    std::fill_n(m_text.get() + units, 1 + kTextPadding, L'\0');
    m_textLength = units;
    return m_text.get();
}

uint32_t CXmlDocument::AppendElement(uint32_t namePosition, uint32_t parent)
{
    if (m_count == m_capacity) {
        const size_t capacity = m_capacity + m_capacity / 2 + 500;
        void* grown = std::realloc(m_elements.get(), capacity * sizeof(XmlElementRecord));
        if (!grown) throw std::bad_alloc();
        m_elements.release();
        m_elements.reset(static_cast<XmlElementRecord*>(grown));
        m_capacity = capacity;
    }
    m_elements[m_count] = XmlElementRecord{namePosition, 0, 0, parent, 0};
    return static_cast<uint32_t>(m_count++);
}

bool CXmlDocument::Parse()
{
    m_errorMessage[0] = 0;
    m_errorLocation[0] = 0;
    m_errorPosition = 0;
    // Entry 0 is a placeholder so that index 0 can mean "none".
    AppendElement(0, 0);
    wchar_t* p = ParseSequence(m_text.get(), 0, 0);
    bool parsed = p != nullptr;
    if (parsed && m_count < 2) parsed = Fail(L"Expected start tag", p);
    if (!parsed) Clear();
    return parsed;
}

// The element sequence below parent, in the passes of the markup grammar;
// returns where it ends, or null when it fails. The position is a local
// value in each function, which the compiler keeps in a register.
wchar_t* CXmlDocument::ParseSequence(wchar_t* p, uint32_t parent, unsigned depth)
{
    // The end of the text may stand for the end tags of the root and of
    // its direct children; deeper elements must be closed.
    const bool mayEnd = parent <= 1;
    uint32_t previous = 0;
    for (;;) {
        // 1. Whitespace, then a tag or the end.
        SkipWhitespace(p);
        if (*p == 0) {
            if (mayEnd) return p;
            return Failed(L"Expected start tag", p);
        }
        if (*p != L'<') return Failed(L"Expected start tag", p);
        // 2. An end tag closes the sequence; the parent reads it.
        if (p[1] == L'/') return p;
        // The '<' ends the text content before it.
        wchar_t kind = p[1];
        *p = 0;
        // 3. Comments and declarations are skipped.
        if (kind == L'!' || kind == L'?') {
            SkipDeclaration(p, kind);
            continue;
        }
        if (depth >= kMaxDepth) return Failed(L"Elements nested too deeply", p + 1);

        // 4. Start tag: the name, then the attributes.
        ++p;
        SkipWhitespace(p);
        wchar_t* name = p;
        p = SkipName(p);
        if (p == name) return Failed(L"Error parsing element name", p);
        wchar_t* nameEnd = p;
        const size_t nameLength = static_cast<size_t>(nameEnd - name);

        // 5. The record, linked to its parent or its elder sibling.
        uint32_t index = AppendElement(Offset(name), parent);
        if (previous) m_elements[previous].nextSibling = index;
        else if (parent) m_elements[parent].firstChild = index;
        previous = index;

        p = ParseAttributes(p);
        if (!p) return nullptr;
        if (p[0] == L'/' && p[1] == L'>') {
            // An empty element: its value is the terminated '/'.
            m_elements[index].valuePosition = Offset(p);
            p[0] = 0;
            *nameEnd = 0;
            p += 2;
            continue;
        }
        if (*p != L'>') return Failed(L"Expected start-tag closing", p);
        *nameEnd = 0;
        ++p;
        m_elements[index].valuePosition = Offset(p);

        // 6. Text content, then the children, then the end tag.
        bool shrunk;
        p = PassValue(p, L'<', shrunk);
        if (*p == 0) {
            if (parent <= 1) continue;
            return Failed(L"Expected end-tag start", p);
        }
        if (p[1] != L'/') {
            p = ParseSequence(p, index, depth + 1);
            if (!p) return nullptr;
            if (*p == 0) continue;
        }
        *p = 0;
        p += 2;
        // The names differ at the first unequal unit; a terminator in the
        // end tag is one, since the start tag's name holds none.
        for (size_t i = 0; i < nameLength; ++i) {
            if (p[i] != name[i]) return Failed(L"Unmatched closing tag", p);
        }
        p += nameLength;
        SkipWhitespace(p);
        if (*p != L'>') return Failed(L"Unmatched closing tag", p);
        ++p;
        // 7. Anything but a tag after this element is caught at pass 1.
    }
}

wchar_t* CXmlDocument::ParseAttributes(wchar_t* p)
{
    for (;;) {
        SkipWhitespace(p);
        if (*p == 0 || *p == L'>' || *p == L'/') return p;
        wchar_t* nameEnd = SkipName(p);
        // A nameless attribute would end the lazy scan of CXmlNode early
        // and hide every attribute after it, so it is refused outright.
        if (nameEnd == p) return Failed(L"Error while parsing attributes", p);
        p = nameEnd;
        SkipWhitespace(p);
        if (*p != L'=') return Failed(L"Error while parsing attributes", p);
        // The lazy scan of CXmlNode reads a terminated name followed by
        // blanks and the opening quote.
        *p++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(p);
        if (*p != L'"') return Failed(L"Expected attribute value", p);
        ++p;
        bool shrunk;
        p = PassValue(p, L'"', shrunk);
        if (*p == 0) return Failed(L"Error while parsing attribute string", p);
        // A decoded value already carries its terminator; the quote then
        // becomes a blank so that the scan steps over it.
        *p++ = shrunk ? L' ' : 0;
    }
}
