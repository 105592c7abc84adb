#include "app/ResourceFile.h"

#include <cstdio>

void WriteResourceToFile(const std::wstring& path, HRSRC resource)
{
    if (!resource) return;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = SizeofResource(nullptr, resource);
    if (!bytes) return;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return;
    bool complete = fwrite(bytes, 1, size, file) == size;
    complete = fclose(file) == 0 && complete;
    if (!complete) DeleteFileW(path.c_str());
    // Resources of a module are released with the module itself.
}
