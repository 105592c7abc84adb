#pragma once

#include <windows.h>

#include <string>

// Writes a found resource of this module to a file with one write, under a
// temporary name that is then moved into place, so the path either holds
// every byte of the resource or nothing: callers keep an existing file for
// good, and a cut or empty one would never be repaired. A file that cannot
// be opened is skipped silently. True when the path now holds the bytes.
bool WriteResourceToFile(const std::wstring& path, HRSRC resource);
