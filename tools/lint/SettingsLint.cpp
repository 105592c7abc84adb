#include "tools/lint/SettingsLint.h"

#include "base/JsonValue.h"
#include "tools/lint/Files.h"

#include <cctype>
#include <json/reader.h>
#include <json/value.h>
#include <memory>
#include <regex>
#include <set>

namespace lint {

namespace {

const char kFile[] = "ui_setting.json";

const char kTexts[] = u8"文本";
const char kColours[] = u8"颜色";
const char kLinks[] = u8"链接";
const char kOthers[] = u8"其它";

const int kMaxVersions = 20;

enum class Kind { Text, Url, Host, Guid, ProductId, Shortcut, Switch };

struct ExpectedKey {
    const char* group;
    const char* key;
    Kind kind;
};

const ExpectedKey kKeys[] = {
    {kTexts, u8"软件介绍", Kind::Text},
    {kTexts, u8"版本1", Kind::Text},
    {kTexts, u8"位置", Kind::Text},
    {kTexts, u8"安装主页提示文案", Kind::Text},
    {kLinks, u8"安装教程", Kind::Url},
    {kLinks, u8"使用教程", Kind::Url},
    {kLinks, u8"联系客服", Kind::Url},
    {kLinks, u8"接口地址", Kind::Host},
    {kOthers, u8"APPID", Kind::Guid},
    {kOthers, u8"产品标识", Kind::ProductId},
    {kOthers, u8"快捷方式名字", Kind::Shortcut},
    {kOthers, u8"总是下载最新安装包", Kind::Switch},
};

// Read when present: a product in another language names its own download
// texts, and the program says its own without them.
const char* const kOptionalTexts[] = {u8"下载标题", u8"下载中文案", u8"下载成功文案", u8"下载失败文案"};

bool Matches(const std::string& value, const char* pattern) { return std::regex_match(value, std::regex(pattern)); }

std::string CheckKind(Kind kind, const std::string& value)
{
    switch (kind) {
    case Kind::Text: return std::string();
    case Kind::Url: return CheckUrl(value);
    case Kind::Host: return CheckHostName(value);
    case Kind::Guid: return CheckGuid(value);
    case Kind::ProductId: return CheckProductId(value);
    case Kind::Shortcut: return CheckShortcutName(value);
    case Kind::Switch:
        return value == "0" || value == "1" ? std::string() : "must be \"0\" or \"1\", not \"" + value + "\"";
    }
    return std::string();
}

std::string Key(const std::string& group, const std::string& key) { return group + "/" + key; }

// The version keys the program reads: "版本" and a number from 1 to 20
// without leading zeros.
int VersionNumber(const std::string& key)
{
    const std::string prefix = u8"版本";
    if (key.compare(0, prefix.size(), prefix) != 0 || key.size() == prefix.size()) return 0;
    const std::string digits = key.substr(prefix.size());
    if (!Matches(digits, "[1-9][0-9]?")) return -1;
    const int n = std::stoi(digits);
    return n <= kMaxVersions ? n : -1;
}

class CSettingsLint {
public:
    CSettingsLint(const std::string& text, CReport& report) : m_text(text), m_report(report) {}

    void Run();

private:
    int LineOf(const Json::Value& value) const { return LineOfByte(m_text, static_cast<size_t>(value.getOffsetStart())); }
    void CheckKey(const Json::Value& root, const ExpectedKey& expected);
    void CheckTexts(const Json::Value& texts);
    void CheckColours(const Json::Value& colours);
    void CheckUnknown(const Json::Value& root);

    const std::string& m_text;
    CReport& m_report;
    std::set<std::string> m_missingGroups;
};

void CSettingsLint::Run()
{
    // 1. Parse as the program does: the reader's default settings.
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(m_text.data(), m_text.data() + m_text.size(), &root, &errors)) {
        std::smatch where;
        int line = 1;
        if (std::regex_search(errors, where, std::regex("Line ([0-9]+)"))) line = std::stoi(where[1]);
        std::string message = errors.substr(errors.find('\n') + 1);
        while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back()))) message.pop_back();
        while (!message.empty() && std::isspace(static_cast<unsigned char>(message.front()))) message.erase(0, 1);
        m_report.Error(kFile, line, "json", message.substr(0, message.find('\n')));
        return;
    }
    if (!root.isObject()) {
        m_report.Error(kFile, LineOf(root), "json", "the document must be one object of groups");
        return;
    }
    // 2. Every key the program reads, of its kind.
    for (const ExpectedKey& expected : kKeys) CheckKey(root, expected);
    // 3. What the program reads by rule rather than by name.
    if (root.isMember(kTexts) && root[kTexts].isObject()) CheckTexts(root[kTexts]);
    if (root.isMember(kColours) && root[kColours].isObject()) CheckColours(root[kColours]);
    CheckUnknown(root);
}

void CSettingsLint::CheckKey(const Json::Value& root, const ExpectedKey& expected)
{
    const std::string key = Key(expected.group, expected.key);
    if (!root.isMember(expected.group) || !root[expected.group].isObject()) {
        // One message per missing group is enough.
        if (!m_missingGroups.insert(expected.group).second) return;
        m_report.Error(kFile, root.isMember(expected.group) ? LineOf(root[expected.group]) : 1, expected.group,
                       root.isMember(expected.group) ? "the group must be an object of keys"
                                                     : "the group is missing; the program reads " + key + " from it");
        return;
    }
    const Json::Value& group = root[expected.group];
    if (!group.isMember(expected.key)) {
        m_report.Error(kFile, LineOf(group), key, "missing");
        return;
    }
    const Json::Value& value = group[expected.key];
    std::string text;
    if (!JsonScalarText(value, text)) {
        m_report.Error(kFile, LineOf(value), key, "must be a string, not an object or array");
        return;
    }
    if (!value.isString())
        m_report.Warning(kFile, LineOf(value), key, "is read as the text \"" + text + "\"; write it as a string");
    if (text.empty()) {
        m_report.Error(kFile, LineOf(value), key, "is empty, which the program takes as missing");
        return;
    }
    const std::string wrong = CheckKind(expected.kind, text);
    if (!wrong.empty()) m_report.Error(kFile, LineOf(value), key, wrong);
}

void CSettingsLint::CheckTexts(const Json::Value& texts)
{
    // The list of versions ends at the first missing or empty one.
    int count = 0;
    while (count < kMaxVersions) {
        const std::string key = u8"版本" + std::to_string(count + 1);
        std::string text;
        if (!texts.isMember(key) || !JsonScalarText(texts[key], text) || text.empty()) break;
        ++count;
    }
    for (const std::string& key : texts.getMemberNames()) {
        const int n = VersionNumber(key);
        if (n < 0)
            m_report.Warning(kFile, LineOf(texts[key]), Key(kTexts, key),
                             "never read: versions are numbered 1 to 20 without leading zeros");
        else if (n > count + 1)
            m_report.Warning(kFile, LineOf(texts[key]), Key(kTexts, key),
                             "never read: the list of versions ends at the first missing or empty one");
    }
}

void CSettingsLint::CheckColours(const Json::Value& colours)
{
    for (const std::string& key : colours.getMemberNames()) {
        std::string text;
        if (!JsonScalarText(colours[key], text) || !Matches(text, "#[0-9A-Fa-f]{8}"))
            m_report.Warning(kFile, LineOf(colours[key]), Key(kColours, key),
                             "a colour is \"#\" and eight hexadecimal digits (alpha, red, green, blue)");
    }
}

void CSettingsLint::CheckUnknown(const Json::Value& root)
{
    const std::set<std::string> groups = {kTexts, kColours, kLinks, kOthers};
    for (const std::string& group : root.getMemberNames()) {
        if (!groups.count(group)) {
            m_report.Warning(kFile, LineOf(root[group]), group, "unknown group; the program does not read it");
            continue;
        }
        if (group == kColours || !root[group].isObject()) continue;
        for (const std::string& key : root[group].getMemberNames()) {
            bool known = group == kTexts && VersionNumber(key) != 0;
            for (const char* optional : kOptionalTexts) known = known || (group == kTexts && key == optional);
            for (const ExpectedKey& expected : kKeys) known = known || (group == expected.group && key == expected.key);
            if (!known)
                m_report.Warning(kFile, LineOf(root[group][key]), Key(group, key),
                                 "unknown key; the program does not read it");
        }
    }
}

}  // namespace

std::string CheckUrl(const std::string& value)
{
    // Opened through the shell: a web address, or another scheme the
    // shell hands to its program (mailto:, tel:).
    if (Matches(value, "https?://[A-Za-z0-9.-]+(:[0-9]+)?([/?#][^ \t\r\n]*)?")) return std::string();
    if (Matches(value, "(mailto|tel):[^ \t\r\n]+")) return std::string();
    return "\"" + value + "\" is not a URL (http://HOST/... or https://HOST/...)";
}

std::string CheckHostName(const std::string& value)
{
    if (value.find("://") != std::string::npos || value.find('/') != std::string::npos)
        return "\"" + value + "\" must be a host name alone, without scheme or path";
    if (value.size() > 253 ||
        !Matches(value, "([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*"))
        return "\"" + value + "\" is not a host name";
    return std::string();
}

std::string CheckGuid(const std::string& value)
{
    if (Matches(value, "\\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\\}"))
        return std::string();
    return "\"" + value + "\" is not a GUID in braces ({XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX})";
}

std::string CheckProductId(const std::string& value)
{
    // It names the working folder and goes to the service.
    if (Matches(value, "[a-z0-9_-]+(\\.[a-z0-9_-]+)*")) return std::string();
    return "\"" + value + "\" is not a dotted lower-case name (like \"vendor.product\")";
}

std::string CheckShortcutName(const std::string& value)
{
    if (value.size() < 5 || value.compare(value.size() - 4, 4, ".lnk") != 0)
        return "\"" + value + "\" must end with \".lnk\"";
    if (value.find_first_of("\\/:*?\"<>|") != std::string::npos)
        return "\"" + value + "\" is not a file name (no \\ / : * ? \" < > |)";
    return std::string();
}

void LintSettings(const std::string& productFolder, CReport& report)
{
    std::string text;
    if (!ReadWholeFile(productFolder + "/" + kFile, text)) {
        report.Error(kFile, 0, "json", "the product has no UI settings document");
        return;
    }
    CSettingsLint(text, report).Run();
}

}  // namespace lint
