// Process entry: prepares the process in a fixed order and runs the windows.

#include <windows.h>

#include <gdiplus.h>

#include <string>

#include "app/DesktopShortcut.h"
#include "app/InstallWindow.h"
#include "app/MainWindow.h"
#include "app/ResourceFont.h"
#include "app/Startup.h"
#include "base/ModuleResource.h"
#include "diagnostics/Logger.h"
#include "state/DataManager.h"
#include "state/SettingManager.h"
#include "state/UiSetting.h"
#include "ui/core/ResourceLocation.h"

namespace {

// Hands the skin archive that suits the screen to the toolkit. The resource
// memory stays valid for the life of the process, so nothing is copied.
void UseSkinArchiveResource()
{
    int id = SkinArchiveForScreenWidth(GetSystemMetrics(SM_CXSCREEN));
    ModuleResource archive = FindModuleResource(nullptr, MAKEINTRESOURCEW(id), L"Zip");
    if (archive.Empty()) return;
    ResourceLocation::UseSkinArchiveBytes(archive.data, archive.size);
    LOG_INFO(L"successful to set ui zip resource");
}

void MakeDpiAware()
{
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    if (!user32) return;
    using SetDpiAware = BOOL(WINAPI*)();
    auto setAware = reinterpret_cast<SetDpiAware>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
    if (setAware) setAware();
    FreeLibrary(user32);
}

// A page of the sequence: no owner, centred on the screen, modal. `shown`,
// if given, runs once the page is painted and before it takes any input.
UINT RunTopLevelWindow(WindowImplBase& window, void (*shown)() = nullptr)
{
    window.Create(nullptr, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_EX_APPWINDOW);
    window.CenterOnOwner();
    if (shown) {
        // The page is painted now rather than when the loop first finds the
        // queue empty, so that the chore waits for the page, not the page
        // for the chore. A paint that asked for a new layout has asked for
        // another paint.
        for (int i = 0; i < 4 && GetUpdateRect(window, nullptr, FALSE); ++i) UpdateWindow(window);
        shown();
    }
    return window.RunModal();
}

// A failed shortcut is logged and never stops start-up.
void SaveDesktopShortcut() { CreateDesktopShortcut(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // Before anything can load a DLL by name.
    RestrictDllSearch();

    // 1. The product's settings come first: they name the mutex and the folders.
    CUiSetting* settings = CUiSetting::GetInstance();
    std::wstring appId = settings->GetOther(L"APPID");

    // 2. One running copy per application identifier. The handle is never
    // closed, so the guard lasts exactly as long as the process.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, appId.c_str());
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxW(nullptr, L"程序已经在运行", L"提示", MB_OK);
        return 0;
    }

    // 3. to 6. The working folder, the log and the crash handling.
    StartDiagnostics(L"Vantorie" + settings->GetOther(L"产品标识"));

    // 7. The configuration file sets how much the log records.
    CSettingManager* config = CSettingManager::GetInstance();
    g_pLogger->SetThreshold(config->log_level());

    // 8. and 9.
    MakeDpiAware();
    if (FAILED(CoInitialize(nullptr))) return 0;

    // 10. The desktop shortcut is saved once the product page is on the
    // screen (see 14): saving it costs 60-110 ms under Wine, almost all in
    // the shell's file save, and nothing before the page needs it. It stays
    // on this thread: on a thread of its own, that thread's apartment kept
    // 3 MB of private memory for the whole run.

    // 11. GDI+ stays up until the process ends.
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    RegisterResourceFont();
    ResourceLocation::SetModuleInstance(instance);

    // 12. Skins come from the archive resource unless the configuration says otherwise.
    if (config->load_resource_from_zip()) UseSkinArchiveResource();

    // 13. The data file and the identifiers, before any window or worker exists.
    CDataManager::GetInstance();

    // 14. The product page first; only a press of its install button leads on.
    {
        CMainWindow product;
        if (RunTopLevelWindow(product, SaveDesktopShortcut) != 1) return 0;
    }
    // The install page ends the process whatever way it is closed.
    CInstallWindow install;
    RunTopLevelWindow(install);
    return 0;
}
