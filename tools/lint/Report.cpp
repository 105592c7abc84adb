#include "tools/lint/Report.h"

#include <cstdio>

namespace lint {

void CReport::Error(const std::string& file, int line, const std::string& key, const std::string& message)
{
    m_findings.push_back(Finding{Severity::Error, file, line, key, message});
}

void CReport::Warning(const std::string& file, int line, const std::string& key, const std::string& message)
{
    m_findings.push_back(Finding{Severity::Warning, file, line, key, message});
}

size_t CReport::ErrorCount() const
{
    size_t n = 0;
    for (const Finding& f : m_findings) n += f.severity == Severity::Error;
    return n;
}

size_t CReport::WarningCount() const { return m_findings.size() - ErrorCount(); }

void CReport::Print(const std::string& folder) const
{
    for (const Finding& f : m_findings) {
        std::printf("%s/%s:%d: %s: %s%s\n", folder.c_str(), f.file.c_str(), f.line, f.key.c_str(),
                    f.severity == Severity::Warning ? "warning: " : "", f.message.c_str());
    }
}

}  // namespace lint
