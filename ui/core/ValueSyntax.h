#pragma once

#include <cstdint>
#include <string>

// The value syntax of skins, the one reader of numbers, lists and colours
// for both markup attributes and the values inside image descriptors and
// marked-up text. Pure functions of their text, so they are tested and
// fuzzed without a window.
//
// Decided once for every caller:
// - "1,,3": each number is read from the character after the one at which
//   the previous stopped, so the empty place reads 0: 1, 0, 3, 0.
// - A missing value (no digits) reads as 0, and so do missing trailing
//   numbers of a list; ReadInt and ReadColor say so instead, for callers
//   that keep a default of their own.
// - More than eight hexadecimal digits saturate to 0xFFFFFFFF, as wcstoul.
namespace value_syntax {

// True only for exactly "true": "True" and "1" are false.
bool ParseBool(const std::wstring& value);

// Decimal like wcstol: leading blanks, an optional sign, up to the first
// non-digit; out-of-range values saturate. No digits read as 0.
int ParseInt(const std::wstring& value);
// The same, but false and the value untouched when there are no digits.
bool ReadInt(const std::wstring& value, int& number);

// Four integers, each read from the character after the one at which the
// previous number stopped, so any single character separates them; missing
// trailing numbers read as 0.
struct IntQuad {
    int a = 0, b = 0, c = 0, d = 0;
};
IntQuad ParseIntList(const std::wstring& value);

// The same with decimal fractions read like wcstod.
struct FractionQuad {
    double a = 0, b = 0, c = 0, d = 0;
};
FractionQuad ParseFractionList(const std::wstring& value);

// 0xAARRGGBB from hexadecimal with one optional leading "#". With
// skipBlanks, characters of code 32 or below before it are skipped first
// (the background colours accept them; the other colours do not).
uint32_t ParseColor(const std::wstring& value, bool skipBlanks);
// The same, but false and the colour untouched when no digit follows.
bool ReadColor(const std::wstring& value, bool skipBlanks, uint32_t& colour);

}  // namespace value_syntax
