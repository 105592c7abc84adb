#pragma once

#include <windows.h>

#include <string>

// A resource of a module, found, loaded and locked. Resource memory stays
// valid as long as the module is loaded, so data may be kept without a copy.
struct ModuleResource {
    const void* data = nullptr;
    DWORD size = 0;

    bool Empty() const { return !data || size == 0; }
    std::string Bytes() const
    {
        return Empty() ? std::string() : std::string(static_cast<const char*>(data), size);
    }
};

// An empty result when the resource is missing, cannot be loaded or has no bytes.
ModuleResource FindModuleResource(HMODULE module, const wchar_t* id, const wchar_t* type);
