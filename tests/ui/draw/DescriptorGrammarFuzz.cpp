// Native libFuzzer entry for the skin value parsers (descriptor pairs,
// integer lists, colours), which need no Windows header. Built on the host:
//   clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined \
//     -fno-sanitize-recover=all -I. tests/ui/draw/DescriptorGrammarFuzz.cpp \
//     ui/core/DescriptorGrammar.cpp -o build/descriptor_fuzz
// Input bytes are read as UTF-16LE code units, as skin text is wide.
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
    // A fade outside 0..255 would be a parser fault; make it a crash.
    if (f.fade < 0 || f.fade > 255) __builtin_trap();
    return 0;
}
