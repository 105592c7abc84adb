#pragma once

#include <windows.h>

// Where the toolkit reads skin files from: the resource folder on disk, or
// one archive kept open for the process. UI thread only.
class ResourceLocation {
public:
    static void SetModuleInstance(HINSTANCE instance);
    static HINSTANCE GetModuleInstance();

    // The bytes are not copied: the caller keeps them alive for the process.
    static void UseSkinArchiveBytes(const void* bytes, unsigned length);
};
