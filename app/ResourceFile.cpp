#include "app/ResourceFile.h"

#include "base/FileReplace.h"

bool WriteResourceToFile(const std::wstring& path, HRSRC resource)
{
    if (!resource) return false;
    // Resources of a module are released with the module itself.
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    // A file that appeared meanwhile under the name is kept.
    return WriteFileWhole(path, bytes, SizeofResource(nullptr, resource), false);
}
