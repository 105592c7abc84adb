#pragma once

// What it takes to continue a cut download later, and how to judge the
// server's answer to the request for the rest. Pure functions of text,
// free of Windows headers, so that they are tried natively.

#include <cstdint>
#include <string>

// Kept beside a partial file: the URL it came from, the validator the
// server gave it (a strong ETag, or else Last-Modified) and the whole
// length the server promised (0 when it promised none).
struct ResumeRecord {
    std::wstring url;
    std::wstring validator;
    uint64_t total = 0;
};

// One line each: URL, validator, total. Lines never hold a line break:
// Write refuses (empty result) a record whose URL or validator would.
std::string WriteResumeRecord(const ResumeRecord& record);
bool ReadResumeRecord(const std::string& text, ResumeRecord& record);

// The value of the first header line of that name in a raw CR LF header
// block, trimmed; empty when there is none.
std::wstring HeaderValue(const std::wstring& headers, const wchar_t* name);

// The validator a later request can name in If-Range: the ETag when it is
// a strong one, else Last-Modified, else empty (nothing to resume against).
std::wstring ValidatorOf(const std::wstring& headers);

// "bytes first-last/total" of a 206 answer; total may not be "*".
struct ContentRange {
    uint64_t first = 0;
    uint64_t last = 0;
    uint64_t total = 0;
};
bool ParseContentRange(const std::wstring& value, ContentRange& range);

// The header lines that ask for everything from offset on, but only while
// the file is still the one the validator names.
std::wstring RangeRequestHeaders(uint64_t offset, const std::wstring& validator);

// True when a 206 answer continues exactly the partial file of the record:
// the range starts at offset and runs to the end, the whole length agrees
// and the validator is the same as before.
bool ContinuesPartial(const ResumeRecord& record, uint64_t offset, const std::wstring& responseHeaders);
