#include "ui/core/XmlDocument.h"

#include "UiTestData.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FailureCase {
    const wchar_t* text;
    const wchar_t* message;
    const wchar_t* location;
};

// Malformed markup: the message and the text at the point of failure.
const FailureCase kFailures[] = {
    // A missing end tag two levels below the root: inside the content, and after a child.
    {L"<Window><VerticalLayout><Button>", L"Expected end-tag start", L""},
    {L"<Window><VerticalLayout><Button><Label/>", L"Expected start tag", L""},
    {L"<Window><VerticalLayout><Label/>", L"Expected start tag", L""},
    {L"<Window></Windowx>", L"Unmatched closing tag", L"x>"},
    {L"<Window></Widow>", L"Unmatched closing tag", L"Widow>"},
    {L"<Window><A><B></C></B></A></Window>", L"Unmatched closing tag", L"C></B></A></Window>"},
    {L"<Window a='1'/>", L"Expected attribute value", L"'1'/>"},
    {L"<Window a\"1\"/>", L"Error while parsing attributes", L"\"1\"/>"},
    {L"<Window a=\"1\" x>", L"Error while parsing attributes", L">"},
    // A nameless attribute would hide the ones after it.
    {L"<Window =\"1\" name=\"a\"/>", L"Error while parsing attributes", L"=\"1\" name=\"a\"/>"},
    {L"<Window a=\"1/>", L"Error while parsing attribute string", L""},
    {L"< >", L"Error parsing element name", L">"},
    {L"<Window / >", L"Expected start-tag closing", L"/ >"},
    {L"<Window a=\"1\"", L"Expected start-tag closing", L""},
    {L"text", L"Expected start tag", L"text"},
    {L"<Window><A/>stray</Window>", L"Expected start tag", L"stray</Window>"},
    {L"  \r\n ", L"Expected start tag", L""},
    {L"", L"Expected start tag", L""},
    {L"<Window><A>x<!-- c -->y</A></Window>", L"Expected start tag", L"y</A></Window>"},
    // Locations keep at most 49 characters.
    {L"<Window><A/>0123456789012345678901234567890123456789012345678901234567890123456789",
     L"Expected start tag", L"0123456789012345678901234567890123456789012345678"},
};

TEST(XmlDocumentTest, MalformedMarkupFailsWithItsMessageAndLocation)
{
    for (const FailureCase& c : kFailures) {
        CXmlDocument document;
        EXPECT_FALSE(document.LoadText(c.text)) << c.text;
        EXPECT_STREQ(c.message, document.ErrorMessage()) << c.text;
        EXPECT_STREQ(c.location, document.ErrorLocation()) << c.text;
        // The position is where the location starts in the text.
        EXPECT_EQ(c.location, std::wstring(c.text).substr(document.ErrorPosition(), 49)) << c.text;
        EXPECT_FALSE(document.IsLoaded()) << c.text;
        EXPECT_FALSE(document.Root().IsValid()) << c.text;
    }
}

// Names of the tree in document order, children in brackets.
std::wstring Outline(CXmlNode node)
{
    std::wstring out;
    for (; node.IsValid(); node = node.NextSibling()) {
        if (!out.empty()) out += L" ";
        out += node.Name();
        if (node.HasChildren()) out += L"[" + Outline(node.FirstChild()) + L"]";
    }
    return out;
}

struct TreeCase {
    const wchar_t* text;
    const wchar_t* outline;
};

const TreeCase kTrees[] = {
    // The root, and a direct child of the root, may lack their end tags.
    {L"<Window>", L"Window"},
    {L"<Window><VerticalLayout>", L"Window[VerticalLayout]"},
    {L"<Window><VerticalLayout/><Label>", L"Window[VerticalLayout Label]"},
    {L"<Window><A><B/></A>", L"Window[A[B]]"},
    {L"<Window><A/>", L"Window[A]"},
    {L"<?xml version=\"1.0\"?>\n<!-- skin -->\n<Window><!-- inner --><A /></Window>", L"Window[A]"},
    {L"< Window >\t<A\r\n/>< B></B ></Window>", L"Window[A B]"},
    {L"<Window>text<A/><B>more</B></Window>", L"Window[A B]"},
    {L"<ns:Win_1><x2/></ns:Win_1>", L"ns:Win_1[x2]"},
    {L"<Window/><Second/>", L"Window Second"},
    {L"<Window></Window></Trailing>", L"Window"},
};

TEST(XmlDocumentTest, WellFormedMarkupBuildsItsTree)
{
    for (const TreeCase& c : kTrees) {
        CXmlDocument document;
        ASSERT_TRUE(document.LoadText(c.text)) << c.text << L": " << document.ErrorMessage();
        EXPECT_STREQ(L"", document.ErrorMessage());
        EXPECT_EQ(std::wstring(c.outline), Outline(document.Root())) << c.text;
    }
}

struct ValueCase {
    const wchar_t* written;
    const wchar_t* read;
};

// Attribute values and text content decode the five entities once; anything
// else after an ampersand stays as written, and so does whitespace.
const ValueCase kValues[] = {
    {L"a &amp; b", L"a & b"},
    {L"&lt;&gt;&quot;&apos;", L"<>\"'"},
    {L"&amp;lt;", L"&lt;"},
    {L"&nbsp; &copy;", L"&nbsp; &copy;"},
    {L"AT&T & co", L"AT&T & co"},
    {L"&amp", L"&amp"},
    {L"  two  blanks  ", L"  two  blanks  "},
    {L"", L""},
    {L"C:\\Program Files\\\u5B89\u88C5", L"C:\\Program Files\\\u5B89\u88C5"},
};

TEST(XmlDocumentTest, ValuesDecodeTheFiveEntitiesOnce)
{
    for (const ValueCase& c : kValues) {
        std::wstring text = std::wstring(L"<Window first=\"") + c.written + L"\" second=\"x\">" + c.written + L"</Window>";
        CXmlDocument document;
        ASSERT_TRUE(document.LoadText(text.c_str())) << text;
        CXmlNode root = document.Root();
        ASSERT_EQ(2, root.AttributeCount()) << text;
        EXPECT_STREQ(L"first", root.AttributeName(0));
        EXPECT_STREQ(c.read, root.AttributeValue(0)) << text;
        EXPECT_STREQ(L"second", root.AttributeName(1));
        EXPECT_STREQ(L"x", root.AttributeValue(1)) << text;
        EXPECT_STREQ(c.read, root.Value()) << text;
    }
}

// Values are scanned several units at a time: every length around that
// width, with an entity at every place in it, decodes to the same text,
// in an attribute, in text content and in content that the end of the
// document cuts off.
TEST(XmlDocumentTest, ValuesOfEveryLengthDecodeWhereverTheEntitySits)
{
    for (size_t length = 0; length <= 40; ++length) {
        for (size_t at = 0; at <= length; ++at) {
            std::wstring written(length, L'x'), read(length, L'x');
            for (size_t i = 0; i < length; ++i) written[i] = read[i] = static_cast<wchar_t>(L'a' + i % 26);
            if (at < length) {
                written.replace(at, 1, L"&lt;");
                read[at] = L'<';
            }
            const std::wstring closed = L"<W v=\"" + written + L"\" w=\"" + written + L"\">" + written + L"</W>";
            const std::wstring cut = L"<W>" + written;
            for (bool ended : {true, false}) {
                const std::wstring& text = ended ? closed : cut;
                CXmlDocument document;
                ASSERT_TRUE(document.LoadText(text.c_str())) << text;
                CXmlNode root = document.Root();
                EXPECT_EQ(read, std::wstring(root.Value())) << text;
                if (!ended) continue;
                ASSERT_EQ(2, root.AttributeCount()) << text;
                EXPECT_EQ(read, std::wstring(root.AttributeValue(0))) << text;
                EXPECT_EQ(read, std::wstring(root.AttributeValue(1))) << text;
            }
        }
    }
}

TEST(XmlDocumentTest, AttributesAreFoundByExactNameAndCopiedWithinTheBuffer)
{
    std::wstring longValue(600, L'v');
    std::wstring text = L"<Window Name = \"one\" name=\"two\" empty=\"\" long=\"" + longValue + L"\"/>";
    CXmlDocument document;
    ASSERT_TRUE(document.LoadText(text.c_str()));
    CXmlNode root = document.Root();
    EXPECT_TRUE(root.HasAttributes());
    EXPECT_STREQ(L"", root.Value());

    wchar_t buffer[500];
    ASSERT_TRUE(root.FindAttribute(L"name", buffer));
    EXPECT_STREQ(L"two", buffer);
    ASSERT_TRUE(root.FindAttribute(L"Name", buffer));
    EXPECT_STREQ(L"one", buffer);
    ASSERT_TRUE(root.FindAttribute(L"empty", buffer));
    EXPECT_STREQ(L"", buffer);
    EXPECT_FALSE(root.FindAttribute(L"NAME", buffer));
    EXPECT_STREQ(L"", buffer);
    ASSERT_TRUE(root.FindAttribute(L"long", buffer));
    EXPECT_EQ(std::wstring(499, L'v'), std::wstring(buffer));

    EXPECT_STREQ(L"", root.AttributeName(4));
    EXPECT_STREQ(L"", root.AttributeValue(-1));
}

TEST(XmlDocumentTest, OnlySixtyFourAttributesAreVisible)
{
    std::wstring text = L"<Window";
    for (int i = 0; i < 65; ++i) text += L" a" + std::to_wstring(i) + L"=\"" + std::to_wstring(i * 10) + L"\"";
    text += L"><Child only=\"1\"/></Window>";
    CXmlDocument document;
    ASSERT_TRUE(document.LoadText(text.c_str()));
    CXmlNode root = document.Root();
    EXPECT_EQ(64, root.AttributeCount());
    wchar_t buffer[500];
    ASSERT_TRUE(root.FindAttribute(L"a63", buffer));
    EXPECT_STREQ(L"630", buffer);
    EXPECT_FALSE(root.FindAttribute(L"a64", buffer));
    EXPECT_STREQ(L"", root.AttributeName(64));
    // The element after the long start tag is untouched by it.
    EXPECT_EQ(1, root.FirstChild().AttributeCount());
    EXPECT_STREQ(L"only", root.FirstChild().AttributeName(0));
}

TEST(XmlDocumentTest, InvalidNodesAnswerNullZeroOrFalse)
{
    CXmlDocument document;
    CXmlNode none = document.Root();
    EXPECT_FALSE(none.IsValid());
    EXPECT_EQ(nullptr, none.Name());
    EXPECT_EQ(nullptr, none.AttributeName(0));
    EXPECT_EQ(0, none.AttributeCount());
    EXPECT_FALSE(none.HasChildren());
    EXPECT_FALSE(none.FirstChild().IsValid());
    wchar_t buffer[500] = L"old";
    EXPECT_FALSE(none.FindAttribute(L"x", buffer));

    ASSERT_TRUE(document.LoadText(L"<Window/>"));
    EXPECT_FALSE(document.Root().NextSibling().IsValid());
    EXPECT_FALSE(document.Root().FirstChild().IsValid());
}

TEST(XmlDocumentTest, ElementTableGrowsByHalfPlusFiveHundred)
{
    // The placeholder takes entry 0, so n elements fill n + 1 entries.
    struct { int elements; size_t capacity; } steps[] = {{1, 500}, {499, 500}, {500, 1250}, {1249, 1250}, {1250, 2375}};
    for (auto step : steps) {
        std::wstring text = L"<Window>";
        for (int i = 1; i < step.elements; ++i) text += L"<C/>";
        CXmlDocument document;
        ASSERT_TRUE(document.LoadText(text.c_str()));
        EXPECT_EQ(static_cast<size_t>(step.elements) + 1, document.ElementCount());
        EXPECT_EQ(step.capacity, document.ElementCapacity()) << step.elements;
    }
}

TEST(XmlDocumentTest, DeepNestingFailsInsteadOfExhaustingTheStack)
{
    auto nested = [](unsigned levels) {
        std::wstring text;
        for (unsigned i = 0; i < levels; ++i) text += L"<A>";
        for (unsigned i = 0; i < levels; ++i) text += L"</A>";
        return text;
    };
    // The limit is a number of its own, not whatever the constant says: the
    // builders that walk a loaded tree recurse as deep as it is, on stacks
    // that must not run out, so a raised limit has to fail here.
    CXmlDocument document;
    EXPECT_EQ(1000u, unsigned{CXmlDocument::kMaxDepth});
    EXPECT_TRUE(document.LoadText(nested(1000).c_str())) << document.ErrorMessage();
    EXPECT_FALSE(document.LoadText(nested(1001).c_str()));
    EXPECT_STREQ(L"Elements nested too deeply", document.ErrorMessage());
    EXPECT_FALSE(document.LoadText(nested(200000).c_str()));
    EXPECT_STREQ(L"Elements nested too deeply", document.ErrorMessage());
}

TEST(XmlDocumentTest, NodesTellWhereTheirNameStandsInTheText)
{
    const wchar_t text[] = L"<?xml version=\"1.0\"?>\n<Window a=\"&amp;\">\n  <A/><B>\n<C/></B></Window>";
    CXmlDocument document;
    ASSERT_TRUE(document.LoadText(text));
    const std::wstring original = text;
    const CXmlNode root = document.Root();
    const CXmlNode a = root.FirstChild(), b = a.NextSibling(), c = b.FirstChild();
    EXPECT_EQ(original.find(L"Window"), root.Position());
    EXPECT_EQ(original.find(L"A/>"), a.Position());
    EXPECT_EQ(original.find(L"B>"), b.Position());
    EXPECT_EQ(original.find(L"C/>"), c.Position());
    EXPECT_EQ(0u, CXmlNode().Position());
}

TEST(XmlDocumentTest, FailedLoadReleasesThePreviousDocument)
{
    CXmlDocument document;
    ASSERT_TRUE(document.LoadText(L"<Window><A/></Window>"));
    EXPECT_FALSE(document.LoadText(L"<Window><A></B></Window>"));
    EXPECT_FALSE(document.IsLoaded());
    EXPECT_EQ(0u, document.ElementCount());
    ASSERT_TRUE(document.LoadText(L"<Other/>"));
    EXPECT_STREQ(L"", document.ErrorMessage());
    EXPECT_STREQ(L"Other", document.Root().Name());
    document.Clear();
    EXPECT_FALSE(document.IsLoaded());
}

TEST(XmlDocumentTest, LoadBytesReadsUtf8WithOrWithoutByteOrderMark)
{
    const std::string body = "<Window caption=\"\xE5\xAE\x89\xE8\xA3\x85\"/>";
    for (const std::string& bytes : {body, std::string("\xEF\xBB\xBF") + body}) {
        CXmlDocument document;
        ASSERT_TRUE(document.LoadBytes(bytes.data(), bytes.size(), kXmlUtf8));
        wchar_t buffer[500];
        ASSERT_TRUE(document.Root().FindAttribute(L"caption", buffer));
        EXPECT_STREQ(L"\u5B89\u88C5", buffer);
    }
    CXmlDocument document;
    EXPECT_FALSE(document.LoadBytes("\xEF\xBB\xBF", 3));
    EXPECT_STREQ(L"Expected start tag", document.ErrorMessage());
}

// Characters of several bytes make the text shorter than its bytes; the
// text ends right after them, also where the document ends inside content.
TEST(XmlDocumentTest, LoadBytesEndsTheTextAfterTheLastDecodedCharacter)
{
    for (size_t ascii = 0; ascii <= 20; ++ascii) {
        std::string run(ascii, 'a');
        const std::string bytes = "<Window>" + run + "\xE5\xAE\x89" + run + "\xF0\x9F\x98\x80";
        CXmlDocument document;
        ASSERT_TRUE(document.LoadBytes(bytes.data(), bytes.size())) << ascii;
        const std::wstring wideRun(ascii, L'a');
        EXPECT_EQ(wideRun + L"\u5B89" + wideRun + L"\U0001F600", std::wstring(document.Root().Value())) << ascii;
    }
}

TEST(XmlDocumentTest, RealSkinKeepsItsStructureAndValues)
{
    std::string bytes = testing_support::ReadBytes(ui_test::DataPath(L"window.xml"));
    ASSERT_FALSE(bytes.empty());
    CXmlDocument document;
    ASSERT_TRUE(document.LoadBytes(bytes.data(), bytes.size())) << document.ErrorMessage();
    EXPECT_EQ(L"Window[Font Font Default VerticalLayout[HorizontalLayout[Label Control Button] Text "
              L"Combo[ListLabelElement ListLabelElement] Edit Button]]",
              Outline(document.Root()));

    wchar_t buffer[500];
    CXmlNode root = document.Root();
    ASSERT_TRUE(root.FindAttribute(L"size", buffer));
    EXPECT_STREQ(L"800,600", buffer);
    CXmlNode def = root.FirstChild().NextSibling().NextSibling();
    ASSERT_TRUE(def.FindAttribute(L"value", buffer));
    EXPECT_STREQ(L"font=\"0\" textcolor=\"#FF333333\"", buffer);
    CXmlNode caption = def.NextSibling().FirstChild();
    ASSERT_TRUE(caption.FindAttribute(L"bkimage", buffer));
    EXPECT_STREQ(L"file='images/caption.png' corner='2,2,15,2'", buffer);
    ASSERT_TRUE(caption.FirstChild().FindAttribute(L"text", buffer));
    EXPECT_STREQ(L"\u5B89\u88C5\u52A9\u624B & \u5411\u5BFC", buffer);
    CXmlNode text = caption.NextSibling();
    ASSERT_TRUE(text.FindAttribute(L"text", buffer));
    EXPECT_STREQ(L"<b>Vantorie</b> \u662F\u4E00\u6B3E\u5DE5\u5177", buffer);
    EXPECT_EQ(4, text.AttributeCount());
}

}  // namespace
