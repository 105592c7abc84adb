#include "state/UiSettingDocument.h"

#include <json/value.h>

#include "base/JsonValue.h"
#include "base/StringConvert.h"

bool ReadUiSettingDocument(const std::string& document, UiSettingGroups& groups)
{
    Json::Value root;
    if (!ParseJson(document, root)) return false;
    if (!root.isObject()) return true;
    const std::pair<std::string, std::map<std::wstring, std::wstring>*> named[] = {
        {u8"文本", &groups.texts},
        {u8"颜色", &groups.colors},
        {u8"链接", &groups.links},
        {u8"其它", &groups.others}};
    for (const auto& group : named) {
        const Json::Value* value = root.find(group.first.data(), group.first.data() + group.first.size());
        if (!value || !value->isObject()) continue;
        for (const std::string& key : value->getMemberNames()) {
            std::string text;
            if (!JsonScalarText((*value)[key], text)) continue;
            (*group.second)[Utf8ToWide(key)] = Utf8ToWide(text);
        }
    }
    return true;
}
