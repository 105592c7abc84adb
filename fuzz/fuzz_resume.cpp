// What a cut download keeps and what the server answers when asked for the
// rest: the kept record is read back from disk and the response headers
// come from the network. A record read must write back to the same text;
// a continuation is only ever accepted with a range that ends the file.
#include "service/ResumeRecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    ResumeRecord record;
    if (ReadResumeRecord(text, record)) {
        ResumeRecord again;
        if (!ReadResumeRecord(WriteResumeRecord(record), again)) __builtin_trap();
        if (again.url != record.url || again.validator != record.validator || again.total != record.total)
            __builtin_trap();
    }
    std::wstring headers(text.begin(), text.end());
    ContentRange range;
    if (ParseContentRange(HeaderValue(headers, L"Content-Range"), range)) {
        if (range.first > range.last || range.last >= range.total) __builtin_trap();
    }
    ResumeRecord kept{L"u", ValidatorOf(headers), 0};
    if (ContinuesPartial(kept, 5, headers) && (kept.validator.empty() || range.first != 5)) __builtin_trap();
    if (RangeRequestHeaders(5, ValidatorOf(headers)).find_first_of(L"\r\n") == std::wstring::npos &&
        !RangeRequestHeaders(5, ValidatorOf(headers)).empty())
        __builtin_trap();
    return 0;
}
