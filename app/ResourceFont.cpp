#include "app/ResourceFont.h"

#include <windows.h>

#include <shlwapi.h>

#include <string>

#include "app/ResourceFile.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"

namespace {
const int kFontResource = 134;
}

void RegisterResourceFont()
{
    // 1. and 2. A font file already in the data folder is used as it is.
    std::wstring folder = GetDataFolder();
    if (folder.empty()) {
        LOG_ERROR(L"failed to find the font file");
        return;
    }
    std::wstring path = folder + L"DIN-Regular.otf";
    if (!PathFileExistsW(path.c_str())) {
        WriteResourceToFile(path, FindResourceW(nullptr, MAKEINTRESOURCEW(kFontResource), RT_FONT));
        if (!PathFileExistsW(path.c_str())) {
            LOG_ERROR(L"failed to find the font file");
            return;
        }
    }
    // 3. Private to the process; the system drops it when the process ends.
    if (AddFontResourceExW(path.c_str(), FR_PRIVATE, nullptr) == 0) LOG_ERROR(L"failed to add font");
}
