#pragma once

// The checks on the UI settings document: it parses the way the program
// parses it, and every key the program reads is there with a value of the
// kind it needs (texts not empty, links URLs, the service a host name, the
// application identifier a GUID in braces, the download switch "0" or "1").

#include "tools/lint/Report.h"

#include <string>

namespace lint {

void LintSettings(const std::string& productFolder, CReport& report);

// The value checks, pure functions of the text, each returning what is
// wrong or an empty string.
std::string CheckUrl(const std::string& value);
std::string CheckHostName(const std::string& value);
std::string CheckGuid(const std::string& value);
std::string CheckProductId(const std::string& value);
std::string CheckShortcutName(const std::string& value);

}  // namespace lint
