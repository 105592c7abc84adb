#pragma once

// A small value handle on one element of a CXmlDocument. Attributes are
// found on first use by scanning the start tag that the parser terminated
// in place. The document must outlive every node taken from it.

#include <cstddef>
#include <cstdint>

class CXmlDocument;

class CXmlNode {
public:
    static const int kMaxAttributes = 64;

    CXmlNode() = default;

    bool IsValid() const { return m_document != nullptr; }
    const wchar_t* Name() const;
    // Character offset of the element's name in the document text (lines
    // of a checker's messages are counted from it); 0 for an invalid node.
    size_t Position() const;
    // The element's text content, empty for an empty element.
    const wchar_t* Value() const;
    CXmlNode FirstChild() const;
    CXmlNode NextSibling() const;
    bool HasChildren() const;
    bool HasAttributes() const;

    int AttributeCount() const;
    // An empty string for an index out of range.
    const wchar_t* AttributeName(int index) const;
    const wchar_t* AttributeValue(int index) const;
    // Case-sensitive; copies at most capacity - 1 characters (the skins'
    // callers pass a buffer of 500) and terminates the copy.
    bool FindAttribute(const wchar_t* name, wchar_t* buffer, size_t capacity = 500) const;

private:
    friend class CXmlDocument;
    CXmlNode(const CXmlDocument* document, uint32_t index) : m_document(document), m_index(index) {}
    void ScanAttributes() const;

    const CXmlDocument* m_document = nullptr;
    uint32_t m_index = 0;
    mutable bool m_scanned = false;
    mutable int m_count = 0;
    mutable uint32_t m_attributes[kMaxAttributes][2] = {};   // name and value positions
};
