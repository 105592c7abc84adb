#include "ui/core/XmlNode.h"

#include "ui/core/XmlDocument.h"

#include <cwchar>

namespace {

bool IsWhitespace(wchar_t c) { return static_cast<unsigned long>(c) - 1 < 32; }

}  // namespace

const wchar_t* CXmlNode::Name() const
{
    if (!m_document) return nullptr;
    return m_document->Text() + m_document->m_elements[m_index].namePosition;
}

size_t CXmlNode::Position() const
{
    return m_document ? m_document->m_elements[m_index].namePosition : 0;
}

const wchar_t* CXmlNode::Value() const
{
    if (!m_document) return nullptr;
    return m_document->Text() + m_document->m_elements[m_index].valuePosition;
}

CXmlNode CXmlNode::FirstChild() const
{
    if (!m_document) return CXmlNode();
    uint32_t child = m_document->m_elements[m_index].firstChild;
    return child ? CXmlNode(m_document, child) : CXmlNode();
}

CXmlNode CXmlNode::NextSibling() const
{
    if (!m_document) return CXmlNode();
    uint32_t next = m_document->m_elements[m_index].nextSibling;
    return next ? CXmlNode(m_document, next) : CXmlNode();
}

bool CXmlNode::HasChildren() const
{
    return m_document && m_document->m_elements[m_index].firstChild != 0;
}

bool CXmlNode::HasAttributes() const { return AttributeCount() > 0; }

int CXmlNode::AttributeCount() const
{
    if (!m_document) return 0;
    ScanAttributes();
    return m_count;
}

const wchar_t* CXmlNode::AttributeName(int index) const
{
    if (!m_document) return nullptr;
    ScanAttributes();
    if (index < 0 || index >= m_count) return L"";
    return m_document->Text() + m_attributes[index][0];
}

const wchar_t* CXmlNode::AttributeValue(int index) const
{
    if (!m_document) return nullptr;
    ScanAttributes();
    if (index < 0 || index >= m_count) return L"";
    return m_document->Text() + m_attributes[index][1];
}

bool CXmlNode::FindAttribute(const wchar_t* name, wchar_t* buffer, size_t capacity) const
{
    if (buffer && capacity) buffer[0] = 0;
    if (!m_document || !name) return false;
    ScanAttributes();
    const wchar_t* text = m_document->Text();
    for (int i = 0; i < m_count; ++i) {
        if (wcscmp(text + m_attributes[i][0], name) != 0) continue;
        if (buffer && capacity) {
            const wchar_t* value = text + m_attributes[i][1];
            size_t n = 0;
            for (; n + 1 < capacity && value[n]; ++n) buffer[n] = value[n];
            buffer[n] = 0;
        }
        return true;
    }
    return false;
}

// Walks the start tag as the parser left it: each name ends in a
// terminator, blanks follow, then the opening quote and a terminated value.
// The scan never passes the element's value position, which lies after the
// start tag.
void CXmlNode::ScanAttributes() const
{
    if (m_scanned) return;
    m_scanned = true;
    m_count = 0;
    const wchar_t* text = m_document->Text();
    const XmlElementRecord& element = m_document->m_elements[m_index];
    const wchar_t* limit = text + element.valuePosition;
    const wchar_t* p = text + element.namePosition;
    while (p < limit && *p) ++p;
    ++p;
    while (p < limit && m_count < kMaxAttributes) {
        while (p < limit && IsWhitespace(*p)) ++p;
        if (p >= limit || *p == 0 || *p == L'>' || *p == L'/') break;
        const wchar_t* name = p;
        while (p < limit && *p) ++p;
        if (p >= limit) break;
        ++p;
        while (p < limit && IsWhitespace(*p)) ++p;
        if (p >= limit || *p != L'"') break;
        ++p;
        const wchar_t* value = p;
        while (p < limit && *p) ++p;
        if (p >= limit) break;
        m_attributes[m_count][0] = static_cast<uint32_t>(name - text);
        m_attributes[m_count][1] = static_cast<uint32_t>(value - text);
        ++m_count;
        ++p;
    }
}
