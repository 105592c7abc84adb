#include "tools/lint/MarkupFile.h"

#include "tools/lint/Files.h"
#include "ui/core/CodePage.h"

#include <algorithm>

namespace lint {

bool CMarkupFile::Load(const std::string& path)
{
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        m_failureLine = 0;
        m_failureMessage = "cannot be read";
        return false;
    }
    // The lines are counted on the same wide text the parser reads, so a
    // character offset of the parser is an offset here too.
    size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const std::wstring text = codepage::DecodeUtf8(bytes.data() + skip, bytes.size() - skip);
    m_lineStarts.assign(1, 0);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == L'\n') m_lineStarts.push_back(i + 1);
    if (m_document.LoadBytes(bytes.data(), bytes.size())) return true;
    m_failureLine = LineOfPosition(m_document.ErrorPosition());
    m_failureMessage = Utf8(m_document.ErrorMessage());
    const std::string at = Utf8(m_document.ErrorLocation());
    if (!at.empty()) m_failureMessage += " at \"" + at.substr(0, at.find('\n')) + "\"";
    return false;
}

int CMarkupFile::LineOfPosition(size_t position) const
{
    auto after = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), position);
    return static_cast<int>(after - m_lineStarts.begin());
}

int CMarkupFile::LineOf(const CXmlNode& node) const { return LineOfPosition(node.Position()); }

int CMarkupFile::LineOfAttribute(const CXmlNode& node, int index) const
{
    // Names and attribute texts are views into one buffer, so the distance
    // between them is a distance in the text.
    const wchar_t* name = node.Name();
    const wchar_t* attribute = node.AttributeName(index);
    if (!name || !attribute || attribute < name) return LineOf(node);
    return LineOfPosition(node.Position() + static_cast<size_t>(attribute - name));
}

}  // namespace lint
