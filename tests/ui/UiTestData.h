#pragma once

// The archives and skin files the toolkit tests read, and the bytes every
// archive entry must extract to (made the same way as make_archives.py).

#include <string>
#include <vector>

namespace ui_test {

const unsigned kSkinLimit = 4 * 1024 * 1024;

std::wstring ArchivePath(const std::wstring& file);
std::wstring DataPath(const std::wstring& file);

struct ExpectedEntry {
    std::wstring name;
    std::string bytes;
};
// Every entry of every test archive, in the order they were written.
const std::vector<ExpectedEntry>& ExpectedEntries();
const std::string& ExpectedBytes(const std::wstring& name);

}  // namespace ui_test
