#pragma once

#include <string>

// The folder, relative to the executable's, from which the application
// windows read loose skin files when the configuration turns the skin
// archive off: "resource\" beside the executable, else "..\resource", else
// none. Empty while the archive is in use. Worked out once per process.
std::wstring ApplicationSkinFolder();

// The rule itself, for a given executable folder (ending with a backslash).
std::wstring FindSkinFolder(bool fromArchive, const std::wstring& exeFolder);
