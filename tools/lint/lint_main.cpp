// Checks a product folder before it is built into a setup program: the UI
// settings, the skins at both scales, the icon pictures and the font. Each
// finding is printed as FILE:LINE: key: message; the exit code is 1 when
// there is at least one error (warnings alone pass), 2 on wrong usage.
//   lint PRODUCT_FOLDER

#include "tools/lint/AssetLint.h"
#include "tools/lint/DoubleLint.h"
#include "tools/lint/Files.h"
#include "tools/lint/Report.h"
#include "tools/lint/SettingsLint.h"
#include "tools/lint/SkinLint.h"

#include <clocale>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PRODUCT_FOLDER\n", argv[0]);
        return 2;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
    std::string folder = argv[1];
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!lint::IsDirectory(folder)) {
        std::fprintf(stderr, "%s: not a folder\n", folder.c_str());
        return 2;
    }
    lint::CReport report;
    lint::LintSettings(folder, report);
    lint::CSkinLint skins(folder, report);
    skins.LintFolder("skin", 1);
    skins.LintFolder("skin_2x", 2);
    lint::LintDoubling(skins, report);
    lint::LintIcon(folder, report);
    lint::LintFont(folder, report);
    report.Print(folder);
    std::fprintf(stderr, "%s: %zu error(s), %zu warning(s)\n", folder.c_str(), report.ErrorCount(),
                 report.WarningCount());
    return report.ErrorCount() ? 1 : 0;
}
