#include "UiTestData.h"

#include "UiTestPaths.h"
#include "tests/support/TestSupport.h"

namespace ui_test {
namespace {

std::string SizedMarkup(size_t size)
{
    const std::string head = "<Window>", tail = "</Window>";
    return head + std::string(size - head.size() - tail.size(), ' ') + tail;
}

std::string PngLike(unsigned seed)
{
    std::string bytes("\x89PNG\r\n\x1a\n", 8);
    for (unsigned i = 0; i < 3000; ++i) bytes.push_back(static_cast<char>((i * seed) & 0xFF));
    return bytes;
}

}  // namespace

std::wstring ArchivePath(const std::wstring& file) { return UI_TEST_ARCHIVE_DIR + file; }

std::wstring DataPath(const std::wstring& file) { return UI_TEST_DATA_DIR + file; }

const std::vector<ExpectedEntry>& ExpectedEntries()
{
    static const std::vector<ExpectedEntry> entries = {
        {L"window.xml", testing_support::ReadBytes(DataPath(L"window.xml"))},
        {L"progress.xml", testing_support::ReadBytes(DataPath(L"progress.xml"))},
        {L"images/close.png", PngLike(7)},
        {L"\u56FE\u7247/\u5173\u95ED\u6309\u94AE.png", PngLike(13)},
        {L"big_limit.xml", SizedMarkup(kSkinLimit)},
        {L"big_over.xml", SizedMarkup(kSkinLimit + 1)},
        {L"empty.xml", std::string()},
    };
    return entries;
}

const std::string& ExpectedBytes(const std::wstring& name)
{
    for (const ExpectedEntry& entry : ExpectedEntries())
        if (entry.name == name) return entry.bytes;
    static const std::string none;
    return none;
}

}  // namespace ui_test
