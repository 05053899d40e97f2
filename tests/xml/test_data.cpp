// Element text: entities, character references, CDATA sections, escaping.

#include "xml/CXmlDocument.h"

#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

QString DataOf(const QString& strDoc)
{
    CXmlDocument doc;
    (void)doc.SetDocument(strDoc);
    if (!doc.FindElement()) {
        return QStringLiteral("<not found>");
    }
    return doc.GetElementData();
}

TEST(ElementData, EntitiesAndCharacterReferences)
{
    EXPECT_EQ(DataOf(QStringLiteral("<a>&#65;&#x41;&#x4a;</a>")), QStringLiteral("AAJ"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>&lt;&amp;&gt;&apos;&quot;</a>")), QStringLiteral("<&>'\""));
    // Unknown names, wrong case, missing ';', too many digits: kept as written.
    EXPECT_EQ(DataOf(QStringLiteral("<a>&nbsp; &LT; &amp &#65 &#00000065; &#x; &</a>")),
              QStringLiteral("&nbsp; &LT; &amp &#65 &#00000065; &#x; &"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>&#0000065;</a>")), QStringLiteral("A"));
    // Outside the character range: kept; above the BMP: a surrogate pair.
    EXPECT_EQ(DataOf(QStringLiteral("<a>&#0;&#x110000;&#xD800;</a>")), QStringLiteral("&#0;&#x110000;&#xD800;"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>&#x1F600;</a>")), QString::fromUtf8("\xF0\x9F\x98\x80"));
}

TEST(ElementData, DecodeStopsAtTheGivenLength)
{
    EXPECT_EQ(DecodeEntities(QStringLiteral("&amp;&amp;"), 5), QStringLiteral("&"));
    // The name must lie wholly inside the text.
    EXPECT_EQ(DecodeEntities(QStringLiteral("&amp;"), 4), QStringLiteral("&amp"));
    EXPECT_EQ(DecodeEntities(QStringLiteral("x&lt;"), -1), QStringLiteral("x<"));
}

TEST(ElementData, CDataAndMixedContent)
{
    EXPECT_EQ(DataOf(QStringLiteral("<a><![CDATA[<b>&amp;]]></a>")), QStringLiteral("<b>&amp;"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>x &amp; <![CDATA[<y>]]> z</a>")), QStringLiteral("x & <y> z"));
    // Whitespace runs, comments and processing instructions between the parts are skipped.
    EXPECT_EQ(DataOf(QStringLiteral("<a>  <![CDATA[p]]>  <!-- c --><?q r?></a>")), QStringLiteral("p"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>one <!-- c --> two</a>")), QStringLiteral("one  two"));
    EXPECT_EQ(DataOf(QStringLiteral("<a><![CDATA[]]></a>")), QString());
}

TEST(ElementData, EmptyForChildrenEmptyTagsAndUnendedElements)
{
    EXPECT_EQ(DataOf(QStringLiteral("<a>t<b/>u</a>")), QString());
    EXPECT_EQ(DataOf(QStringLiteral("<a/>")), QString());
    EXPECT_EQ(DataOf(QStringLiteral("<a></a>")), QString());
    EXPECT_EQ(DataOf(QStringLiteral("<a>text")), QString());
    // An unterminated construct ends before the next '<': the element still ends, and the
    // construct is skipped when its text is read.
    EXPECT_EQ(DataOf(QStringLiteral("<a>x<![CDATA[y</a>")), QStringLiteral("x"));
    EXPECT_EQ(DataOf(QStringLiteral("<a>x<!-- y</a>")), QStringLiteral("x"));
}

TEST(Escaping, EscapeSetAndFlags)
{
    EXPECT_EQ(EncodeEntities(QStringLiteral("<a & 'b' \"c\">"), 0), QStringLiteral("&lt;a &amp; 'b' \"c\"&gt;"));
    EXPECT_EQ(EncodeEntities(QStringLiteral("<a & 'b' \"c\">"), 0x100),
              QStringLiteral("&lt;a &amp; &apos;b&apos; &quot;c&quot;&gt;"));
    // 0x8 keeps well-formed references only.
    EXPECT_EQ(EncodeEntities(QStringLiteral("&amp; &#65; &x-y.z; &\u00e9t\u00e9; & &; &a b; &1;"), 0x8),
              QStringLiteral("&amp; &#65; &x-y.z; &\u00e9t\u00e9; &amp; &amp;; &amp;a b; &amp;1;"));
    EXPECT_EQ(EncodeEntities(QStringLiteral("&amp;"), 0), QStringLiteral("&amp;amp;"));
    EXPECT_EQ(EncodeEntities(QString(), 0x108), QString());
}

TEST(Escaping, RoundTripThroughAnElement)
{
    const QString strData = QStringLiteral("a<b>&c;'d\"\r\n\t&#65;]]>");
    for (int nFlags : {0, 0x1, 0x100, 0x101}) {
        CXmlDocument doc;
        ASSERT_TRUE(doc.AppendElement(QStringLiteral("r"), strData, nFlags));
        EXPECT_EQ(doc.GetElementData(), strData) << nFlags;
        ASSERT_TRUE(doc.SetDocument(doc.GetDocument()));
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetElementData(), strData) << nFlags;
    }
}

TEST(ElementData, LeadingZeroWidthNoBreakSpaceIsText)
{
    // U+FEFF inside the text is a character like any other, not a byte-order mark.
    const QString strData = QString(QChar(0xFEFF)) + QStringLiteral("x");
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QString(QChar(0xFEFF)) + QStringLiteral("<a/>")));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetDocument().size(), 5);
    ASSERT_TRUE(doc.SetElementData(doc.GetMainPosition(), strData));
    EXPECT_EQ(doc.GetElementData(), strData);
    EXPECT_EQ(DecodeEntities(strData), strData);
    EXPECT_EQ(EncodeEntities(strData), strData);
}

TEST(Escaping, CDataTerminatorIsSplit)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("r"), QStringLiteral("x]]>y]]>"), CXmlDocument::kAppendCData));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><![CDATA[x]]]]><![CDATA[>y]]]]><![CDATA[>]]></r>\r\n"));
    EXPECT_EQ(doc.GetElementData(), QStringLiteral("x]]>y]]>"));
}

}  // namespace
