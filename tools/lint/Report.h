#pragma once

// The findings of one lint run, each tied to a file, a line (0 when the
// whole file is meant) and the key or attribute at fault, printed in the
// form compilers use so that editors and build logs can jump to them.

#include <string>
#include <vector>

namespace lint {

enum class Severity { Error, Warning };

struct Finding {
    Severity severity;
    std::string file;   // relative to the product folder
    int line;
    std::string key;
    std::string message;
};

class CReport {
public:
    void Error(const std::string& file, int line, const std::string& key, const std::string& message);
    void Warning(const std::string& file, int line, const std::string& key, const std::string& message);

    size_t ErrorCount() const;
    size_t WarningCount() const;
    const std::vector<Finding>& Findings() const { return m_findings; }

    // One line per finding, "FOLDER/FILE:LINE: key: message", warnings
    // marked as such, in the order found.
    void Print(const std::string& folder) const;

private:
    std::vector<Finding> m_findings;
};

}  // namespace lint
