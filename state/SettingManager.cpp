#include "state/SettingManager.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"
#include "state/SettingDocument.h"

CSettingManager* CSettingManager::GetInstance()
{
    static CSettingManager* instance = new CSettingManager(GetConfigFolder());
    return instance;
}

CSettingManager::CSettingManager(const std::wstring& configFolder)
{
    // Without a folder from the shell the defaults stay: a bare name would
    // read whatever configs.json the current folder holds.
    if (configFolder.empty()) {
        LOG_ERROR(L"failed to find the configure folder, the basic configure file is not read");
        return;
    }
    Read(configFolder + L"configs.json");
}

void CSettingManager::Read(const std::wstring& path)
{
    if (!PathFileExistsW(path.c_str())) return;
    FILE* file = _wfopen(path.c_str(), L"rt");
    if (!file) {
        LOG_ERROR(L"failed to open the basic configure file : %s", path.c_str());
        return;
    }
    // Lines are joined without separators, exactly as they were always read,
    // so a "//" comment runs to the end of the whole file.
    std::string text;
    char chunk[4096];
    while (fgets(chunk, sizeof chunk, file)) {
        size_t length = strlen(chunk);
        if (length > 0 && chunk[length - 1] == '\n') {
            --length;
            if (length > 0 && chunk[length - 1] == '\r') --length;
        }
        text.append(chunk, length);
    }
    fclose(file);

    SettingValues values{m_logLevel, m_loadResourceFromZip};
    if (!ReadSettingDocument(text, values)) {
        LOG_ERROR(L"failed to parse the basic configure");
        return;
    }
    // Values of a kind that does not convert are treated as absent.
    m_logLevel = values.logLevel;
    m_loadResourceFromZip = values.loadResourceFromZip;
}
