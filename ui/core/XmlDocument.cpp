#include "ui/core/XmlDocument.h"

#include "ui/core/CodePage.h"
#include "ui/core/SkinSource.h"

#include <cwchar>
#include <cwctype>

namespace {

// Skin files above this size are refused rather than parsed.
const uint32_t kMaxSkinFileSize = 4 * 1024 * 1024;

bool IsWhitespace(wchar_t c) { return static_cast<unsigned long>(c) - 1 < 32; }

bool IsNameChar(wchar_t c)
{
    // Names are nearly always ASCII; only the rest asks the platform.
    if (c < 0x80) {
        return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
               c == L':';
    }
    return iswalnum(static_cast<wint_t>(c)) != 0;
}

void SkipWhitespace(wchar_t*& p)
{
    while (IsWhitespace(*p)) ++p;
}

struct Entity {
    const wchar_t* text;   // after the ampersand
    size_t length;
    wchar_t value;
};

const Entity kEntities[] = {
    {L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''},
};

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

}  // namespace

void CXmlDocument::Clear()
{
    std::wstring().swap(m_text);
    std::vector<XmlElementRecord>().swap(m_elements);
    m_capacity = 0;
}

CXmlNode CXmlDocument::Root() const { return IsLoaded() ? CXmlNode(this, 1) : CXmlNode(); }

void CXmlDocument::SetError(const wchar_t* message)
{
    wcsncpy(m_errorMessage, message, 99);
    m_errorMessage[99] = 0;
    m_errorLocation[0] = 0;
}

bool CXmlDocument::Fail(const wchar_t* message, const wchar_t* at)
{
    SetError(message);
    size_t i = 0;
    for (; i < 49 && at && at[i]; ++i) m_errorLocation[i] = at[i];
    m_errorLocation[i] = 0;
    return false;
}

bool CXmlDocument::LoadText(const wchar_t* text)
{
    Clear();
    if (!text) text = L"";
    m_text.assign(text);
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
    m_text = codepage::DecodeUtf8(data, length);
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

uint32_t CXmlDocument::AppendElement(uint32_t namePosition, uint32_t parent)
{
    if (m_elements.size() == m_capacity) {
        m_capacity = m_capacity + m_capacity / 2 + 500;
        m_elements.reserve(m_capacity);
    }
    m_elements.push_back(XmlElementRecord{namePosition, 0, 0, parent, 0});
    return static_cast<uint32_t>(m_elements.size() - 1);
}

bool CXmlDocument::Parse()
{
    m_errorMessage[0] = 0;
    m_errorLocation[0] = 0;
    // Entry 0 is a placeholder so that index 0 can mean "none".
    AppendElement(0, 0);
    wchar_t* p = &m_text[0];
    bool parsed = ParseSequence(p, 0, 0);
    if (parsed && m_elements.size() < 2) parsed = Fail(L"Expected start tag", p);
    if (!parsed) Clear();
    return parsed;
}

// The element sequence below parent, in the passes of the markup grammar.
bool CXmlDocument::ParseSequence(wchar_t*& p, uint32_t parent, unsigned depth)
{
    // The end of the text may stand for the end tags of the root and of
    // its direct children; deeper elements must be closed.
    const bool mayEnd = parent <= 1;
    uint32_t previous = 0;
    for (;;) {
        // 1. Whitespace, then a tag or the end.
        SkipWhitespace(p);
        if (*p == 0) {
            if (mayEnd) return true;
            return Fail(L"Expected start tag", p);
        }
        if (*p != L'<') return Fail(L"Expected start tag", p);
        // 2. An end tag closes the sequence; the parent reads it.
        if (p[1] == L'/') return true;
        // The '<' ends the text content before it.
        wchar_t kind = p[1];
        *p = 0;
        // 3. Comments and declarations are skipped.
        if (kind == L'!' || kind == L'?') {
            SkipDeclaration(p, kind);
            continue;
        }
        if (depth >= kMaxDepth) return Fail(L"Elements nested too deeply", p + 1);

        // 4. Start tag: the name, then the attributes.
        ++p;
        SkipWhitespace(p);
        wchar_t* name = p;
        while (IsNameChar(*p)) ++p;
        if (p == name) return Fail(L"Error parsing element name", p);
        wchar_t* nameEnd = p;
        const size_t nameLength = static_cast<size_t>(nameEnd - name);

        // 5. The record, linked to its parent or its elder sibling.
        uint32_t index = AppendElement(Offset(name), parent);
        if (previous) m_elements[previous].nextSibling = index;
        else if (parent) m_elements[parent].firstChild = index;
        previous = index;

        if (!ParseAttributes(p)) return false;
        if (p[0] == L'/' && p[1] == L'>') {
            // An empty element: its value is the terminated '/'.
            m_elements[index].valuePosition = Offset(p);
            p[0] = 0;
            *nameEnd = 0;
            p += 2;
            continue;
        }
        if (*p != L'>') return Fail(L"Expected start-tag closing", p);
        *nameEnd = 0;
        ++p;
        m_elements[index].valuePosition = Offset(p);

        // 6. Text content, then the children, then the end tag.
        ParseValue(p, L'<');
        if (*p == 0) {
            if (parent <= 1) continue;
            return Fail(L"Expected end-tag start", p);
        }
        if (p[1] != L'/') {
            if (!ParseSequence(p, index, depth + 1)) return false;
            if (*p == 0) continue;
        }
        *p = 0;
        p += 2;
        if (wcsncmp(p, name, nameLength) != 0) return Fail(L"Unmatched closing tag", p);
        p += nameLength;
        SkipWhitespace(p);
        if (*p != L'>') return Fail(L"Unmatched closing tag", p);
        ++p;
        // 7. Anything but a tag after this element is caught at pass 1.
    }
}

bool CXmlDocument::ParseAttributes(wchar_t*& p)
{
    for (;;) {
        SkipWhitespace(p);
        if (*p == 0 || *p == L'>' || *p == L'/') return true;
        wchar_t* nameEnd = p;
        while (IsNameChar(*nameEnd)) ++nameEnd;
        // A nameless attribute would end the lazy scan of CXmlNode early
        // and hide every attribute after it, so it is refused outright.
        if (nameEnd == p) return Fail(L"Error while parsing attributes", p);
        p = nameEnd;
        SkipWhitespace(p);
        if (*p != L'=') return Fail(L"Error while parsing attributes", p);
        // The lazy scan of CXmlNode reads a terminated name followed by
        // blanks and the opening quote.
        *p++ = L' ';
        *nameEnd = 0;
        SkipWhitespace(p);
        if (*p != L'"') return Fail(L"Expected attribute value", p);
        ++p;
        bool shrunk = ParseValue(p, L'"');
        if (*p == 0) return Fail(L"Error while parsing attribute string", p);
        // A decoded value already carries its terminator; the quote then
        // becomes a blank so that the scan steps over it.
        *p++ = shrunk ? L' ' : 0;
    }
}

// Decodes the value in place up to the terminator; true when decoding
// shortened it (the terminator then follows the decoded text and the freed
// part is blank).
bool CXmlDocument::ParseValue(wchar_t*& p, wchar_t terminator)
{
    wchar_t* out = p;
    while (*p && *p != terminator) {
        if (*p == L'&') {
            bool decoded = false;
            for (const Entity& entity : kEntities) {
                if (wcsncmp(p + 1, entity.text, entity.length) == 0) {
                    *out++ = entity.value;
                    p += 1 + entity.length;
                    decoded = true;
                    break;
                }
            }
            if (decoded) continue;
        }
        *out++ = *p++;
    }
    if (out == p) return false;
    *out = 0;
    for (wchar_t* blank = out + 1; blank < p; ++blank) *blank = L' ';
    return true;
}
