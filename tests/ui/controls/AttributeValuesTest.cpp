#include <gtest/gtest.h>

#include "ui/controls/AttributeValues.h"

using namespace attribute_values;

TEST(AttributeValues, OnlyExactTrueIsTrue)
{
    EXPECT_TRUE(ParseBool(L"true"));
    for (const wchar_t* text : {L"True", L"TRUE", L"1", L"", L" true", L"true "})
        EXPECT_FALSE(ParseBool(text)) << text;
}

TEST(AttributeValues, IntegersReadLikeWcstol)
{
    struct {
        const wchar_t* text;
        int value;
    } cases[] = {{L"20", 20}, {L"  -7px", -7}, {L"+3", 3}, {L"abc", 0}, {L"", 0},
                 {L"12.9", 12}, {L"99999999999", 2147483647}, {L"-99999999999", -2147483647 - 1}};
    for (const auto& c : cases) EXPECT_EQ(c.value, ParseInt(c.text)) << c.text;
}

TEST(AttributeValues, IntegerListsTakeAnySingleSeparator)
{
    struct {
        const wchar_t* text;
        int a, b, c, d;
    } cases[] = {
        {L"761,19,0,0", 761, 19, 0, 0},
        {L"37,16,34,30", 37, 16, 34, 30},
        {L"1;2x3 4", 1, 2, 3, 4},
        {L"5,6", 5, 6, 0, 0},
        {L"", 0, 0, 0, 0},
        // Two separators in a row: the second is where the next number starts, and it reads 0.
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

TEST(AttributeValues, FractionLists)
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

TEST(AttributeValues, ColoursWithTheirLeadingCharacterRules)
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
    EXPECT_EQ(0xFFFFFFFFu, ParseColor(L"#1FFFFFFFFF", false));
}
