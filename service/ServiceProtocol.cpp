#include "service/ServiceProtocol.h"


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
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return false;
        if (c == L'\\' || c == L'/' || c == L':') return false;
        // Characters Windows refuses in names; a name with them cannot be created anyway.
        if (c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') return false;
    }
    wchar_t last = name.back();
    if (last == L'.' || last == L' ') return false;
    // A device name stays a device with any extension ("nul.exe" is NUL).
    std::wstring stem = name.substr(0, name.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return false;
    // Windows reserves the superscript digits one to three beside 1 to 9; 0 is free.
    if (stem.size() == 4 && (stem.compare(0, 3, L"COM") == 0 || stem.compare(0, 3, L"LPT") == 0)) {
        wchar_t n = stem[3];
        if ((n >= L'1' && n <= L'9') || n == 0xB9 || n == 0xB2 || n == 0xB3) return false;
    }
    return true;
}

namespace {

// "size" and "sha256", each when present. Sizes are JSON numbers holding
// a whole, non-negative count; text such as "1024" is not taken for one.
bool ReadFileCheck(const Json::Value& data, FileCheck& check)
{
    FileCheck read;
    static const char kSize[] = "size";
    static const char kSha256[] = "sha256";
    if (const Json::Value* size = data.find(kSize, kSize + sizeof kSize - 1)) {
        if (!size->isNumeric() || !size->isUInt64()) return false;
        read.hasSize = true;
        read.size = size->asUInt64();
    }
    if (const Json::Value* digest = data.find(kSha256, kSha256 + sizeof kSha256 - 1)) {
        if (!digest->isString() || !NormaliseSha256(digest->asString(), read.sha256)) return false;
    }
    check = read;
    return true;
}

}  // namespace

DownloadInfoRead ReadDownloadInfo(const Json::Value& data, std::wstring& name, std::wstring& url)
{
    FileCheck ignored;
    return ReadDownloadInfo(data, name, url, ignored);
}

DownloadInfoRead ReadDownloadInfo(const Json::Value& data, std::wstring& name, std::wstring& url,
                                  FileCheck& check)
{
    std::string utf8Name, utf8Url;
    if (!data.isObject() || !data.isMember("filename") || !data.isMember("fileurl") ||
        !JsonScalarText(data["filename"], utf8Name) || !JsonScalarText(data["fileurl"], utf8Url))
        return DownloadInfoRead::FormatWrong;
    std::wstring wideName = Utf8ToWide(utf8Name);
    std::wstring wideUrl = Utf8ToWide(utf8Url);
    if (wideName.empty() || wideUrl.empty()) return DownloadInfoRead::Empty;
    if (!IsSafeFileName(wideName)) return DownloadInfoRead::UnsafeName;
    FileCheck read;
    if (!ReadFileCheck(data, read)) return DownloadInfoRead::CheckMalformed;
    check = read;
    name = wideName;
    url = wideUrl;
    return DownloadInfoRead::Ok;
}

std::string BuildEventBody(const std::string& name, int64_t time, const std::string& os)
{
    Json::Value body(Json::objectValue);
    body["evt"] = name;
    body["ct"] = Json::Value(static_cast<Json::UInt64>(time));
    body["host"]["os"] = os;
    return WriteJson(body);
}
