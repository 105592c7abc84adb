// Markup from outside: any bytes must load or fail with a message, never
// read or write outside the text, loop forever or exhaust the stack.
#include "ui/core/XmlDocument.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
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
