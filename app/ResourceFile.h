#pragma once

#include <windows.h>

#include <string>

// Writes a found resource of this module to a file with one write, under a
// temporary name that is then moved into place, so the path either holds
// every byte of the resource or nothing: callers keep an existing file for
// good, and a cut or empty one would never be repaired. A file that cannot
// be opened is skipped silently. True when the path now holds the bytes.
bool WriteResourceToFile(const std::wstring& path, HRSRC resource);

// The writer behind it: false, with nothing at path, for no bytes or any failure.
bool WriteFileWhole(const std::wstring& path, const void* bytes, size_t size);
