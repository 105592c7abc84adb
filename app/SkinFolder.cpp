#include "app/SkinFolder.h"

#include <windows.h>

#include "diagnostics/WorkFolders.h"
#include "state/SettingManager.h"

namespace {

bool IsFolder(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring FindSkinFolder(bool fromArchive, const std::wstring& exeFolder)
{
    if (fromArchive) return std::wstring();
    if (IsFolder(exeFolder + L"resource")) return L"resource\\";
    if (IsFolder(exeFolder + L"..\\resource")) return L"..\\resource";
    return std::wstring();
}

std::wstring ApplicationSkinFolder()
{
    // The three windows ask on every creation; the answer must not change
    // between them even if the folders do.
    static const std::wstring folder =
        FindSkinFolder(CSettingManager::GetInstance()->load_resource_from_zip(), GetExeFolder());
    return folder;
}
