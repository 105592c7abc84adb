// The UI settings document: any bytes read as groups of texts or fail,
// never throw, overrun or exhaust the stack.
#include "state/UiSettingDocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    UiSettingGroups groups;
    bool read = ReadUiSettingDocument(std::string(reinterpret_cast<const char*>(data), size), groups);
    size_t members = groups.texts.size() + groups.colors.size() + groups.links.size() + groups.others.size();
    // A document that did not parse contributes nothing.
    if (!read && members != 0) __builtin_trap();
    return 0;
}
