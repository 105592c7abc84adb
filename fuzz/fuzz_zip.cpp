// Archives from outside: any bytes must open or fail with a result code, and
// every entry of an archive that opens must list, look up and extract
// without reading or writing outside a buffer or looping forever.
#include "ui/core/ZipReader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Bounds the work of one input: deflate can expand a few bytes a thousandfold.
const uint32_t kMaxOutput = 1 << 20;

void Drain(HZIPARCHIVE archive, int index, uint32_t chunk)
{
    std::vector<unsigned char> buffer(chunk);
    uint32_t total = 0;
    for (;;) {
        uint32_t produced = 0;
        uint32_t result = ExtractEntry(archive, index, buffer.data(), chunk, &produced);
        if (produced > chunk) __builtin_trap();
        if (result != kZipMore) {
            if (result == kZipOk && produced != 0) __builtin_trap();
            return;
        }
        if (produced == 0) __builtin_trap();
        total += produced;
        if (total >= kMaxOutput) return;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    HZIPARCHIVE archive = OpenArchive(data, static_cast<uint32_t>(size), kZipMemory);
    if (!archive) {
        if (LastZipResult() == kZipOk) __builtin_trap();
        return 0;
    }
    ZipEntryInfo info;
    if (GetEntry(archive, -1, &info) != kZipOk) __builtin_trap();
    const int total = info.index;
    int count = total < 64 ? total : 64;
    for (int i = 0; i < count; ++i) {
        if (GetEntry(archive, i, &info) != kZipOk) __builtin_trap();
        int found = -1;
        ZipEntryInfo again;
        uint32_t result = FindEntry(archive, info.name, &found, &again);
        // Names that do not survive decoding (bad UTF-8, more than 259
        // characters) may find another entry or none, but never a bad index.
        if (result == kZipOk && (found < 0 || found >= total || again.index != found)) __builtin_trap();
        uint32_t whole = info.uncompressedSize < kMaxOutput ? info.uncompressedSize : kMaxOutput;
        Drain(archive, i, whole ? whole : 1);
        Drain(archive, i, 7);
    }
    if (CloseArchive(archive) != kZipOk) __builtin_trap();
    return 0;
}
