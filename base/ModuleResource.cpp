#include "base/ModuleResource.h"

ModuleResource FindModuleResource(HMODULE module, const wchar_t* id, const wchar_t* type)
{
    ModuleResource resource;
    HRSRC found = FindResourceW(module, id, type);
    if (!found) return resource;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(module, found);
    if (data && size > 0) {
        resource.data = data;
        resource.size = size;
    }
    return resource;
}
