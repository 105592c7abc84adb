#include "state/UiSetting.h"

#include <windows.h>

#include "base/ModuleResource.h"
#include "base/StringConvert.h"
#include "diagnostics/Logger.h"
#include "state/UiSettingDocument.h"

CUiSetting* CUiSetting::GetInstance()
{
    static CUiSetting* instance = new CUiSetting(ReadResource());
    return instance;
}

CUiSetting::CUiSetting(const std::string& document)
{
    Load(document);
}

std::string CUiSetting::ReadResource()
{
    return FindModuleResource(nullptr, MAKEINTRESOURCEW(133), L"Json").Bytes();
}

void CUiSetting::Load(const std::string& document)
{
    if (document.empty()) {
        LOG_ERROR(L"failed to load the json content from resource, error is %d",
                  static_cast<int>(GetLastError()));
        return;
    }
    UiSettingGroups groups;
    if (!ReadUiSettingDocument(document, groups)) {
        LOG_ERROR(L"failed to parse the ui setting");
        return;
    }
    m_texts = std::move(groups.texts);
    m_colors = std::move(groups.colors);
    m_links = std::move(groups.links);
    m_others = std::move(groups.others);
}

std::wstring CUiSetting::Find(const Group& group, const std::wstring& key)
{
    auto it = group.find(key);
    return it == group.end() ? std::wstring() : it->second;
}

std::vector<std::wstring> CUiSetting::OfferedVersions() const
{
    std::vector<std::wstring> versions;
    for (int n = 1; n <= 20; ++n) {
        std::wstring name = GetText(L"版本" + DecimalText(n));
        if (name.empty()) break;
        versions.push_back(name);
    }
    return versions;
}
