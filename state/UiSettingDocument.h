#pragma once

// The UI settings document as four groups of texts: a pure function of the
// document's bytes, free of Windows headers, so that any bytes can be tried
// on it natively.

#include <map>
#include <string>

struct UiSettingGroups {
    std::map<std::wstring, std::wstring> texts;   // "文本"
    std::map<std::wstring, std::wstring> colors;  // "颜色"
    std::map<std::wstring, std::wstring> links;   // "链接"
    std::map<std::wstring, std::wstring> others;  // "其它"
};

// False when the document is not JSON. A root that is not an object, a
// group that is not an object and a member that is not a scalar are passed
// over as if missing.
bool ReadUiSettingDocument(const std::string& document, UiSettingGroups& groups);
