#pragma once

#include <cstdint>
#include <string>

// The value syntax of markup attributes. Pure functions of their text, so
// they are tested and fuzzed without a window.
namespace attribute_values {

// True only for exactly "true": "True" and "1" are false.
bool ParseBool(const std::wstring& value);

// Decimal like wcstol: leading blanks, an optional sign, up to the first non-digit; no digits read as 0.
int ParseInt(const std::wstring& value);

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

}  // namespace attribute_values
