#include "base/StringConvert.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The conversions for builds without Windows headers (the native fuzzing
// build). Malformed UTF-8 and lone surrogates become U+FFFD, as the system
// conversion does; where wchar_t is 32 bits a code point is one unit.

namespace {

const char32_t kReplacement = 0xFFFD;

// Writes at out, which has room for two units; returns the units written.
size_t PutCodePoint(wchar_t* out, char32_t cp)
{
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
        cp -= 0x10000;
        out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
        out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        return 2;
    }
    out[0] = static_cast<wchar_t>(cp);
    return 1;
}

// Widens the ASCII run at the start of bytes (at most length bytes) into
// out and returns its length in bytes and units.
size_t WidenAscii(const unsigned char* bytes, size_t length, wchar_t* out)
{
    size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: zero bytes are interleaved to make units.
    const __m128i zero = _mm_setzero_si128();
    for (; length - i >= 16; i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(chunk) != 0) break;
        const __m128i low = _mm_unpacklo_epi8(chunk, zero), high = _mm_unpackhi_epi8(chunk, zero);
        __m128i* to = reinterpret_cast<__m128i*>(out + i);
        if (sizeof(wchar_t) == 2) {
            _mm_storeu_si128(to, low);
            _mm_storeu_si128(to + 1, high);
        } else {
            _mm_storeu_si128(to, _mm_unpacklo_epi16(low, zero));
            _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(low, zero));
            _mm_storeu_si128(to + 2, _mm_unpacklo_epi16(high, zero));
            _mm_storeu_si128(to + 3, _mm_unpackhi_epi16(high, zero));
        }
    }
#endif
    for (; length - i >= 8; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080u) break;
        for (size_t k = 0; k < 8; ++k) out[i + k] = static_cast<wchar_t>(bytes[i + k]);
    }
    while (i < length && bytes[i] < 0x80) {
        out[i] = static_cast<wchar_t>(bytes[i]);
        ++i;
    }
    return i;
}

}  // namespace

std::wstring Utf8ToWide(const std::string& utf8)
{
    std::wstring text;
    if (utf8.empty()) return text;
    // No sequence yields more units than it has bytes, and one spare unit
    // leaves room for a surrogate pair at the very end.
    text.resize(utf8.size() + 1);
    text.resize(Utf8ToWide(utf8.data(), utf8.size(), &text[0]));
    return text;
}

size_t Utf8ToWide(const char* bytes, size_t length, wchar_t* out)
{
    if (!bytes) return 0;
    size_t written = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < length) {
        // 1. Markup and JSON are mostly ASCII, widened in runs.
        const size_t run = WidenAscii(p + i, length - i, out + written);
        i += run;
        written += run;
        if (i == length) break;
        unsigned char lead = p[i];
        // 2. The lead byte gives the length and the smallest legal value.
        size_t extra;
        char32_t cp, least;
        if ((lead & 0xE0) == 0xC0) { extra = 1; cp = lead & 0x1F; least = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { extra = 2; cp = lead & 0x0F; least = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { extra = 3; cp = lead & 0x07; least = 0x10000; }
        else { written += PutCodePoint(out + written, kReplacement); ++i; continue; }
        // 3. Continuation bytes; a short or broken sequence yields one
        // replacement and decoding resumes at the offending byte.
        size_t taken = 1;
        while (taken <= extra && i + taken < length && (p[i + taken] & 0xC0) == 0x80) {
            cp = (cp << 6) | (p[i + taken] & 0x3F);
            ++taken;
        }
        bool bad = taken <= extra || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF);
        written += PutCodePoint(out + written, bad ? kReplacement : cp);
        i += taken;
    }
    return written;
}

std::string WideToUtf8(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            char32_t low = static_cast<char32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = kReplacement;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}
