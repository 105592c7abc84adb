#pragma once

#include <windows.h>

#include <string>

// Writes a found resource of this module to a file with one write. A file
// that cannot be opened is skipped silently; one that could not be written
// completely is removed again, because callers keep an existing file for
// good and a cut one would never be repaired.
void WriteResourceToFile(const std::wstring& path, HRSRC resource);
