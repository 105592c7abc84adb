#pragma once

#include <string>

// Two start-up switches read once from the optional Configs\configs.json:
// the log threshold and whether the skins come from the archive resource.
// Read on the main thread at start-up; read-only afterwards.
class CSettingManager {
public:
    static CSettingManager* GetInstance();

    // Reads "<configFolder>configs.json"; a missing file keeps the defaults.
    explicit CSettingManager(const std::wstring& configFolder);

    int log_level() const { return m_logLevel; }
    bool load_resource_from_zip() const { return m_loadResourceFromZip; }

private:
    void Read(const std::wstring& path);

    int m_logLevel = 2;
    bool m_loadResourceFromZip = true;
};
