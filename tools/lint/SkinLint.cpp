#include "tools/lint/SkinLint.h"

#include "tools/lint/Files.h"
#include "tools/lint/Rules.h"
#include "ui/core/DescriptorGrammar.h"

#include <cwctype>
#include <stb/stb_image.h>

namespace lint {

namespace {

bool SameText(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::towlower(static_cast<wint_t>(*a)) != std::towlower(static_cast<wint_t>(*b))) return false;
    return *a == *b;
}

bool IsWindowLevel(const wchar_t* tag)
{
    return SameText(tag, L"Image") || SameText(tag, L"Font") || SameText(tag, L"Default") ||
           SameText(tag, L"MultiLanguage");
}

bool IsPictureFile(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "png" || ext == "jpg" || ext == "jpeg" || ext == "bmp" || ext == "gif";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Side(int n) { return n ? std::to_string(n) : std::string("any"); }

}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> ReadAttributeList(const std::wstring& list, std::wstring& rest)
{
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    size_t i = 0;
    const size_t n = list.size();
    rest.clear();
    while (i < n) {
        const size_t eq = list.find(L'=', i);
        const size_t close = eq == std::wstring::npos || eq + 1 >= n || list[eq + 1] != L'"'
                                 ? std::wstring::npos
                                 : list.find(L'"', eq + 2);
        if (close == std::wstring::npos) {
            rest = list.substr(i);
            break;
        }
        pairs.emplace_back(list.substr(i, eq - i), list.substr(eq + 2, close - eq - 2));
        if (close + 1 >= n) break;
        if (list[close + 1] != L' ' || close + 2 >= n) {
            rest = list.substr(close + 1);
            break;
        }
        i = close + 2;
    }
    return pairs;
}

void CSkinLint::LintFolder(const std::string& folder, int scale)
{
    if (!IsDirectory(m_root + "/" + folder)) {
        m_report.Error(folder, 0, "folder", "the product has no " + folder + " folder");
        return;
    }
    m_named[folder];
    for (const WindowSkin& skin : WindowSkins()) LintWindowSkin(folder, skin.file, scale, skin.window, skin.controls);
    // A picture nothing names still goes into the archive and the download.
    for (const std::string& file : FilesIn(m_root + "/" + folder))
        if (IsPictureFile(file) && !m_named[folder].count(file))
            m_report.Warning(folder + "/" + file, 0, "picture", "no skin names this picture");
}

void CSkinLint::LintWindowSkin(const std::string& folder, const std::string& file, int scale,
                               const std::string& window, const std::vector<ExpectedControl>& expected)
{
    const std::string path = folder + "/" + file;
    auto markup = std::make_unique<CMarkupFile>();
    if (!markup->Load(m_root + "/" + path)) {
        if (markup->FailureMessage() == "cannot be read")
            m_report.Error(path, 0, "markup", window + " needs this skin file, which is missing or unreadable");
        else
            m_report.Error(path, markup->FailureLine(), "markup", markup->FailureMessage());
        return;
    }
    const CXmlNode root = markup->Document().Root();
    Walk walk{folder, path, scale, markup.get(), {}};
    if (std::wstring(root.Name()) != L"Window")
        m_report.Error(path, markup->LineOf(root), "markup",
                       "the root element is " + Utf8(root.Name()) + "; a window's skin starts with Window");
    for (CXmlNode child = root.FirstChild(); child.IsValid(); child = child.NextSibling()) {
        if (IsWindowLevel(child.Name()))
            CheckWindowElement(walk, child);
        else
            WalkControls(walk, child);
    }
    for (const ExpectedControl& control : expected) {
        auto found = walk.names.find(control.name);
        if (found == walk.names.end()) {
            m_report.Error(path, markup->LineOf(root), "name",
                           "no control named " + Quoted(control.name) + "; " + window + " looks for a " +
                               control.interfaceName + " of that name");
            continue;
        }
        bool fits = false;
        for (const std::string& i : TagInterfaces(found->second.tag)) fits = fits || i == control.interfaceName;
        if (!fits)
            m_report.Error(path, found->second.line, "name",
                           Quoted(control.name) + " is a " + Utf8(found->second.tag) + "; " + window +
                               " looks for a " + control.interfaceName + " of that name");
    }
    m_markup[path] = std::move(markup);
}

void CSkinLint::CheckWindowElement(Walk& walk, const CXmlNode& node)
{
    const CMarkupFile& markup = *walk.markup;
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const std::wstring name = node.AttributeName(i);
        const int line = markup.LineOfAttribute(node, i);
        if (SameText(node.Name(), L"Image") && name == L"name") {
            CheckPicture(walk, node.AttributeValue(i), line, "name");
        } else if (SameText(node.Name(), L"Default") && name == L"value") {
            std::wstring rest;
            for (const auto& pair : ReadAttributeList(node.AttributeValue(i), rest)) {
                if (IsPictureAttribute(pair.first)) CheckPicture(walk, pair.second, line, "value/" + Utf8(pair.first));
                // Controls ignore a name they do not know, so a stray blank
                // silently loses the attribute.
                bool plain = !pair.first.empty();
                for (wchar_t c : pair.first) plain = plain && (std::iswalnum(static_cast<wint_t>(c)) || c == L'_');
                if (!plain)
                    m_report.Error(walk.file, line, "value",
                                   "the list holds " + Quoted(Utf8(pair.first)) +
                                       ", which is no attribute name (name=\"value\" pairs, one blank between them)");
            }
            if (!rest.empty())
                m_report.Error(walk.file, line, "value",
                               "the attribute list stops being read at " + Quoted(Utf8(rest.substr(0, 40))) +
                                   " (name=\"value\" pairs, one blank between them)");
        }
    }
}

void CSkinLint::WalkControls(Walk& walk, const CXmlNode& node)
{
    const CMarkupFile& markup = *walk.markup;
    const std::wstring tag = node.Name();
    if (SameText(tag.c_str(), L"Include")) {
        m_report.Warning(walk.file, markup.LineOf(node), "Include", "included markup is not checked");
        return;
    }
    if (IsWindowLevel(tag.c_str())) {
        m_report.Warning(walk.file, markup.LineOf(node), Utf8(tag),
                         "has an effect only as a direct child of the Window element");
        return;
    }
    if (TagInterfaces(tag).empty()) {
        m_report.Warning(walk.file, markup.LineOf(node), Utf8(tag),
                         "unknown element: the window drops it with everything inside it");
        return;
    }
    for (int i = 0; i < node.AttributeCount(); ++i) {
        const std::wstring name = node.AttributeName(i);
        const int line = markup.LineOfAttribute(node, i);
        if (name == L"name") {
            const std::string control = Utf8(node.AttributeValue(i));
            if (walk.names.count(control))
                m_report.Warning(walk.file, line, "name",
                                 "a second control named " + Quoted(control) + " (first on line " +
                                     std::to_string(walk.names[control].line) + ")");
            else
                walk.names[control] = NamedControl{tag, markup.LineOf(node)};
        } else if (IsPictureAttribute(name)) {
            CheckPicture(walk, node.AttributeValue(i), line, Utf8(name));
        }
    }
    for (CXmlNode child = node.FirstChild(); child.IsValid(); child = child.NextSibling())
        WalkControls(walk, child);
}

void CSkinLint::CheckPicture(Walk& walk, const std::wstring& descriptor, int line, const std::string& key)
{
    const DescriptorFields fields = ParseDescriptorText(descriptor);
    if (fields.isResource) return;   // a picture of the program's own resources
    const std::string wanted = Utf8(fields.file);
    if (wanted.empty()) {
        m_report.Warning(walk.file, line, key, "names no picture");
        return;
    }
    const std::string file = FindLikeArchive(m_root + "/" + walk.folder, wanted);
    if (file.empty()) {
        m_report.Error(walk.file, line, key, "picture " + Quoted(wanted) + " is not in " + walk.folder + "/");
        return;
    }
    m_named[walk.folder].insert(file);
    const PictureSize& size = Decode(walk.folder, file);
    if (!size.decodes) {
        m_report.Error(walk.file, line, key,
                       "picture " + Quoted(file) + " does not decode (" + size.failure + ")");
        return;
    }
    for (const BoundPicture& bound : BoundPictures()) {
        if (file != bound.file) continue;
        const int width = bound.width * walk.scale, height = bound.height * walk.scale;
        if ((width && size.width != width) || (height && size.height != height))
            m_report.Error(walk.file, line, key,
                           "picture " + Quoted(file) + " is " + std::to_string(size.width) + "x" +
                               std::to_string(size.height) + "; " + bound.shownBy + " shows it at " + Side(width) +
                               "x" + Side(height));
    }
}

const PictureSize& CSkinLint::Decode(const std::string& folder, const std::string& file)
{
    const std::string key = folder + "/" + file;
    auto found = m_pictures.find(key);
    if (found != m_pictures.end()) return found->second;
    PictureSize& size = m_pictures[key];
    std::string bytes;
    size.failure = "cannot be read";
    if (ReadWholeFile(m_root + "/" + key, bytes) && bytes.size() < 0x7fffffff) {
        int components = 0;
        // Decoded whole, as the program does, so that a picture broken past
        // its header is caught too.
        stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                                static_cast<int>(bytes.size()), &size.width, &size.height,
                                                &components, 4);
        size.decodes = pixels != nullptr;
        if (!pixels) size.failure = stbi_failure_reason();
        stbi_image_free(pixels);
    }
    return size;
}

const CMarkupFile* CSkinLint::Markup(const std::string& folder, const std::string& file) const
{
    auto found = m_markup.find(folder + "/" + file);
    return found == m_markup.end() ? nullptr : found->second.get();
}

const PictureSize* CSkinLint::Picture(const std::string& folder, const std::string& file) const
{
    auto found = m_pictures.find(folder + "/" + file);
    return found == m_pictures.end() ? nullptr : &found->second;
}

const std::set<std::string>& CSkinLint::PicturesNamed(const std::string& folder) const
{
    static const std::set<std::string> none;
    auto found = m_named.find(folder);
    return found == m_named.end() ? none : found->second;
}

}  // namespace lint
