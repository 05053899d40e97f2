// Lenient parsing: well-formedness, the first error text, and the index built from bad input.

#include "xml/CXmlDocument.h"

#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

SXmlElemRecord Rec(const CXmlDocument& doc, uint32_t i)
{
    SXmlElemRecord r;
    EXPECT_TRUE(doc.GetRecord(i, r));
    return r;
}

struct SMalformedCase
{
    const char* pszText;
    const char* pszError;
};

class MalformedInput : public ::testing::TestWithParam<SMalformedCase>
{
};

TEST_P(MalformedInput, KeepsFirstErrorText)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QString::fromUtf8(GetParam().pszText)));
    EXPECT_EQ(doc.GetResultText(), QString::fromUtf8(GetParam().pszError));
    EXPECT_TRUE(doc.IsIndexConsistent());
}

INSTANTIATE_TEST_SUITE_P(
    Errors,
    MalformedInput,
    ::testing::Values(SMalformedCase{"", "Empty document"},
                      SMalformedCase{"just text", "No root element"},
                      SMalformedCase{"  \r\n<?xml version=\"1.0\"?>\r\n", "No root element"},
                      SMalformedCase{"<a/><b/>", "Root element has sibling"},
                      SMalformedCase{"<a><b></a>", "End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
                      SMalformedCase{"<a>", "Element 'a' at offset 0 not ended"},
                      SMalformedCase{"<a><b>", "Element 'b' at offset 3 not ended"},
                      SMalformedCase{"<a></b></a>", "No start tag for end tag 'b' at offset 3"},
                      SMalformedCase{"<a><!-x--></a>", "Incorrect comment tag at offset 3"},
                      SMalformedCase{"<a><![X[y]]></a>", "Incorrect tag at offset 3"},
                      SMalformedCase{"<a><!E></a>", "Incorrect ! tag at offset 3"},
                      SMalformedCase{"<a>< b</a>", "Incorrect tag name character at offset 3"},
                      SMalformedCase{"<a>x<1</a>", "Incorrect tag name character at offset 4"},
                      SMalformedCase{"<a></a><b c=\"x", "Element tag at offset 7 unterminated"},
                      SMalformedCase{"<a></a", "Element end tag at offset 3 unterminated"},
                      SMalformedCase{"<a><![CDATA[x</a>", "CDATA Section at offset 3 unterminated"},
                      SMalformedCase{"<a/><?pi", "Processing instruction at offset 4 unterminated"},
                      SMalformedCase{"<a/><!-- x", "Comment at offset 4 unterminated"},
                      SMalformedCase{"<!DOCTYPE a [<!ELEMENT a ANY>", "Doctype at offset 0 unterminated"},
                      SMalformedCase{"<a/><", "tag at offset 4 unterminated"},
                      SMalformedCase{"<a/><!", "tag at offset 4 unterminated"},
                      SMalformedCase{"<a><b></c></a>", "No start tag for end tag 'c' at offset 6"}));

TEST(Parse, WellFormedDocumentsAndTheirIndex)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<?xml version=\"1.0\"?>\r\n<!DOCTYPE r [<!ELEMENT r ANY><!ATTLIST r "
                                               "a CDATA #IMPLIED>]>\r\n<r a='>'><x/><y b=\"/\">t</y><!-- c --></r>")));
    EXPECT_TRUE(doc.GetResultText().isEmpty());
    EXPECT_TRUE(doc.IsIndexConsistent());
    const SXmlElemRecord root = Rec(doc, 1);
    EXPECT_EQ(root.Level(), 0u);
    EXPECT_EQ(root.nStart, 85u);
    EXPECT_EQ(root.StartTagLen(), 9u);
    EXPECT_EQ(root.EndTagLen(), 4u);
    const SXmlElemRecord x = Rec(doc, 2);
    EXPECT_EQ(x.Level(), 1u);
    EXPECT_EQ(x.nLength, 4u);
    EXPECT_EQ(x.EndTagLen(), 0u);
    EXPECT_TRUE(x.nFlags & XmlElem::kFirstChild);
    EXPECT_FALSE(x.nFlags & XmlElem::kNoEndTag);
    const SXmlElemRecord y = Rec(doc, 3);
    EXPECT_EQ(y.iElemPrev, 2u);
    EXPECT_EQ(x.iElemPrev, 3u);  // circular: the first child's previous is the last
    EXPECT_EQ(y.nLength, 14u);
}

TEST(Parse, EmptyElementTagNeedsSlashAfterNameSpaceOrQuote)
{
    CXmlDocument doc;
    // "<b c=d/>" is a start tag (the slash belongs to the value); its element stays open.
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a><b c=d/></a>")));
    EXPECT_TRUE(Rec(doc, 2).nFlags & XmlElem::kNoEndTag);
    EXPECT_TRUE(doc.SetDocument(QStringLiteral("<a><b/><c /><d e='1'/><f g=\"2\"/></a>")));
    EXPECT_EQ(doc.GetRecordCount(), 6u);
}

TEST(Parse, UnterminatedConstructEndsBeforeTheNextTag)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a><b c='</a>")));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("Element tag at offset 3 unterminated"));
    // a still found its end tag; b was never a start tag.
    EXPECT_EQ(doc.GetRecordCount(), 2u);
    EXPECT_EQ(Rec(doc, 1).EndTagLen(), 4u);
    EXPECT_TRUE(Rec(doc, 1).nFlags & XmlElem::kErrorInside);
}

TEST(Parse, SiblingRootsAreStillIndexed)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a/><b/>")));
    EXPECT_EQ(Rec(doc, 1).iElemNext, 2u);
    EXPECT_TRUE(doc.FindElement(QStringLiteral("b")));
}

TEST(Parse, MismatchedEndTagClosesInnerElementWithoutEndTag)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a><b><c/></a>")));
    const SXmlElemRecord a = Rec(doc, 1);
    const SXmlElemRecord b = Rec(doc, 2);
    const SXmlElemRecord c = Rec(doc, 3);
    EXPECT_TRUE(b.nFlags & XmlElem::kNoEndTag);
    EXPECT_EQ(b.nLength, 3u);
    EXPECT_EQ(b.iElemChild, 0u);
    // b's child became its following sibling under a, one level up.
    EXPECT_EQ(b.iElemNext, 3u);
    EXPECT_EQ(c.iElemParent, 1u);
    EXPECT_EQ(c.Level(), 1u);
    EXPECT_FALSE(c.nFlags & XmlElem::kFirstChild);
    EXPECT_EQ(a.nLength, 14u);
    EXPECT_EQ(a.EndTagLen(), 4u);
    SXmlElemRecord docRec = Rec(doc, 0);
    EXPECT_TRUE(docRec.nFlags & XmlElem::kParseError);
    EXPECT_TRUE(doc.IsIndexConsistent());
}

TEST(Parse, ErrorFlagsMarkTheEnclosingElement)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a><b>< </b></a>")));
    EXPECT_TRUE(Rec(doc, 2).nFlags & XmlElem::kErrorInside);
    EXPECT_FALSE(Rec(doc, 1).nFlags & XmlElem::kErrorInside);
    EXPECT_TRUE(Rec(doc, 0).nFlags & XmlElem::kParseError);
}

TEST(Parse, CaseFlagGovernsEndTagMatching)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<A></a>")));
    doc.SetDocFlags(CXmlDocument::kDocIgnoreCase);
    EXPECT_TRUE(doc.SetDocument(QStringLiteral("<A><\u00C4b></\u00E4B></a>")));
}

TEST(Parse, DeepAndHostileNestingStaysLinear)
{
    // 200,000 open elements followed by as many end tags that match nothing and a final one
    // that matches the outermost: must finish quickly and keep a consistent index.
    QString text;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        text += QStringLiteral("<e%1>").arg(i);
    }
    for (int i = 0; i < n; ++i) {
        text += QStringLiteral("</zz>");
    }
    text += QStringLiteral("</e0>");
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(text));
    EXPECT_EQ(doc.GetResultText(),
              QStringLiteral("No start tag for end tag 'zz' at offset %1").arg(text.size() - 5 - 5 * n));
    EXPECT_TRUE(doc.IsIndexConsistent());
    EXPECT_EQ(doc.GetRecordCount(), static_cast<uint32_t>(n + 1));
    SXmlElemRecord last = Rec(doc, n);
    EXPECT_EQ(last.iElemParent, 1u);
    EXPECT_EQ(last.Level(), 1u);
}

TEST(Parse, NewParseReplacesEverything)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<a>")));
    EXPECT_FALSE(doc.SetDocument(QString()));
    EXPECT_EQ(doc.GetResultText(), QStringLiteral("Empty document"));
    EXPECT_EQ(doc.GetRecordCount(), 1u);
    EXPECT_FALSE(doc.FindElement());
    EXPECT_TRUE(doc.SetDocument(QStringLiteral("<a/>")));
    EXPECT_TRUE(doc.GetResultText().isEmpty());
}

}  // namespace
