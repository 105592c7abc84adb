#include "ui/core/ValueSyntax.h"

#include <gtest/gtest.h>

#include "ui/core/DescriptorGrammar.h"

using namespace value_syntax;

namespace {

DescriptorRect R(int l, int t, int r, int b)
{
    DescriptorRect rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}

struct DescriptorCase {
    const wchar_t* text;
    const wchar_t* file;
    DescriptorRect dest;
    DescriptorRect corner;
    int fade;
    bool hole;
};

TEST(DescriptorGrammar, PairsAndTheirDeviations)
{
    const DescriptorCase cases[] = {
        {L"close_button.png", L"close_button.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' dest='1,2,3,4'", L"a.png", R(1, 2, 3, 4), R(0, 0, 0, 0), 255, false},
        {L"file='a.png'  dest='1,2,3,4'", L"a.png", R(1, 2, 3, 4), R(0, 0, 0, 0), 255, false},
        // Directly after the closing apostrophe no further pair is read.
        {L"file='a.png'dest='1,2,3,4'", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file = 'a.png' corner='2,2,15,2'", L"a.png", R(0, 0, 0, 0), R(2, 2, 15, 2), 255, false},
        {L"file='combo3_nr.png' corner='2,2,15,2'", L"combo3_nr.png", R(0, 0, 0, 0), R(2, 2, 15, 2), 255, false},
        // An unterminated value ends the parse, keeping what came before.
        {L"file='a.png' fade='80", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' fade='0' hole='true'", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 0, true},
        {L"file='a.png' hole='True'", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' fade='999'", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' fade='-4'", L"a.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 0, false},
        // Empty values and unknown keys are ignored.
        {L"file='' res='' bogus='1' dest='5,6,7,8'", L"file='' res='' bogus='1' dest='5,6,7,8'", R(5, 6, 7, 8),
         R(0, 0, 0, 0), 255, false},
        {L"File='a.png'", L"File='a.png'", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' dest='3;4'", L"a.png", R(3, 4, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"file='a.png' dest='99999999999,-1,2,3'", L"a.png", R(2147483647, -1, 2, 3), R(0, 0, 0, 0), 255, false},
        {L"", L"", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
        {L"='x' file='b.png'", L"b.png", R(0, 0, 0, 0), R(0, 0, 0, 0), 255, false},
    };
    for (const DescriptorCase& c : cases) {
        DescriptorFields f = ParseDescriptorText(c.text);
        EXPECT_EQ(f.file, c.file) << c.text;
        EXPECT_TRUE(f.dest == c.dest) << c.text;
        EXPECT_TRUE(f.corner == c.corner) << c.text;
        EXPECT_EQ(f.fade, c.fade) << c.text;
        EXPECT_EQ(f.hole, c.hole) << c.text;
    }
}

TEST(DescriptorGrammar, ResourcesMasksAndFlags)
{
    DescriptorFields f = ParseDescriptorText(L"res='131' restype='PNG' mask='#FFFF00FF' xtiled='true' ytiled='true' hsl='true' source='0,0,8,9'");
    EXPECT_EQ(f.file, L"131");
    EXPECT_TRUE(f.isResource);
    EXPECT_EQ(f.resourceType, L"PNG");
    EXPECT_EQ(f.mask, 0xFFFF00FFu);
    EXPECT_TRUE(f.xtiled && f.ytiled && f.hsl);
    EXPECT_TRUE(f.source == R(0, 0, 8, 9));
    EXPECT_EQ(ParseDescriptorText(L"file='a' mask='ff00ff'").mask, 0x00FF00FFu);
    EXPECT_EQ(ParseDescriptorText(L"file='a' mask='#'").mask, 0u);
}

TEST(DescriptorGrammar, PairsEndAtTheFirstDeviation)
{
    auto pairs = ReadDescriptorPairs(L"a='1' b = '2'  c='3'd='4'");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[2].first, L"c");
    EXPECT_EQ(pairs[2].second, L"3");
}

// The descriptor's values go through the same reader as the attributes: an
// empty place in a list reads 0, overlong hexadecimal saturates, a value
// without digits leaves the descriptor's own default.
TEST(ValueSyntax, DescriptorValuesFollowTheAttributeRules)
{
    DescriptorFields f = ParseDescriptorText(L"file='a' dest='1,,3' corner='7' fade='x' mask='#123456789A'");
    EXPECT_TRUE(f.dest == R(1, 0, 3, 0));
    EXPECT_TRUE(f.corner == R(7, 0, 0, 0));
    EXPECT_EQ(f.fade, 255);
    EXPECT_EQ(f.mask, 0xFFFFFFFFu);
    EXPECT_EQ(ParseDescriptorText(L"file='a' mask=' #FF00FF00'").mask, 0xFF00FF00u);
}

TEST(ValueSyntax, ReadersReportMissingDigits)
{
    uint32_t colour = 7;
    EXPECT_TRUE(ReadColor(L"#FFCCCCCC", false, colour));
    EXPECT_EQ(colour, 0xFFCCCCCCu);
    EXPECT_TRUE(ReadColor(L"80ff0000", false, colour));
    EXPECT_EQ(colour, 0x80FF0000u);
    colour = 7;
    EXPECT_FALSE(ReadColor(L"#zz", false, colour));
    EXPECT_FALSE(ReadColor(L"", true, colour));
    EXPECT_EQ(colour, 7u);
    int number = 7;
    EXPECT_TRUE(ReadInt(L"-3 x", number));
    EXPECT_EQ(number, -3);
    number = 7;
    EXPECT_FALSE(ReadInt(L"x3", number));
    EXPECT_FALSE(ReadInt(L"", number));
    EXPECT_EQ(number, 7);
}

TEST(ValueSyntax, OnlyExactTrueIsTrue)
{
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* text : {L"True", L"TRUE", L"1", L"", L" true", L"true "})
        EXPECT_FALSE(ParseBool(text)) << text;
}

TEST(ValueSyntax, IntegersReadLikeWcstol)
{
    struct {
        const wchar_t* text;
        int value;
    } cases[] = {{L"20", 20}, {L"  -7px", -7}, {L"+3", 3}, {L"abc", 0}, {L"", 0},
                 {L"12.9", 12}, {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(c.value, ParseInt(c.text)) << c.text;
}

TEST(ValueSyntax, IntegerListsTakeAnySingleSeparator)
{
    struct {
        const wchar_t* text;
        int a, b, c, d;
    } cases[] = {
        {L"761,19,0,0", 761, 19, 0, 0},
        {L"37,16,34,30", 37, 16, 34, 30},
        {L"2,2,15,2", 2, 2, 15, 2},
        {L"1;2x3 4", 1, 2, 3, 4},
        {L"1,2,3,4,5", 1, 2, 3, 4},
        {L"5,6", 5, 6, 0, 0},
        {L"7", 7, 0, 0, 0},
        {L"", 0, 0, 0, 0},
        // Two separators in a row: the second is where the next number starts, and it reads 0.
        {L"1,,3", 1, 0, 3, 0},
        {L"1,,2,3", 1, 0, 2, 3},
        {L"-1,-2,-3,-4,5", -1, -2, -3, -4},
    };
    for (const auto& c : cases) {
        IntQuad q = ParseIntList(c.text);
        EXPECT_EQ(c.a, q.a) << c.text;
        EXPECT_EQ(c.b, q.b) << c.text;
        EXPECT_EQ(c.c, q.c) << c.text;
        EXPECT_EQ(c.d, q.d) << c.text;
    }
}

TEST(ValueSyntax, FractionLists)
{
    FractionQuad q = ParseFractionList(L"0.5,0.25,1,0");
    EXPECT_DOUBLE_EQ(0.5, q.a);
    EXPECT_DOUBLE_EQ(0.25, q.b);
    EXPECT_DOUBLE_EQ(1.0, q.c);
    EXPECT_DOUBLE_EQ(0.0, q.d);
    q = ParseFractionList(L".5");
    EXPECT_DOUBLE_EQ(0.5, q.a);
    EXPECT_DOUBLE_EQ(0.0, q.b);
}

TEST(ValueSyntax, ColoursWithTheirLeadingCharacterRules)
{
    EXPECT_EQ(0xFFE5E5E5u, ParseColor(L"#ffe5e5e5", false));
    EXPECT_EQ(0xFF999999u, ParseColor(L"FF999999", false));
    // Six digits leave alpha at 0.
    EXPECT_EQ(0x00FF0000u, ParseColor(L"#FF0000", false));
    // Blanks before the colour count only for the background colours.
    EXPECT_EQ(0xFFF2F2F2u, ParseColor(L" #FFF2F2F2", true));
    EXPECT_EQ(0xFFF2F2F2u, ParseColor(L"\t\r\n #FFF2F2F2", true));
    EXPECT_EQ(0u, ParseColor(L" #FFF2F2F2", false));
    EXPECT_EQ(0u, ParseColor(L"##FFF2F2F2", false));
    EXPECT_EQ(0u, ParseColor(L"", true));
    EXPECT_EQ(0u, ParseColor(L"#", true));
    EXPECT_EQ(0xFFFFFFFFu, ParseColor(L"#1FFFFFFFFF", false));
    EXPECT_EQ(0xFFFFFFFFu, ParseColor(L"#123456789A", false));
}

}  // namespace
