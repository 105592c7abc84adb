#include "service/ServiceProtocol.h"

#include <cwctype>

#include "base/JsonValue.h"
#include "base/StringConvert.h"

std::string PercentEncode(const std::string& utf8)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(utf8.size() * 3);
    for (unsigned char c : utf8) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded;
}

bool BuildDownloadInfoPath(const std::wstring& version, std::wstring& path)
{
    std::string query = "orderId=predownload&version=" + PercentEncode(WideToUtf8(version));
    if (query.size() > kMaxQueryLength) return false;
    // The query is pure ASCII by now, so widening it byte by byte is exact.
    path = L"/v1/getDownloadInfo?" + std::wstring(query.begin(), query.end());
    return true;
}

ReplyParse ParseServiceReply(const std::string& body, ServiceReply& reply)
{
    Json::Value root;
    if (!ParseJson(body, root) || !root.isObject()) return ReplyParse::NotJson;
    if (!root.isMember("error") || !root.isMember("msg") || !root.isMember("data"))
        return ReplyParse::FieldLacked;
    int error = 0;
    std::string msg;
    if (!JsonToInt(root["error"], error) || !JsonScalarText(root["msg"], msg))
        return ReplyParse::NotJson;
    reply.error = error;
    reply.msg = Utf8ToWide(msg);
    reply.data = root["data"];
    return ReplyParse::Ok;
}

bool IsSafeFileName(const std::wstring& name)
{
    if (name.empty() || name.size() > 200) return false;
    if (name == L"." || name == L"..") return false;
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F) return false;
        if (c == L'\\' || c == L'/' || c == L':') return false;
        // Characters Windows refuses in names; a name with them cannot be created anyway.
        if (c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') return false;
    }
    wchar_t last = name.back();
    if (last == L'.' || last == L' ') return false;
    // A device name stays a device with any extension ("nul.exe" is NUL).
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem) c = static_cast<wchar_t>(std::towupper(c));
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL") return false;
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0) &&
        stem[3] >= L'1' && stem[3] <= L'9')
        return false;
    return true;
}

std::string BuildEventBody(const std::string& name, int64_t time, const std::string& os)
{
    Json::Value body(Json::objectValue);
    body["evt"] = name;
    body["ct"] = Json::Value(static_cast<Json::UInt64>(time));
    body["host"]["os"] = os;
    return WriteJson(body);
}
