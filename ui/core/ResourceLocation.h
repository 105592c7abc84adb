#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Where the toolkit reads skin files and resources from: the resource
// folder on disk, or one archive kept open for the process, and the module
// whose resources it loads. The skin side is CSkinSource, shared with the
// markup loader. UI thread only.
class ResourceLocation {
public:
    // Every read of image bytes is held to the same 4 MiB as the markup: a
    // hostile archive or a stray large file must not make a read ask for
    // gigabytes.
    static constexpr uint32_t kMaxImageFileSize = 4 * 1024 * 1024;

    // The process's module, set once at start-up.
    static void SetModuleInstance(HINSTANCE instance);
    static HINSTANCE GetModuleInstance();
    // The module resources are loaded from; null means the process's module.
    static void SetResourceModule(HINSTANCE module);
    static HINSTANCE GetResourceModule();
    // The folder of the application's own file with a trailing '\'; empty
    // while no instance is set.
    static std::wstring GetModuleFolder();

    static void SetResourceFolder(const std::wstring& folder);
    static std::wstring GetResourceFolder();

    // Opens the archive of that name in the resource folder and keeps it.
    static void UseSkinArchive(const std::wstring& name);
    // The bytes are not copied: the caller keeps them alive for the process.
    // Only the first archive handed over in memory takes effect.
    static void UseSkinArchiveBytes(const void* bytes, unsigned length);

    // The bytes of a skin file: the entry of that name when an archive is in
    // use, otherwise the file of that name in the resource folder. False
    // when the place in use does not have it or it is empty.
    static bool ReadSkinBytes(const std::wstring& name, std::string& bytes);

    // Whether skin files come from an archive rather than the folder.
    static bool SkinFromArchive();

    // The bytes of a resource of the resource module (the process's module
    // when none is set). False when it is missing or empty.
    static bool ReadResourceBytes(const wchar_t* id, const wchar_t* type, std::string& bytes);
};
