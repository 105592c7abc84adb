#include "state/DataDocument.h"

#include <cstring>

#include <json/value.h>

#include "base/JsonValue.h"
#include "base/StringConvert.h"
#include "service/FileCheck.h"

namespace {
const size_t kMaxIdentifierLength = 128;
}

bool IsPlainIdentifier(const std::wstring& id)
{
    if (id.empty() || id.size() > kMaxIdentifierLength) return false;
    for (wchar_t c : id) {
        bool plain = (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') ||
                     c == L'-' || c == L'_' || c == L'.';
        if (!plain) return false;
    }
    return true;
}

bool ReadDataDocument(const std::string& text, PersistedData& data, bool& deviceIdRefused)
{
    deviceIdRefused = false;
    Json::Value root;
    if (!ParseJson(text, root) || !root.isObject()) return false;
    const std::pair<const char*, std::wstring*> members[] = {
        {"device_id", &data.deviceId},
        {"install_file_path", &data.installFilePath},
        {"software_version", &data.softwareVersion}};
    for (const auto& member : members) {
        const Json::Value* value = root.find(member.first, member.first + strlen(member.first));
        std::string utf8;
        if (!value || !JsonScalarText(*value, utf8)) continue;
        std::wstring wide = Utf8ToWide(utf8);
        // An empty id is simply missing; only a non-empty odd one is refused.
        if (member.second == &data.deviceId && !wide.empty() && !IsPlainIdentifier(wide)) {
            deviceIdRefused = true;
            continue;
        }
        *member.second = wide;
    }
    const char* digestKey = "install_file_sha256";
    const Json::Value* digest = root.find(digestKey, digestKey + strlen(digestKey));
    std::string digestText;
    if (digest && JsonScalarText(*digest, digestText)) {
        if (digestText.empty())
            data.installFileSha256.clear();
        else
            NormaliseSha256(digestText, data.installFileSha256);
    }
    return true;
}

std::string WriteDataDocument(const PersistedData& data)
{
    Json::Value root(Json::objectValue);
    root["device_id"] = WideToUtf8(data.deviceId);
    root["install_file_path"] = WideToUtf8(data.installFilePath);
    root["software_version"] = WideToUtf8(data.softwareVersion);
    if (!data.installFileSha256.empty()) root["install_file_sha256"] = data.installFileSha256;
    return WriteJson(root);
}
