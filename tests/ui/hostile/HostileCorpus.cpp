#include "tests/ui/hostile/HostileCorpus.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>

#include "tests/support/TestSupport.h"
#include "tests/ui/draw/DrawTestSupport.h"

namespace hostile {

namespace {

void Put32(std::string& out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void Chunk(std::string& png, const char* type, const std::string& data)
{
    Put32(png, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    Put32(png, static_cast<uint32_t>(crc32(0L, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    out.reserve(text.size() * static_cast<size_t>(times));
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

std::string Number(long long n) { return std::to_string(n); }

const char* const kTags[] = {"Control", "Label",    "Button", "Text",      "Edit",   "Combo",
                             "Progress", "Option",  "CheckBox", "Slider", "ScrollBar", "HorizontalLayout",
                             "VerticalLayout", "Container", "List", "ListLabelElement", "ListTextElement"};
const char* const kContainers[] = {"VerticalLayout", "HorizontalLayout", "Container"};

// Every attribute the controls know, with one extreme value each.
std::string ExtremeAttributes(const std::string& big, const std::string& image)
{
    return " width=\"" + big + "\" height=\"" + big + "\" minwidth=\"" + big + "\" maxwidth=\"" + big +
           "\" minheight=\"-" + big + "\" maxheight=\"" + big + "\" padding=\"" + big + "," + big + "," + big + "," +
           big + "\" inset=\"" + big + "," + big + "," + big + "," + big + "\" childpadding=\"" + big +
           "\" textpadding=\"" + big + ",-" + big + "," + big + "," + big + "\" bordersize=\"" + big +
           "\" borderround=\"" + big + "," + big + "\" pos=\"-" + big + ",-" + big + "," + big + "," + big +
           "\" bkcolor=\"#FF336699\" bordercolor=\"#FF000000\" gradientangle=\"" + big + "\" bkimage=\"" + image +
           "\" foreimage=\"" + image + "\" normalimage=\"" + image + "\" hotimage=\"" + image +
           "\" thumbimage=\"" + image + "\" font=\"" + big + "\" text=\"hostile {b}text{/b}\" showhtml=\"true\" "
           "dropboxsize=\"" + big + "," + big + "\" min=\"-" + big + "\" max=\"" + big + "\" value=\"" + big +
           "\" step=\"" + big + "\" maxchar=\"" + big + "\" thumbsize=\"" + big + "," + big + "\" linesize=\"" +
           big + "\" shadowoffset=\"" + big + "," + big + "\" gradientlength=\"" + big + "\" range=\"" + big +
           "\" colorhsl=\"true\" ";
}

std::string Window(const std::string& body, const std::string& attributes = std::string())
{
    return "<Window size=\"800,600\"" + attributes + ">" + body + "</Window>";
}

struct Writer {
    std::wstring folder;
    std::vector<CorpusEntry> entries;
    void File(const std::string& name, const std::string& bytes) const
    {
        testing_support::WriteBytes(folder + std::wstring(name.begin(), name.end()), bytes);
    }
    void Skin(const std::string& name, const std::string& markup)
    {
        File(name, markup);
        entries.push_back(CorpusEntry{"hostile/" + name, folder, L"", std::wstring(name.begin(), name.end())});
    }
};

}  // namespace

std::string GreyPng(unsigned width, unsigned height)
{
    std::string header;
    Put32(header, width);
    Put32(header, height);
    header += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit grey, no interlace
    std::string packed;
    z_stream z{};
    deflateInit(&z, 1);
    const std::string row(static_cast<size_t>(width) + 1, '\0');  // filter byte and pixels
    std::string buffer(1 << 16, '\0');
    for (unsigned y = 0; y <= height; ++y) {
        const bool last = y == height;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        z.avail_in = last ? 0u : static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(&buffer[0]);
            z.avail_out = static_cast<uInt>(buffer.size());
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            packed.append(buffer.data(), buffer.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(png, "IHDR", header);
    Chunk(png, "IDAT", packed);
    Chunk(png, "IEND", std::string());
    return png;
}

std::vector<CorpusEntry> GenerateHostileSkins(const std::wstring& folder)
{
    Writer w{folder, {}};
    const std::string kMax = "2147483647";

    // Pictures: a good one, none at all, empty, zero by zero, far too
    // large, cut short and no picture at all.
    w.File("good.png", draw_test::MakePng(4, 4, std::vector<uint32_t>(16, 0xFF20A040)));
    w.File("empty.png", std::string());
    w.File("zero.png", GreyPng(0, 0));
    w.File("huge.png", GreyPng(16384, 16384));
    w.File("cut.png", draw_test::MakePng(64, 64, std::vector<uint32_t>(64 * 64, 0xFFFFFFFF)).substr(0, 60));
    w.File("junk.png", Repeat("not a picture ", 100));
    const char* const pictures[] = {"good.png", "missing.png", "empty.png", "zero.png", "huge.png", "cut.png",
                                    "junk.png"};

    // Counts: two thousand million runs of a source that is missing, and
    // of one that loads; a file that includes itself four times per level.
    w.File("row.xml", "<I><Button text=\"row\" bkimage=\"good.png\" height=\"3\" /></I>");
    w.Skin("count_missing.xml",
           Window("<VerticalLayout><Include source=\"missing.xml\" count=\"2000000000\" /></VerticalLayout>"));
    w.Skin("count_loads.xml",
           Window("<VerticalLayout><Include source=\"row.xml\" count=\"2000000000\" /></VerticalLayout>"));
    w.File("four.xml", "<I><Label text=\"x\" /><Include source=\"four.xml\" count=\"4\" /></I>");
    w.Skin("self_four.xml", Window("<VerticalLayout><Include source=\"four.xml\" /></VerticalLayout>"));
    w.File("selfwin.xml", Window("<VerticalLayout><Include source=\"selfwin.xml\" count=\"3\" /></VerticalLayout>",
                                 " caption=\"0,0,0,30\""));
    w.Skin("self_window.xml", Window("<Include source=\"selfwin.xml\" count=\"3\" /><VerticalLayout />"));
    w.Skin("include_flood.xml",
           Window("<VerticalLayout>" + Repeat("<Include source=\"missing.xml\" count=\"1000\" />", 20000) +
                  "</VerticalLayout>"));

    // A hundred thousand controls of every kind, and extra top-level ones.
    std::string many;
    for (int i = 0; i < 100000; ++i) many += std::string("<") + kTags[i % (sizeof kTags / sizeof *kTags)] + " />";
    w.Skin("hundred_thousand.xml", Window("<VerticalLayout>" + many + "</VerticalLayout>"));
    w.Skin("top_level_flood.xml", Window(Repeat("<Control /><VerticalLayout><Label /></VerticalLayout>", 5000)));

    // Depth: 999 levels in one document (root and Include among them) that
    // includes itself at the bottom,
    // and as many levels of mixed containers with insets and paddings.
    std::string open, close;
    for (int i = 0; i < 997; ++i) {
        open += "<VerticalLayout>";
        close += "</VerticalLayout>";
    }
    w.File("deep.xml", "<I>" + open + "<Include source=\"deep.xml\" />" + close + "</I>");
    w.Skin("deep_self.xml", Window(open + "<Include source=\"deep.xml\" />" + close));
    std::string mixedOpen, mixedClose;
    for (int i = 0; i < 997; ++i) {
        const char* tag = kContainers[i % 3];
        mixedOpen += std::string("<") + tag + " inset=\"1,1,1,1\" padding=\"1,0,1,0\" childpadding=\"1\" bkcolor=\"#FF" +
                     (i % 2 ? "102030" : "302010") + "\">";
        mixedClose = std::string("</") + tag + ">" + mixedClose;
    }
    w.Skin("deep_mixed.xml", Window(mixedOpen + "<Label text=\"bottom\" />" + mixedClose));

    // Giant sizes and paddings on every kind of control, with every picture.
    std::string giant;
    for (const char* picture : pictures)
        for (const char* tag : kTags) {
            giant += std::string("<") + tag + ExtremeAttributes(kMax, picture) + "/>";
            giant += std::string("<") + tag + ExtremeAttributes("-2147483648", picture) + "float=\"true\" />";
        }
    w.Skin("giant_sizes.xml", Window("<VerticalLayout" + ExtremeAttributes(kMax, "good.png") + ">" + giant +
                                         "<HorizontalLayout>" + giant + "</HorizontalLayout></VerticalLayout>",
                                     " caption=\"0,0,0," + kMax + "\" sizebox=\"" + kMax + "," + kMax + "," + kMax +
                                         "," + kMax + "\" roundcorner=\"" + kMax + "," + kMax + "\" mininfo=\"" +
                                         kMax + "," + kMax + "\" maxinfo=\"-1,-1\""));
    w.Skin("giant_window.xml",
           "<Window size=\"" + kMax + "," + kMax + "\" alpha=\"-7\" bktrans=\"true\"><VerticalLayout bkcolor=\"#80FF0000\">"
           "<Button text=\"b\" width=\"" + kMax + "\" /></VerticalLayout></Window>");

    // Pictures as window-level images and in descriptors of every shape.
    std::string images, described;
    for (const char* picture : pictures) {
        images += std::string("<Image name=\"") + picture + "\" mask=\"#FFFFFFFF\" />";
        images += std::string("<Image name=\"") + picture + "\" restype=\"PNG\" />";
        described += std::string("<Control height=\"40\" bkimage=\"file='") + picture + "' corner='" + kMax + "," +
                     kMax + "," + kMax + "," + kMax + "' source='-5,-5," + kMax + "," + kMax + "' dest='0,0," + kMax +
                     "," + kMax + "' xtiled='true' ytiled='true' fade='300' hole='true'\" />";
        described += std::string("<Text height=\"40\" showhtml=\"true\" text=\"{i ") + picture + "}{i " + picture +
                     " 9999 3}{x " + kMax + "}{a}link{/a}\" />";
    }
    w.Skin("images.xml", Window(images + "<VerticalLayout>" + described + "</VerticalLayout>"));

    // Fonts of impossible sizes, faces and ids, and a flood of declarations.
    std::string fonts = "<Font id=\"1\" name=\"Arial\" size=\"-2147483648\" bold=\"true\" default=\"true\" />"
                        "<Font id=\"2\" name=\"Arial\" size=\"2147483647\" italic=\"true\" underline=\"true\" />"
                        "<Font id=\"3\" name=\"" + std::string(300, 'F') + "\" size=\"0\" shared=\"true\" />"
                        "<Font id=\"2147483647\" name=\"Tahoma\" size=\"-1\" shared=\"true\" default=\"true\" />";
    std::string labels;
    for (const char* id : {"1", "2", "3", "-5", "99999", "2147483647"})
        labels += std::string("<Label font=\"") + id + "\" text=\"font " + id + "\" /><Edit font=\"" + id +
                  "\" text=\"e\" /><Text font=\"" + id + "\" showhtml=\"true\" text=\"{f " + id + "}t{/f}\" />";
    w.Skin("fonts.xml", Window(fonts + "<VerticalLayout>" + labels + "</VerticalLayout>"));
    std::string declarations;
    for (int i = 0; i < 20000; ++i) {
        declarations += "<Font id=\"" + Number(i) + "\" name=\"Arial\" size=\"" + Number(8 + i % 40) + "\" />";
        declarations += "<MultiLanguage id=\"" + Number(i) + "\" value=\"v\" />";
        declarations += "<Default name=\"T" + Number(i) + "\" value=\"width=&quot;3&quot;\" />";
    }
    w.Skin("declaration_flood.xml", Window(declarations + "<Label font=\"19999\" text=\"x\" />"));

    // Long texts, a combo with thousands of rows, and markup at the size limit.
    w.Skin("long_text.xml",
           Window("<VerticalLayout><Label text=\"" + std::string(1000000, 'W') + "\" endellipsis=\"true\" />"
                  "<Text showhtml=\"true\" text=\"" + Repeat("{b}{i}{u}x{/u}{/i}{/b}{n}", 20000) + "\" />"
                  "<Edit text=\"" + std::string(100000, 'e') + "\" maxchar=\"-1\" /></VerticalLayout>"));
    w.Skin("combo_rows.xml",
           Window("<VerticalLayout><Combo dropboxsize=\"2147483647,2147483647\" itemfont=\"1\">" +
                  Repeat("<ListLabelElement text=\"row\" height=\"2147483647\" />", 5000) +
                  "</Combo></VerticalLayout>"));
    const std::string padding = "<!--" + std::string(4 * 1024 * 1024 - 200, ' ') + "-->";
    w.File("filler.xml", "<I>" + padding + "<Include source=\"filler.xml\" /><Control /></I>");
    w.Skin("markup_flood.xml", Window("<VerticalLayout>" + Repeat("<Include source=\"filler.xml\" />", 8) +
                                      "</VerticalLayout>"));
    w.Skin("over_limit.xml", Window("<Control />") + std::string(4 * 1024 * 1024, ' '));
    return w.entries;
}

std::vector<CorpusEntry> ProductSkins(const std::wstring& folder)
{
    std::vector<CorpusEntry> entries;
    for (const wchar_t* archive : {L"skin.zip", L"skin_2x.zip"})
        for (const wchar_t* file : {L"main.xml", L"install.xml", L"progress.xml"}) {
            const std::wstring a(archive), f(file);
            entries.push_back(CorpusEntry{"product/" + std::string(a.begin(), a.end()) + "/" +
                                              std::string(f.begin(), f.end()),
                                          folder, archive, file});
        }
    return entries;
}

std::vector<CorpusEntry> FolderSkins(const std::string& label, const std::vector<std::wstring>& folders, size_t limit)
{
    std::vector<CorpusEntry> entries;
    for (const std::wstring& folder : folders) {
        WIN32_FIND_DATAW found{};
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) continue;
        std::vector<std::wstring> names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        std::sort(names.begin(), names.end());
        for (const std::wstring& name : names) {
            if (entries.size() >= limit) return entries;
            entries.push_back(CorpusEntry{label + "/" + std::string(name.begin(), name.end()), folder, L"", name});
        }
    }
    return entries;
}

}  // namespace hostile
