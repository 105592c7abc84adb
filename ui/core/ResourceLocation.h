#pragma once

#include <windows.h>

#include <string>

// Where the toolkit reads skin files from: the resource folder on disk, or
// one archive kept open for the process. UI thread only.
class ResourceLocation {
public:
    static void SetModuleInstance(HINSTANCE instance);
    static HINSTANCE GetModuleInstance();

    // The bytes are not copied: the caller keeps them alive for the process.
    static void UseSkinArchiveBytes(const void* bytes, unsigned length);

    // The bytes of a skin file: the entry of that name in the archive in
    // use, or else the file of that name in the resource folder. False when
    // neither has it.
    static bool ReadSkinBytes(const std::wstring& name, std::string& bytes);

    // The bytes of a resource of the resource module (the process's module
    // when none is set). False when it is missing or empty.
    static bool ReadResourceBytes(const wchar_t* id, const wchar_t* type, std::string& bytes);
};
