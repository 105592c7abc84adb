#include "tests/service/TestLog.h"

#include "diagnostics/Logger.h"
#include "tests/support/TestSupport.h"

namespace testlog {

void Open()
{
    if (g_pLogger) return;
    std::wstring folder = testing_support::ScratchFolder(L"service-log");
    g_pLogger = new CLogger(folder, L"installer");
}

std::vector<std::wstring> Lines(const std::wstring& containing)
{
    std::vector<std::wstring> found;
    if (!g_pLogger) return found;
    std::wstring text = testing_support::ReadUtf16(g_pLogger->Path());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (line.find(containing) != std::wstring::npos) found.push_back(line);
        start = end + 2;
    }
    return found;
}

}  // namespace testlog
