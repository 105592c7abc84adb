// Skins as the product loads them: any bytes handed to the skin source as
// its in-memory archive, then every markup file of it (and the product's
// own file names) parsed through the skin source. Nothing may read or write
// outside a buffer, loop forever or exhaust the stack.
#include "ui/core/SkinSource.h"
#include "ui/core/XmlDocument.h"
#include "ui/core/ZipReader.h"

#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

namespace {

const int kMaxEntries = 32;

void Walk(CXmlNode node, size_t& seen)
{
    std::vector<CXmlNode> pending{node};
    while (!pending.empty()) {
        CXmlNode at = pending.back();
        pending.pop_back();
        for (; at.IsValid(); at = at.NextSibling()) {
            seen += wcslen(at.Name()) + wcslen(at.Value());
            for (int i = 0; i < at.AttributeCount(); ++i) seen += wcslen(at.AttributeValue(i));
            if (at.HasChildren()) pending.push_back(at.FirstChild());
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::wstring> names = {L"main.xml", L"install.xml", L"progress.xml"};
    if (HZIPARCHIVE listing = OpenArchive(data, static_cast<uint32_t>(size), kZipMemory)) {
        ZipEntryInfo info;
        if (GetEntry(listing, -1, &info) == kZipOk) {
            int count = info.index < kMaxEntries ? info.index : kMaxEntries;
            for (int i = 0; i < count; ++i) {
                if (GetEntry(listing, i, &info) != kZipOk) __builtin_trap();
                std::wstring name = info.name;
                if (name.size() > 4 && name.compare(name.size() - 4, 4, L".xml") == 0) names.push_back(name);
            }
        }
        CloseArchive(listing);
    }

    CSkinSource& source = CSkinSource::Process();
    source.Reset();
    source.UseArchiveBytes(data, static_cast<uint32_t>(size));
    size_t seen = 0;
    for (const std::wstring& name : names) {
        CXmlDocument document;
        if (document.LoadSkinFile(name)) {
            if (!document.Root().IsValid()) __builtin_trap();
            Walk(document.Root(), seen);
        } else if (document.ErrorMessage()[0] == 0) {
            __builtin_trap();
        }
    }
    // The bytes belong to libFuzzer only for this call.
    source.Reset();
    return 0;
}
