// Native libFuzzer entry for the skin value parsers (image descriptor
// pairs, integer and colour lists, the control attribute values), which
// need no Windows header. Input bytes are read as UTF-16LE code units, as
// skin text is wide.
#include "ui/controls/AttributeValues.h"
#include "ui/core/DescriptorGrammar.h"
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    DescriptorFields f = ParseDescriptorText(text);
    uint32_t c;
    ParseColorValue(text, c);
    ParseIntList(text, 8);
    attribute_values::ParseBool(text);
    attribute_values::ParseInt(text);
    attribute_values::ParseIntList(text);
    attribute_values::ParseFractionList(text);
    attribute_values::ParseColor(text, true);
    // A fade outside 0..255 would be a parser fault; make it a crash.
    if (f.fade < 0 || f.fade > 255) __builtin_trap();
    return 0;
}
