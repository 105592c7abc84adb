#pragma once

#include <string>

// Steps of setup.exe's start-up, kept out of the entry point so that the
// tests run exactly what the program runs. wWinMain calls them in its
// fixed order; each says which step it is.

// Before anything else: DLLs loaded by name from now on come from the
// system folder only, never from the folder that holds setup.exe (often a
// downloads folder other programs write to). The imports that are not
// system-known DLLs are delay-loaded for the same reason, so they are
// resolved only after this has run.
void RestrictDllSearch();

// Steps 3 to 6: the product folder name, the log, the dump folder copy and
// the crash handling, in this order.
void StartDiagnostics(const std::wstring& productFolderName);

// Step 12: the skin archive resource for a primary screen this many pixels
// wide: 130 below 2880, 138 from 2880 on.
int SkinArchiveForScreenWidth(int width);
