// Native libFuzzer entry for the skin value syntax (the one reader of
// numbers, lists and colours) and the image descriptor pairs built on it,
// which need no Windows header. Input bytes are read as UTF-16LE code units, as
// skin text is wide.
#include "ui/core/DescriptorGrammar.h"
#include "ui/core/ValueSyntax.h"
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    DescriptorFields f = ParseDescriptorText(text);
    uint32_t c;
    int n;
    value_syntax::ReadColor(text, false, c);
    value_syntax::ReadInt(text, n);
    value_syntax::ParseBool(text);
    value_syntax::ParseInt(text);
    value_syntax::ParseIntList(text);
    value_syntax::ParseFractionList(text);
    value_syntax::ParseColor(text, true);
    // A fade outside 0..255 would be a parser fault; make it a crash.
    if (f.fade < 0 || f.fade > 255) __builtin_trap();
    return 0;
}
