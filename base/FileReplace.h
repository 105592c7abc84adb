#pragma once

#include <string>

// Writes bytes to a file under a temporary name beside it, forces them to
// the disk and only then moves them into place, so the path holds either
// all the bytes or what it held before: a write cut short (a full disk, a
// killed process, a power cut) never leaves a cut file under a name that
// later starts trust. Without replaceExisting a file that appeared under
// the name meanwhile is kept. False, with the temporary file gone, for no
// bytes or any failure.
bool WriteFileWhole(const std::wstring& path, const void* bytes, size_t size, bool replaceExisting);
