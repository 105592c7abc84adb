#include "tools/lint/AssetLint.h"

#include "tools/lint/Files.h"

#include <cctype>
#include <stb/stb_image.h>

namespace lint {

namespace {

bool EndsWith(const std::string& name, const std::string& suffix)
{
    if (name.size() < suffix.size()) return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

}  // namespace

void LintIcon(const std::string& productFolder, CReport& report)
{
    bool large = false, any = false;
    for (const std::string& name : FilesIn(productFolder + "/icon")) {
        if (!EndsWith(name, ".png")) continue;
        any = true;
        const std::string file = "icon/" + name;
        std::string bytes;
        int width = 0, height = 0, components = 0;
        if (!ReadWholeFile(productFolder + "/" + file, bytes) ||
            !stbi_info_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()), static_cast<int>(bytes.size()),
                                   &width, &height, &components) ||
            bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) {
            report.Error(file, 0, "picture", "is not a PNG picture");
            continue;
        }
        if (width != height || width < 1 || width > 256) {
            report.Error(file, 0, "picture",
                         "an icon picture is square, 1 to 256 pixels (this one is " + std::to_string(width) + "x" +
                             std::to_string(height) + ")");
            continue;
        }
        large = large || width == 256;
    }
    if (!any)
        report.Error("icon", 0, "picture", "the product has no icon picture (PNG, 256x256)");
    else if (!large)
        report.Warning("icon", 0, "picture", "no 256x256 picture: the desktop shortcut shows a scaled one");
}

void LintFont(const std::string& productFolder, CReport& report)
{
    int count = 0;
    for (const std::string& name : FilesIn(productFolder + "/font")) {
        if (!EndsWith(name, ".otf") && !EndsWith(name, ".ttf")) continue;
        ++count;
        std::string bytes;
        const std::string file = "font/" + name;
        // OpenType with CFF outlines, or TrueType outlines.
        if (!ReadWholeFile(productFolder + "/" + file, bytes) ||
            (bytes.compare(0, 4, "OTTO") != 0 && bytes.compare(0, 4, std::string("\0\1\0\0", 4)) != 0 &&
             bytes.compare(0, 4, "true") != 0))
            report.Error(file, 0, "font", "is not an OpenType or TrueType font");
    }
    if (count != 1)
        report.Error("font", 0, "font",
                     "the font folder must hold exactly one .otf or .ttf file (it holds " + std::to_string(count) + ")");
}

}  // namespace lint
