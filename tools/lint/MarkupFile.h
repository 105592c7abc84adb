#pragma once

// One skin markup file parsed by the toolkit's own parser, with the line of
// every element and attribute for the lint's messages.

#include "ui/core/XmlDocument.h"

#include <string>
#include <vector>

namespace lint {

class CMarkupFile {
public:
    // False when the file cannot be read or does not parse; then
    // FailureLine and FailureMessage say where and why.
    bool Load(const std::string& path);

    const CXmlDocument& Document() const { return m_document; }
    int FailureLine() const { return m_failureLine; }
    const std::string& FailureMessage() const { return m_failureMessage; }

    int LineOf(const CXmlNode& node) const;
    int LineOfAttribute(const CXmlNode& node, int index) const;

private:
    int LineOfPosition(size_t position) const;

    CXmlDocument m_document;
    std::vector<size_t> m_lineStarts;   // character offsets of each line's start
    int m_failureLine = 0;
    std::string m_failureMessage;
};

}  // namespace lint
