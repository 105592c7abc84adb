#include "app/DesktopShortcut.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include "app/ComPointer.h"
#include "app/ResourceFile.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "state/UiSetting.h"

namespace {
const int kIconResource = 135;
// The shell link class, named here rather than taken from the uuid library:
// its one object holds every identifier the SDK knows, 35 KB of them.
const CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
}  // namespace

bool CreateDesktopShortcut() { return CreateDesktopShortcut(CUiSetting::GetInstance()->GetOther(L"快捷方式名字")); }

bool CreateDesktopShortcut(const std::wstring& shortcutName)
{
    // 1. The link object.
    CComPointer<IShellLinkW> link;
    HRESULT result = CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW),
                                      link.Receive());
    if (FAILED(result)) {
        LOG_ERROR(L"failed to create shell link instance, error: 0x%x", static_cast<unsigned>(result));
        return false;
    }

    // 2. It points at the running executable, wherever that is now.
    wchar_t exePath[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exePath, MAX_PATH);
    result = link->SetPath(exePath);
    if (FAILED(result)) {
        LOG_ERROR(L"failed to set the shortcut path, error: 0x%x", static_cast<unsigned>(result));
        return false;
    }

    // 3. The icon file is written once; one already there is kept. Without
    // a data folder the shortcut keeps the icon the shell picks.
    std::wstring dataFolder = GetDataFolder();
    if (dataFolder.empty()) {
        LOG_ERROR(L"failed to find the data folder, the shortcut gets no icon");
    } else {
        std::wstring iconPath = dataFolder + L"logo.ico";
        if (!PathFileExistsW(iconPath.c_str()))
            WriteResourceToFile(iconPath, FindResourceW(nullptr, MAKEINTRESOURCEW(kIconResource), L"BINARY"));

        // 4.
        result = link->SetIconLocation(iconPath.c_str(), 0);
        if (FAILED(result)) {
            LOG_ERROR(L"failed to set the shortcut icon, error: 0x%x", static_cast<unsigned>(result));
            return false;
        }
    }

    // 5.
    CComPointer<IPersistFile> persist;
    result = link->QueryInterface(__uuidof(IPersistFile), persist.Receive());
    if (FAILED(result)) {
        LOG_ERROR(L"failed to create persist file instance, error: 0x%x", static_cast<unsigned>(result));
        return false;
    }

    // 6. and 7. A fresh file on every start, so a moved executable is followed.
    // Without a desktop from the shell nothing is deleted or saved: the
    // path would otherwise start at the root of the current drive.
    wchar_t desktop[MAX_PATH] = {};
    result = SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop);
    if (result != S_OK || desktop[0] == 0) {
        LOG_ERROR(L"failed to find the desktop folder, error: 0x%x", static_cast<unsigned>(result));
        return false;
    }
    std::wstring shortcutPath = std::wstring(desktop) + L"\\" + shortcutName;
    DeleteFileW(shortcutPath.c_str());
    result = persist->Save(shortcutPath.c_str(), TRUE);
    if (FAILED(result)) {
        LOG_ERROR(L"failed to save the shortcut file, error: 0x%x", static_cast<unsigned>(result));
        return false;
    }
    return true;
}
