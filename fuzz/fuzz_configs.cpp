// configs.json: any joined text gives the two switches or the defaults,
// never an exception or a crash.
#include "state/SettingDocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SettingValues values;
    bool read = ReadSettingDocument(std::string(reinterpret_cast<const char*>(data), size), values);
    // A parse failure keeps both defaults.
    if (!read && (values.logLevel != 2 || !values.loadResourceFromZip)) __builtin_trap();
    return 0;
}
