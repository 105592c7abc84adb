#include "ui/core/DescriptorGrammar.h"

#include <gtest/gtest.h>

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

TEST(DescriptorGrammar, ValueParsers)
{
    uint32_t colour = 0;
    EXPECT_TRUE(ParseColorValue(L"#FFCCCCCC", colour));
    EXPECT_EQ(colour, 0xFFCCCCCCu);
    EXPECT_TRUE(ParseColorValue(L"80ff0000", colour));
    EXPECT_EQ(colour, 0x80FF0000u);
    EXPECT_TRUE(ParseColorValue(L"#123456789A", colour));
    EXPECT_EQ(colour, 0x12345678u);
    EXPECT_FALSE(ParseColorValue(L"#zz", colour));
    EXPECT_FALSE(ParseColorValue(L"", colour));

    EXPECT_EQ(ParseIntList(L"2,2,15,2", 4), (std::vector<int>{2, 2, 15, 2}));
    EXPECT_EQ(ParseIntList(L"1,2,3,4,5", 4), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(ParseIntList(L"7", 4), (std::vector<int>{7}));
    EXPECT_EQ(ParseIntList(L"1,,3", 4), (std::vector<int>{1}));
    EXPECT_EQ(ParseIntList(L"-3 x", 4), (std::vector<int>{-3}));
    EXPECT_TRUE(ParseIntList(L"", 4).empty());

    auto pairs = ReadDescriptorPairs(L"a='1' b = '2'  c='3'd='4'");
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[2].first, L"c");
    EXPECT_EQ(pairs[2].second, L"3");
}

}  // namespace
