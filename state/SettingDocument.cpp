#include "state/SettingDocument.h"

#include <json/value.h>

#include "base/JsonValue.h"

bool ReadSettingDocument(const std::string& text, SettingValues& values)
{
    Json::Value root;
    if (!ParseJson(text, root)) return false;
    if (!root.isObject()) return true;
    int level = 0;
    if (root.isMember("log_level") && JsonToInt(root["log_level"], level)) values.logLevel = level;
    bool fromZip = true;
    if (root.isMember("load_resource_from_zip") && JsonToBool(root["load_resource_from_zip"], fromZip))
        values.loadResourceFromZip = fromZip;
    return true;
}
