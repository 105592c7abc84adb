#pragma once

// The skins the hostile-skin test builds: the product's own (from its
// archives), the markup fuzzer's seeds and grown corpus, and hostile ones
// generated into a scratch folder at run time (nothing large is kept in
// the source tree).

#include <string>
#include <vector>

namespace hostile {

struct CorpusEntry {
    std::string label;      // for the printed report
    std::wstring folder;    // resource folder, ending with a separator
    std::wstring archive;   // archive inside the folder, or empty for loose files
    std::wstring file;      // the skin file to build
};

// Writes the generated skins and pictures into folder (which ends with a
// separator) and lists them.
std::vector<CorpusEntry> GenerateHostileSkins(const std::wstring& folder);

// The product's three windows from each of its two archives in folder.
std::vector<CorpusEntry> ProductSkins(const std::wstring& folder);

// Every file of each folder, up to limit files in all (the grown corpus
// of a long fuzzing run may be large).
std::vector<CorpusEntry> FolderSkins(const std::string& label, const std::vector<std::wstring>& folders,
                                     size_t limit);

// A PNG of width x height grey pixels, all zero, deflated row by row so
// that even 16384 x 16384 never exists whole in memory.
std::string GreyPng(unsigned width, unsigned height);

}  // namespace hostile
