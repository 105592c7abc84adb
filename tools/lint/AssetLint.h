#pragma once

// The checks on the icon pictures and the font of a product folder: what
// the build packs into the shortcut icon and the "DIN" font resource.

#include "tools/lint/Report.h"

#include <string>

namespace lint {

void LintIcon(const std::string& productFolder, CReport& report);
void LintFont(const std::string& productFolder, CReport& report);

}  // namespace lint
