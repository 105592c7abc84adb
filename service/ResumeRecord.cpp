#include "service/ResumeRecord.h"

#include "base/StringConvert.h"

namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t'; }

bool SameNameIgnoringCase(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

// Digits only, at most 19 of them, so the value fits 64 bits.
bool ParseCount(const std::wstring& text, uint64_t& value)
{
    if (text.empty() || text.size() > 19) return false;
    uint64_t number = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        number = number * 10 + static_cast<uint64_t>(c - L'0');
    }
    value = number;
    return true;
}

bool HasLineBreak(const std::wstring& text) { return text.find_first_of(L"\r\n") != std::wstring::npos; }

}  // namespace

std::string WriteResumeRecord(const ResumeRecord& record)
{
    if (HasLineBreak(record.url) || HasLineBreak(record.validator)) return std::string();
    return WideToUtf8(record.url) + "\n" + WideToUtf8(record.validator) + "\n" + std::to_string(record.total) +
           "\n";
}

bool ReadResumeRecord(const std::string& text, ResumeRecord& record)
{
    size_t first = text.find('\n');
    if (first == std::string::npos) return false;
    size_t second = text.find('\n', first + 1);
    if (second == std::string::npos) return false;
    size_t third = text.find('\n', second + 1);
    if (third == std::string::npos || third + 1 != text.size()) return false;
    ResumeRecord read;
    read.url = Utf8ToWide(text.substr(0, first));
    read.validator = Utf8ToWide(text.substr(first + 1, second - first - 1));
    std::string total = text.substr(second + 1, third - second - 1);
    if (read.url.empty() || read.validator.empty() || HasLineBreak(read.url) || HasLineBreak(read.validator) ||
        !ParseCount(std::wstring(total.begin(), total.end()), read.total))
        return false;
    record = read;
    return true;
}

std::wstring HeaderValue(const std::wstring& headers, const wchar_t* name)
{
    size_t start = 0;
    while (start < headers.size()) {
        size_t end = headers.find(L"\r\n", start);
        if (end == std::wstring::npos) end = headers.size();
        std::wstring line = headers.substr(start, end - start);
        start = end + 2;
        size_t colon = line.find(L':');
        if (colon == std::wstring::npos || !SameNameIgnoringCase(line.substr(0, colon), name)) continue;
        size_t from = colon + 1;
        while (from < line.size() && IsSpace(line[from])) ++from;
        size_t to = line.size();
        while (to > from && IsSpace(line[to - 1])) --to;
        return line.substr(from, to - from);
    }
    return std::wstring();
}

std::wstring ValidatorOf(const std::wstring& headers)
{
    // A weak ETag may name a file whose bytes changed; only a strong one
    // (a quoted text) vouches for every byte.
    std::wstring tag = HeaderValue(headers, L"ETag");
    if (tag.size() >= 2 && tag.front() == L'"' && tag.back() == L'"') return tag;
    return HeaderValue(headers, L"Last-Modified");
}

bool ParseContentRange(const std::wstring& value, ContentRange& range)
{
    const std::wstring unit = L"bytes ";
    if (value.compare(0, unit.size(), unit) != 0) return false;
    size_t dash = value.find(L'-', unit.size());
    size_t slash = value.find(L'/', unit.size());
    if (dash == std::wstring::npos || slash == std::wstring::npos || dash > slash) return false;
    ContentRange read;
    if (!ParseCount(value.substr(unit.size(), dash - unit.size()), read.first) ||
        !ParseCount(value.substr(dash + 1, slash - dash - 1), read.last) ||
        !ParseCount(value.substr(slash + 1), read.total))
        return false;
    if (read.first > read.last || read.last >= read.total) return false;
    range = read;
    return true;
}

std::wstring RangeRequestHeaders(uint64_t offset, const std::wstring& validator)
{
    if (HasLineBreak(validator)) return std::wstring();
    return L"Range: bytes=" + DecimalText(offset) + L"-\r\nIf-Range: " + validator + L"\r\n";
}

bool ContinuesPartial(const ResumeRecord& record, uint64_t offset, const std::wstring& responseHeaders)
{
    ContentRange range;
    if (!ParseContentRange(HeaderValue(responseHeaders, L"Content-Range"), range)) return false;
    if (range.first != offset || range.last + 1 != range.total) return false;
    if (record.total != 0 && range.total != record.total) return false;
    return !record.validator.empty() && ValidatorOf(responseHeaders) == record.validator;
}
