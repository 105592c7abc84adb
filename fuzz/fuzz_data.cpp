// data.json: any text loads or fails cleanly; what loads carries only a
// plain device id and survives a save and a second load unchanged.
#include "state/DataDocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PersistedData loaded;
    bool refused = false;
    if (!ReadDataDocument(std::string(reinterpret_cast<const char*>(data), size), loaded, refused)) {
        if (!loaded.deviceId.empty() || !loaded.installFilePath.empty() || !loaded.softwareVersion.empty())
            __builtin_trap();
        return 0;
    }
    if (!loaded.deviceId.empty() && !IsPlainIdentifier(loaded.deviceId)) __builtin_trap();

    PersistedData again;
    bool refusedAgain = false;
    if (!ReadDataDocument(WriteDataDocument(loaded), again, refusedAgain) || refusedAgain) __builtin_trap();
    if (again.deviceId != loaded.deviceId || again.installFilePath != loaded.installFilePath ||
        again.softwareVersion != loaded.softwareVersion)
        __builtin_trap();
    return 0;
}
