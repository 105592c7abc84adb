#include "state/SettingManager.h"

#include <windows.h>

#include <shlwapi.h>

#include <cstdio>
#include <cstring>

#include <json/json.h>

#include "base/JsonValue.h"
#include "diagnostics/Logger.h"
#include "diagnostics/WorkFolders.h"

CSettingManager* CSettingManager::GetInstance()
{
    static CSettingManager* instance = new CSettingManager(GetConfigFolder());
    return instance;
}

CSettingManager::CSettingManager(const std::wstring& configFolder)
{
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

    Json::Value root;
    if (!ParseJson(text, root)) {
        LOG_ERROR(L"failed to parse the basic configure");
        return;
    }
    if (!root.isObject()) return;
    // Values of a kind that does not convert are treated as absent.
    int level = 0;
    if (root.isMember("log_level") && JsonToInt(root["log_level"], level)) m_logLevel = level;
    bool fromZip = true;
    if (root.isMember("load_resource_from_zip") && JsonToBool(root["load_resource_from_zip"], fromZip))
        m_loadResourceFromZip = fromZip;
}
