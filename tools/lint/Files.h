#pragma once

// Small file and text helpers of the lint, all on plain POSIX paths.

#include <string>
#include <vector>

namespace lint {

bool ReadWholeFile(const std::string& path, std::string& bytes);
bool IsDirectory(const std::string& path);
// The plain files of a folder, sorted by name.
std::vector<std::string> FilesIn(const std::string& folder);
// The name of the file in `folder` that `name` finds the way the skin
// archive does (ASCII letters in any case, '\' as '/'), or empty.
std::string FindLikeArchive(const std::string& folder, const std::string& name);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

// 1-based line of a byte offset into UTF-8 text.
int LineOfByte(const std::string& text, size_t offset);

}  // namespace lint
