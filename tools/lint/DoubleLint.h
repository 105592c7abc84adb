#pragma once

// The 2x skins are the standard ones with every pixel measure doubled: the
// same elements in the same order, the same attributes, measures twice as
// large and everything else alike. The combo's frame pictures are the
// exception the layouts give: their corners are free, and the combo's
// default border stays one pixel wide. Pictures drawn at 2x are twice as
// large as their standard twins.

#include "tools/lint/Report.h"
#include "tools/lint/SkinLint.h"

namespace lint {

void LintDoubling(const CSkinLint& skins, CReport& report);

// The 2x form of a value whose numbers are pixel measures: every integer
// doubled, the text between them kept ("761,19,0,0" gives "1522,38,0,0").
std::wstring DoubledMeasures(const std::wstring& value);

}  // namespace lint
