#pragma once

#include <map>
#include <string>
#include <vector>

// The product's settings carried as a JSON resource (type "Json", id 133):
// four groups of texts, colours, links and other values. Loaded once on the
// main thread; read-only afterwards, so worker threads read it without a lock.
class CUiSetting {
public:
    static CUiSetting* GetInstance();

    // Loads from a document's bytes; start-up's instance loads the resource.
    explicit CUiSetting(const std::string& document);

    std::wstring GetText(const std::wstring& key) const { return Find(m_texts, key); }
    std::wstring GetColor(const std::wstring& key) const { return Find(m_colors, key); }
    std::wstring GetLink(const std::wstring& key) const { return Find(m_links, key); }
    std::wstring GetOther(const std::wstring& key) const { return Find(m_others, key); }

    // Display names of the offered versions: "版本1", "版本2", ... up to
    // "版本20"; the first missing or empty one ends the list.
    std::vector<std::wstring> OfferedVersions() const;

    // The resource's bytes, or empty when it is missing or empty.
    static std::string ReadResource();

private:
    using Group = std::map<std::wstring, std::wstring>;
    static std::wstring Find(const Group& group, const std::wstring& key);
    void Load(const std::string& document);

    Group m_texts;
    Group m_colors;
    Group m_links;
    Group m_others;
};
