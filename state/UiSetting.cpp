#include "state/UiSetting.h"

#include <windows.h>

#include <json/json.h>

#include "base/JsonValue.h"
#include "base/ModuleResource.h"
#include "base/StringConvert.h"
#include "diagnostics/Logger.h"

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
    Json::Value root;
    if (!ParseJson(document, root)) {
        LOG_ERROR(L"failed to parse the ui setting");
        return;
    }
    if (!root.isObject()) return;
    const std::pair<const wchar_t*, Group*> groups[] = {
        {L"文本", &m_texts}, {L"颜色", &m_colors}, {L"链接", &m_links}, {L"其它", &m_others}};
    for (const auto& group : groups) {
        std::string name = WideToUtf8(group.first);
        const Json::Value* value = root.find(name.data(), name.data() + name.size());
        // A group that is not an object, or a member that is not a scalar,
        // cannot be read as text: it is passed over like a missing one.
        if (!value || !value->isObject()) continue;
        for (const std::string& key : value->getMemberNames()) {
            std::string text;
            if (!JsonScalarText((*value)[key], text)) continue;
            (*group.second)[Utf8ToWide(key)] = Utf8ToWide(text);
        }
    }
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
        std::wstring name = GetText(L"版本" + std::to_wstring(n));
        if (name.empty()) break;
        versions.push_back(name);
    }
    return versions;
}
