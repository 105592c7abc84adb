// Markup from outside: any bytes must load or fail with a message, never
// read or write outside the text, loop forever or exhaust the stack. The
// bytes are decoded the same whether ASCII goes the fast way or not.
#include "base/StringConvert.h"
#include "ui/core/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

size_t Walk(CXmlNode root)
{
    // Iterative, so that the walk itself cannot be what runs out of stack.
    size_t seen = 0;
    std::vector<CXmlNode> pending{root};
    wchar_t buffer[500];
    while (!pending.empty()) {
        CXmlNode node = pending.back();
        pending.pop_back();
        for (; node.IsValid(); node = node.NextSibling()) {
            seen += wcslen(node.Name()) + wcslen(node.Value());
            int count = node.AttributeCount();
            if (count > CXmlNode::kMaxAttributes) __builtin_trap();
            for (int i = 0; i < count; ++i) {
                const wchar_t* name = node.AttributeName(i);
                seen += wcslen(name) + wcslen(node.AttributeValue(i));
                if (!node.FindAttribute(name, buffer)) __builtin_trap();
                if (wcslen(buffer) > 499) __builtin_trap();
            }
            node.AttributeName(count);
            if (node.HasChildren()) pending.push_back(node.FirstChild());
        }
    }
    return seen;
}

// Each ASCII byte is one unit wherever it stands, and a run without ASCII
// decodes alone as it does among the rest (an ASCII byte never continues
// a sequence), so the pieces must add up to the whole.
void CheckDecoding(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    std::vector<wchar_t> whole(size + 1), pieces;
    whole.resize(Utf8ToWide(bytes, size, whole.data()));
    for (size_t i = 0; i < size;) {
        if (data[i] < 0x80) {
            pieces.push_back(static_cast<wchar_t>(data[i++]));
            continue;
        }
        size_t end = i;
        while (end < size && data[end] >= 0x80) ++end;
        const std::wstring run = Utf8ToWide(std::string(bytes + i, end - i));
        pieces.insert(pieces.end(), run.begin(), run.end());
        i = end;
    }
    if (whole != pieces) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckDecoding(data, size);
    CXmlDocument document;
    if (document.LoadBytes(data, size)) {
        if (!document.Root().IsValid()) __builtin_trap();
        Walk(document.Root());
    } else {
        if (document.IsLoaded() || document.ErrorMessage()[0] == 0) __builtin_trap();
        if (wcslen(document.ErrorMessage()) > 99 || wcslen(document.ErrorLocation()) > 49) __builtin_trap();
    }
    return 0;
}
