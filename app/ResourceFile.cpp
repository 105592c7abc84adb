#include "app/ResourceFile.h"

#include <io.h>

#include <cstdio>

bool WriteFileWhole(const std::wstring& path, const void* bytes, size_t size)
{
    // An empty file would be kept for good by every later start.
    if (path.empty() || !bytes || size == 0) return false;
    // The bytes go under a name of their own first and take the real name
    // only once they are all on disk: a write cut short (a full disk, a
    // killed process) leaves nothing under the name that later starts trust.
    std::wstring temporary = path + L".tmp";
    FILE* file = _wfopen(temporary.c_str(), L"wb");
    if (!file) return false;
    bool complete = fwrite(bytes, 1, size, file) == size;
    complete = fflush(file) == 0 && _commit(_fileno(file)) == 0 && complete;
    complete = fclose(file) == 0 && complete;
    // A file that appeared meanwhile under the real name is kept.
    if (complete && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

bool WriteResourceToFile(const std::wstring& path, HRSRC resource)
{
    if (!resource) return false;
    // Resources of a module are released with the module itself.
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    return WriteFileWhole(path, bytes, SizeofResource(nullptr, resource));
}
