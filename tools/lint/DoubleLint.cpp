#include "tools/lint/DoubleLint.h"

#include "tools/lint/Files.h"
#include "tools/lint/Rules.h"
#include "ui/core/DescriptorGrammar.h"

#include <cwctype>
#include <map>
#include <set>

namespace lint {

namespace {

const char kStandard[] = "skin";
const char kDouble[] = "skin_2x";

bool IsMeasure(const std::wstring& name)
{
    static const std::set<std::wstring> measures = {
        L"size",       L"caption",    L"mininfo",     L"maxinfo",         L"roundcorner", L"sizebox",
        L"width",      L"height",     L"pos",         L"padding",         L"inset",       L"textpadding",
        L"itemtextpadding", L"borderround", L"bordersize", L"childpadding", L"minwidth",  L"maxwidth",
        L"minheight",  L"maxheight",  L"dropboxsize", L"itemminwidth"};
    return measures.count(name) != 0;
}

bool IsPictureMeasure(const std::wstring& key) { return key == L"corner" || key == L"source" || key == L"dest"; }

bool IsCombo(const std::wstring& tag)
{
    std::wstring lower;
    for (wchar_t c : tag) lower += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return lower == L"combo";
}

std::string Quoted(const std::wstring& text) { return "\"" + Utf8(text) + "\""; }

// One pair of elements, the standard one and its 2x twin.
struct Twins {
    const CMarkupFile& standard;
    const CMarkupFile& doubled;
    std::string standardFile;
    std::string doubledFile;
};

class CComparer {
public:
    CComparer(const Twins& twins, CReport& report) : m_twins(twins), m_report(report) {}

    void CompareElements(const CXmlNode& one, const CXmlNode& two);

private:
    // The expected 2x form of one attribute value, or empty with `free`
    // set when any value is allowed.
    std::wstring Expected(const std::wstring& tag, bool inDefault, const std::wstring& name, const std::wstring& value,
                          bool& free) const;
    std::wstring ExpectedDescriptor(const std::wstring& tag, const std::wstring& value, bool& free) const;
    void CompareValue(const std::wstring& tag, bool inDefault, const std::wstring& name, const std::wstring& one,
                      const std::wstring& two, int oneLine, int twoLine, const std::string& key);
    void CompareDefaultList(const std::wstring& tag, const std::wstring& one, const std::wstring& two, int oneLine,
                            int twoLine);

    std::string Where(int line) const { return m_twins.standardFile + ":" + std::to_string(line); }

    const Twins& m_twins;
    CReport& m_report;
};

std::wstring CComparer::ExpectedDescriptor(const std::wstring& tag, const std::wstring& value, bool& free) const
{
    const std::vector<DescriptorPair> pairs = ReadDescriptorPairs(value);
    if (pairs.empty()) return value;   // a bare file name
    std::wstring expected;
    for (const DescriptorPair& pair : pairs) {
        std::wstring field = pair.second;
        if (IsPictureMeasure(pair.first)) {
            // The combo's frames keep thin edges at 2x; their corners are
            // the designer's choice.
            if (pair.first == L"corner" && IsCombo(tag)) {
                free = true;
                return std::wstring();
            }
            field = DoubledMeasures(field);
        }
        if (!expected.empty()) expected += L' ';
        expected += pair.first + L"='" + field + L"'";
    }
    return expected;
}

std::wstring CComparer::Expected(const std::wstring& tag, bool inDefault, const std::wstring& name,
                                 const std::wstring& value, bool& free) const
{
    free = false;
    if (inDefault && IsCombo(tag) && name == L"bordersize") return value;
    if (IsPictureAttribute(name)) return ExpectedDescriptor(tag, value, free);
    if (IsMeasure(name) && tag != L"Default") return DoubledMeasures(value);
    return value;
}

void CComparer::CompareValue(const std::wstring& tag, bool inDefault, const std::wstring& name,
                             const std::wstring& one, const std::wstring& two, int oneLine, int twoLine,
                             const std::string& key)
{
    bool free = false;
    const std::wstring expected = Expected(tag, inDefault, name, one, free);
    if (free) return;
    if (IsPictureAttribute(name) && !ReadDescriptorPairs(two).empty()) {
        // Compare the pairs as read, so that blanks between them do not matter.
        std::wstring normal;
        for (const DescriptorPair& pair : ReadDescriptorPairs(two))
            normal += (normal.empty() ? L"" : L" ") + pair.first + L"='" + pair.second + L"'";
        if (normal == expected) return;
    } else if (two == expected) {
        return;
    }
    const bool measured = expected != one;
    m_report.Error(m_twins.doubledFile, twoLine, key,
                   "is " + Quoted(two) + ", expected " + Quoted(expected) +
                       (measured ? " (twice the measures of " : " (as in ") + Where(oneLine) + ")");
}

void CComparer::CompareDefaultList(const std::wstring& tag, const std::wstring& one, const std::wstring& two,
                                   int oneLine, int twoLine)
{
    std::wstring restOne, restTwo;
    const auto listOne = ReadAttributeList(one, restOne);
    const auto listTwo = ReadAttributeList(two, restTwo);
    std::map<std::wstring, std::wstring> valuesTwo(listTwo.begin(), listTwo.end());
    for (const auto& pair : listOne) {
        const std::string key = "value/" + Utf8(pair.first);
        auto found = valuesTwo.find(pair.first);
        if (found == valuesTwo.end()) {
            m_report.Error(m_twins.doubledFile, twoLine, key, "missing; " + Where(oneLine) + " sets it");
            continue;
        }
        CompareValue(tag, true, pair.first, pair.second, found->second, oneLine, twoLine, key);
        valuesTwo.erase(found);
    }
    for (const auto& pair : valuesTwo)
        m_report.Error(m_twins.doubledFile, twoLine, "value/" + Utf8(pair.first),
                       "not set in " + Where(oneLine));
}

void CComparer::CompareElements(const CXmlNode& one, const CXmlNode& two)
{
    const std::wstring tag = one.Name();
    const int oneLine = m_twins.standard.LineOf(one), twoLine = m_twins.doubled.LineOf(two);
    if (tag != two.Name()) {
        m_report.Error(m_twins.doubledFile, twoLine, Utf8(two.Name()),
                       "element " + Utf8(two.Name()) + " where " + Where(oneLine) + " has " + Utf8(tag));
        return;
    }
    // 1. Attributes by name: the same set, values as the rules say.
    std::map<std::wstring, int> inTwo;
    for (int i = 0; i < two.AttributeCount(); ++i) inTwo[two.AttributeName(i)] = i;
    wchar_t defaultName[500] = {};
    const bool isDefault = tag == L"Default" && one.FindAttribute(L"name", defaultName);
    for (int i = 0; i < one.AttributeCount(); ++i) {
        const std::wstring name = one.AttributeName(i);
        const int lineOne = m_twins.standard.LineOfAttribute(one, i);
        auto found = inTwo.find(name);
        if (found == inTwo.end()) {
            m_report.Error(m_twins.doubledFile, twoLine, Utf8(name), "missing; " + Where(lineOne) + " sets it");
            continue;
        }
        const int lineTwo = m_twins.doubled.LineOfAttribute(two, found->second);
        const std::wstring valueTwo = two.AttributeValue(found->second);
        if (isDefault && name == L"value")
            CompareDefaultList(defaultName, one.AttributeValue(i), valueTwo, lineOne, lineTwo);
        else
            CompareValue(tag, false, name, one.AttributeValue(i), valueTwo, lineOne, lineTwo, Utf8(name));
        inTwo.erase(found);
    }
    for (const auto& extra : inTwo)
        m_report.Error(m_twins.doubledFile, m_twins.doubled.LineOfAttribute(two, extra.second), Utf8(extra.first),
                       "not set in " + Where(oneLine));
    // 2. Children in order. One element left out or added on one side is
    // reported once, and the comparison goes on with the elements after it.
    CXmlNode childOne = one.FirstChild(), childTwo = two.FirstChild();
    auto same = [](const CXmlNode& a, const CXmlNode& b) { return a.IsValid() && std::wstring(a.Name()) == b.Name(); };
    while (childOne.IsValid() && childTwo.IsValid()) {
        if (!same(childOne, childTwo) && same(childOne.NextSibling(), childTwo)) {
            m_report.Error(m_twins.doubledFile, twoLine, Utf8(tag),
                           "lacks the element " + Utf8(childOne.Name()) + " of " +
                               Where(m_twins.standard.LineOf(childOne)));
            childOne = childOne.NextSibling();
            continue;
        }
        if (!same(childOne, childTwo) && same(childTwo.NextSibling(), childOne)) {
            m_report.Error(m_twins.doubledFile, m_twins.doubled.LineOf(childTwo), Utf8(childTwo.Name()),
                           "has no twin in " + Where(oneLine));
            childTwo = childTwo.NextSibling();
            continue;
        }
        CompareElements(childOne, childTwo);
        childOne = childOne.NextSibling();
        childTwo = childTwo.NextSibling();
    }
    if (childOne.IsValid())
        m_report.Error(m_twins.doubledFile, twoLine, Utf8(tag),
                       "lacks the element " + Utf8(childOne.Name()) + " of " +
                           Where(m_twins.standard.LineOf(childOne)));
    if (childTwo.IsValid())
        m_report.Error(m_twins.doubledFile, m_twins.doubled.LineOf(childTwo), Utf8(childTwo.Name()),
                       "has no twin in " + Where(oneLine));
}

}  // namespace

std::wstring DoubledMeasures(const std::wstring& value)
{
    std::wstring out;
    for (size_t i = 0; i < value.size();) {
        const bool negative = value[i] == L'-' && i + 1 < value.size() && std::iswdigit(static_cast<wint_t>(value[i + 1]));
        if (!negative && !std::iswdigit(static_cast<wint_t>(value[i]))) {
            out += value[i++];
            continue;
        }
        size_t end = i + (negative ? 1 : 0);
        long long number = 0;
        while (end < value.size() && std::iswdigit(static_cast<wint_t>(value[end])) && number < 100000000)
            number = number * 10 + (value[end++] - L'0');
        out += std::to_wstring((negative ? -2 : 2) * number);
        i = end;
    }
    return out;
}

void LintDoubling(const CSkinLint& skins, CReport& report)
{
    for (const WindowSkin& skin : WindowSkins()) {
        const CMarkupFile* standard = skins.Markup(kStandard, skin.file);
        const CMarkupFile* doubled = skins.Markup(kDouble, skin.file);
        if (!standard || !doubled) continue;   // already reported
        const Twins twins{*standard, *doubled, std::string(kStandard) + "/" + skin.file,
                          std::string(kDouble) + "/" + skin.file};
        CComparer(twins, report).CompareElements(standard->Document().Root(), doubled->Document().Root());
    }
    // Pictures drawn at 2x are twice their standard twins; the bound ones
    // were held to their boxes already, so only the others are looked at.
    for (const std::string& file : skins.PicturesNamed(kStandard)) {
        const PictureSize* one = skins.Picture(kStandard, file);
        const PictureSize* two = skins.Picture(kDouble, file);
        if (!one || !two || !one->decodes || !two->decodes) continue;
        bool bound = false;
        for (const BoundPicture& picture : BoundPictures()) bound = bound || file == picture.file;
        if (bound) continue;
        if (two->width != 2 * one->width || two->height != 2 * one->height)
            report.Warning(std::string(kDouble) + "/" + file, 0, "picture",
                           "is " + std::to_string(two->width) + "x" + std::to_string(two->height) +
                               ", not twice the " + std::to_string(one->width) + "x" + std::to_string(one->height) +
                               " of " + kStandard + "/" + file);
    }
}

}  // namespace lint
