#include "base/FileReplace.h"

#include <windows.h>

#include <io.h>

#include <cstdio>

bool WriteFileWhole(const std::wstring& path, const void* bytes, size_t size, bool replaceExisting)
{
    // An empty file would be kept for good by every later start.
    if (path.empty() || !bytes || size == 0) return false;
    std::wstring temporary = path + L".tmp";
    FILE* file = _wfopen(temporary.c_str(), L"wb");
    if (!file) return false;
    bool complete = fwrite(bytes, 1, size, file) == size;
    complete = fflush(file) == 0 && _commit(_fileno(file)) == 0 && complete;
    complete = fclose(file) == 0 && complete;
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (complete && MoveFileExW(temporary.c_str(), path.c_str(), flags)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}
