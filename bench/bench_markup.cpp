// Prints how fast the toolkit parses a large generated skin and extracts a
// skin file from an archive made by Info-ZIP, beside pugixml parsing the
// same bytes and zlib's uncompress inflating the same deflate stream (the
// lower bound for extraction). Parsing is timed in alternating pairs and
// reported as medians, so that load from other processes on the machine
// falls on both sides alike; extraction is the best of several rounds. No
// pass or fail.
#include "ui/core/CodePage.h"
#include "ui/core/XmlDocument.h"
#include "ui/core/ZipReader.h"

#include <pugixml.hpp>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kRounds = 7;
const int kPairs = 15;
const size_t kMaxSkinFile = 4u << 20;

double BestSeconds(const std::function<void()>& work)
{
    double best = 1e30;
    for (int i = 0; i < kRounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        work();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best) best = took.count();
    }
    return best;
}

double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct PairTimes {
    double first, second;   // median seconds of each
    double ratio;           // median of second / first over the pairs
};

// Runs the two in turn, the order swapped every pair.
PairTimes MedianOfPairs(const std::function<void()>& first, const std::function<void()>& second)
{
    std::vector<double> a, b, ratios;
    for (int i = 0; i < kPairs; ++i) {
        double x, y;
        if (i % 2) {
            y = Seconds(second);
            x = Seconds(first);
        } else {
            x = Seconds(first);
            y = Seconds(second);
        }
        a.push_back(x);
        b.push_back(y);
        ratios.push_back(y / x);
    }
    return PairTimes{Median(a), Median(b), Median(ratios)};
}

// A window with many rows of controls, in the skins' style: Chinese texts,
// image descriptors with entities, default lists, nesting four levels deep.
std::string GenerateSkin(size_t targetBytes)
{
    std::string skin = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<Window size=\"800,600\" caption=\"0,0,0,40\" roundcorner=\"4,4\">\n"
                       "  <Font id=\"0\" name=\"\xE5\xBE\xAE\xE8\xBD\xAF\xE9\x9B\x85\xE9\xBB\x91\" size=\"14\" default=\"true\" />\n"
                       "  <VerticalLayout bkcolor=\"#FFFFFFFF\">\n";
    for (int row = 0; skin.size() < targetBytes; ++row) {
        std::string n = std::to_string(row);
        skin += "    <HorizontalLayout name=\"row" + n + "\" height=\"40\" childpadding=\"8\" bkimage=\"file='images/row.png' corner='2,2,15,2'\">\n"
                "      <!-- row " + n + " -->\n"
                "      <Label name=\"label" + n + "\" text=\"\xE5\xAE\x89\xE8\xA3\x85 &amp; \xE5\x90\x91\xE5\xAF\xBC " + n + "\" font=\"0\" textcolor=\"#FF333333\" padding=\"16,0,0,0\" />\n"
                "      <Button name=\"btn" + n + "\" width=\"96\" normalimage=\"file='images/btn.png' source='0,0,96,32'\" hotimage=\"file='images/btn.png' source='96,0,192,32'\" text=\"&lt;b&gt;OK&lt;/b&gt;\" />\n"
                "      <Text name=\"text" + n + "\">Row " + n + " of the generated skin</Text>\n"
                "    </HorizontalLayout>\n";
    }
    skin += "  </VerticalLayout>\n</Window>\n";
    return skin;
}

// The parse of one skin beside pugixml's, and beside the least that the
// wide text costs: decoding the bytes into a new buffer of wide characters.
void MeasureMarkup(const std::string& skin, const char* label)
{
    const double megabytes = skin.size() / 1e6;
    size_t elements = 0;
    {
        CXmlDocument document;
        if (!document.LoadBytes(skin.data(), skin.size())) std::abort();
        elements = document.ElementCount() - 1;
    }
    size_t pugiElements = 0;
    {
        pugi::xml_document document;
        if (!document.load_buffer(skin.data(), skin.size())) std::abort();
        pugi::xpath_node_set all = document.select_nodes("//*");
        pugiElements = all.size();
    }
    // The counts above are outside what either must do; time the parses alone.
    auto pugixml = [&] {
        pugi::xml_document document;
        if (!document.load_buffer(skin.data(), skin.size())) std::abort();
    };
    PairTimes parse = MedianOfPairs(
        [&] {
            CXmlDocument document;
            if (!document.LoadBytes(skin.data(), skin.size())) std::abort();
        },
        pugixml);
    volatile wchar_t sink = 0;
    PairTimes widen = MedianOfPairs(
        [&] {
            std::unique_ptr<wchar_t[]> text(new wchar_t[skin.size() + 1]);
            sink = text[codepage::DecodeUtf8(skin.data(), skin.size(), text.get()) / 2];
        },
        pugixml);
    // The same decoding into one buffer kept for every run: what is left of
    // the line above without allocating the buffer, whose pages a large
    // allocation gets fresh from the system on every run.
    std::unique_ptr<wchar_t[]> kept(new wchar_t[skin.size() + 1]);
    PairTimes decode = MedianOfPairs(
        [&] { sink = kept[codepage::DecodeUtf8(skin.data(), skin.size(), kept.get()) / 2]; }, pugixml);
    std::printf("markup%s: %.1f MB skin, %zu elements (pugixml %zu), medians of %d alternating runs\n", label,
                megabytes, elements, pugiElements, kPairs);
    std::printf("  CXmlDocument::LoadBytes  %8.1f MB/s  (%.1f ms)\n", megabytes / parse.first, parse.first * 1e3);
    std::printf("  pugixml load_buffer      %8.1f MB/s  (%.1f ms)\n", megabytes / parse.second, parse.second * 1e3);
    std::printf("  ratio ours/pugixml       %8.2f  (throughput, median of the pairs)\n", parse.ratio);
    std::printf("  wide text alone          %8.1f MB/s  (%.1f ms; %zu-byte units, ratio %.2f: the most the parse can reach)\n",
                megabytes / widen.first, widen.first * 1e3, sizeof(wchar_t), widen.ratio);
    std::printf("  wide text, buffer kept   %8.1f MB/s  (%.1f ms; the rest of the line above is the fresh buffer)\n",
                megabytes / decode.first, decode.first * 1e3);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Get32(const std::string& b, size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data() + at);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t Get16(const std::string& b, size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(b.data() + at);
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string work = argc > 1 ? argv[1] : "/tmp";
    const size_t targetBytes = 8u << 20;
    const std::string skin = GenerateSkin(targetBytes);
    const double megabytes = skin.size() / 1e6;

    // 1. Markup: our parser (UTF-8 decoding included) and pugixml on the same
    // bytes, on the large skin and on one at the loader's 4 MiB limit.
    MeasureMarkup(skin, "");
    MeasureMarkup(GenerateSkin(kMaxSkinFile - 1024), " within the 4 MiB skin-file limit");

    // 2. Extraction: an archive made by Info-ZIP, read from memory.
    const std::string skinPath = work + "/bench_skin.xml", zipPath = work + "/bench_skin.zip";
    std::ofstream(skinPath, std::ios::binary) << skin;
    std::remove(zipPath.c_str());
    std::string command = "cd '" + work + "' && zip -q -X bench_skin.zip bench_skin.xml";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "zip failed\n");
        return 1;
    }
    const std::string archive = ReadFile(zipPath);
    std::string out(skin.size(), '\0');
    double extract = BestSeconds([&] {
        HZIPARCHIVE zip = OpenArchive(archive.data(), static_cast<uint32_t>(archive.size()), kZipMemory);
        int index = -1;
        ZipEntryInfo info;
        if (!zip || FindEntry(zip, L"bench_skin.xml", &index, &info) != kZipOk) std::abort();
        uint32_t result = ExtractEntry(zip, index, &out[0], info.uncompressedSize);
        if (result != kZipMore && result != kZipOk) std::abort();
        CloseArchive(zip);
    });
    if (out != skin) {
        std::fprintf(stderr, "extracted bytes differ\n");
        return 1;
    }

    // The same deflate stream wrapped as a zlib stream for uncompress.
    size_t data = 30 + Get16(archive, 26) + Get16(archive, 28);
    uint32_t compressed = Get32(archive, 18);
    std::string wrapped("\x78\x9C", 2);
    wrapped.append(archive, data, compressed);
    uint32_t adler = static_cast<uint32_t>(adler32(adler32(0, Z_NULL, 0),
                                                   reinterpret_cast<const Bytef*>(skin.data()), static_cast<uInt>(skin.size())));
    for (int shift = 24; shift >= 0; shift -= 8) wrapped.push_back(static_cast<char>((adler >> shift) & 0xFF));
    std::string plain(skin.size(), '\0');
    double zlib = BestSeconds([&] {
        uLongf length = static_cast<uLongf>(plain.size());
        if (uncompress(reinterpret_cast<Bytef*>(&plain[0]), &length, reinterpret_cast<const Bytef*>(wrapped.data()),
                       static_cast<uLong>(wrapped.size())) != Z_OK || length != skin.size())
            std::abort();
    });
    std::printf("extraction: %.1f MB entry deflated to %.1f MB by Info-ZIP\n", megabytes, compressed / 1e6);
    std::printf("  CZipReader open+find+extract %7.2f ms\n", extract * 1e3);
    std::printf("  zlib uncompress (same stream) %6.2f ms\n", zlib * 1e3);
    std::printf("  ratio ours/uncompress        %7.2f  (time)\n", extract / zlib);
    std::remove(skinPath.c_str());
    std::remove(zipPath.c_str());
    return 0;
}
