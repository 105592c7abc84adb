#pragma once

// A compact, in-place, non-validating XML parser for skin markup. The whole
// document is held as wide text that the parser rewrites (terminators after
// names and values, decoded entities); elements go into one growable table
// and every name and value is a view into the text. Builds without Windows
// headers.

#include "ui/core/XmlNode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

// Offsets into the text and indexes into the element table.
struct XmlElementRecord {
    uint32_t namePosition;
    uint32_t firstChild;    // 0 = none
    uint32_t nextSibling;   // 0 = none
    uint32_t parent;
    uint32_t valuePosition;
};

// Only UTF-8 is read; the argument is accepted for the callers' sake.
enum XmlEncoding { kXmlUtf8 = 1, kXmlUnicode = 2, kXmlAnsi = 3 };

class CXmlDocument {
public:
    // Markup nested deeper than this fails to load instead of exhausting
    // the stack of the parser or of the builders that walk the tree.
    static const unsigned kMaxDepth = 1000;

    CXmlDocument() = default;
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    bool LoadText(const wchar_t* text);
    bool LoadBytes(const void* bytes, size_t length, int encoding = kXmlUtf8);
    // Reads the file through the process's skin source (archive or folder).
    bool LoadSkinFile(const std::wstring& name, int encoding = kXmlUtf8);
    void Clear();

    bool IsLoaded() const { return m_count != 0; }
    // Characters of the loaded text.
    size_t TextLength() const { return IsLoaded() ? m_textLength : 0; }
    CXmlNode Root() const;
    const wchar_t* ErrorMessage() const { return m_errorMessage; }
    const wchar_t* ErrorLocation() const { return m_errorLocation; }
    // Character offset into the loaded text at which parsing failed, so a
    // checker can name the line; 0 when the failure came before parsing.
    size_t ErrorPosition() const { return m_errorPosition; }

    // The element table, placeholder included, and its reserved size.
    size_t ElementCount() const { return m_count; }
    size_t ElementCapacity() const { return m_capacity; }

private:
    friend class CXmlNode;

    // A fresh text buffer of units plus a terminator, left uninitialised:
    // the decoder writes every unit that the parser reads.
    wchar_t* AllocateText(size_t units);
    bool Parse();
    // Each returns where it stopped, or null when the markup is refused.
    wchar_t* ParseSequence(wchar_t* p, uint32_t parent, unsigned depth);
    wchar_t* ParseAttributes(wchar_t* p);
    uint32_t AppendElement(uint32_t namePosition, uint32_t parent);
    bool Fail(const wchar_t* message, const wchar_t* at);
    wchar_t* Failed(const wchar_t* message, const wchar_t* at);
    void SetError(const wchar_t* message);
    const wchar_t* Text() const { return m_text.get(); }
    uint32_t Offset(const wchar_t* p) const { return static_cast<uint32_t>(p - m_text.get()); }

    std::unique_ptr<wchar_t[]> m_text;   // its terminator ends the last value
    size_t m_textLength = 0;
    // The records are plain values in a block of the C heap, so that the
    // table grows in place where it can instead of being copied.
    struct FreeBlock {
        void operator()(void* block) const { std::free(block); }
    };
    std::unique_ptr<XmlElementRecord[], FreeBlock> m_elements;
    size_t m_count = 0;
    size_t m_capacity = 0;
    wchar_t m_errorMessage[100] = {};
    wchar_t m_errorLocation[50] = {};
    size_t m_errorPosition = 0;
};
