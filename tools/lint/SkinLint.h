#pragma once

// The checks on the skin folders: each window's markup parses with the
// toolkit's parser, starts with a Window, names only pictures that exist,
// decode and have the size the layout draws them at, and holds the controls
// the window looks up by name with the kind it expects. The parsed files
// stay for the comparison of the 2x skins with the standard ones.

#include "tools/lint/MarkupFile.h"
#include "tools/lint/Report.h"
#include "tools/lint/Rules.h"

#include <map>
#include <memory>
#include <set>
#include <string>

namespace lint {

struct PictureSize {
    bool decodes = false;
    int width = 0;
    int height = 0;
    std::string failure;   // the decoder's reason when it refused
};

class CSkinLint {
public:
    CSkinLint(const std::string& productFolder, CReport& report) : m_root(productFolder), m_report(report) {}

    // folder is "skin" (scale 1) or "skin_2x" (scale 2).
    void LintFolder(const std::string& folder, int scale);

    // The parsed window skin "folder/file", or null when it did not load.
    const CMarkupFile* Markup(const std::string& folder, const std::string& file) const;
    // Size of a picture of a folder that a skin named and that was found.
    const PictureSize* Picture(const std::string& folder, const std::string& file) const;
    const std::set<std::string>& PicturesNamed(const std::string& folder) const;

private:
    struct NamedControl {
        std::wstring tag;
        int line;
    };
    struct Walk {
        std::string folder;
        std::string file;   // "folder/file.xml"
        int scale;
        const CMarkupFile* markup;
        std::map<std::string, NamedControl> names;
    };

    void LintWindowSkin(const std::string& folder, const std::string& file, int scale, const std::string& window,
                        const std::vector<ExpectedControl>& expected);
    void WalkControls(Walk& walk, const CXmlNode& node);
    void CheckWindowElement(Walk& walk, const CXmlNode& node);
    void CheckPicture(Walk& walk, const std::wstring& descriptor, int line, const std::string& key);
    const PictureSize& Decode(const std::string& folder, const std::string& file);

    std::string m_root;
    CReport& m_report;
    std::map<std::string, std::unique_ptr<CMarkupFile>> m_markup;
    std::map<std::string, PictureSize> m_pictures;   // "folder/file"
    std::map<std::string, std::set<std::string>> m_named;
};

// The attribute list of a Default element, read the way controls apply it:
// name="value" pairs separated by single blanks. `rest` receives what could
// not be read (empty when the whole list was read).
std::vector<std::pair<std::wstring, std::wstring>> ReadAttributeList(const std::wstring& list, std::wstring& rest);

}  // namespace lint
