// Appending elements and replacing element text: the text written, every append flag, and an
// index that stays equal to a fresh parse of the edited text.

#include "xml/CXmlDocument.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

const QString kDecl = QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n");

TEST(Append, MasterPasswordFileLayout)
{
    std::vector<unsigned char> sig(32);
    for (size_t i = 0; i < sig.size(); ++i) {
        sig[i] = static_cast<unsigned char>(i * 7 + 1);
    }
    const QString b64 = Base64Encode(sig.data(), 32);
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(kDecl));  // no root element yet
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("Config")));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("PWSig"), b64));
    ASSERT_TRUE(doc.AppendElementInt(QStringLiteral("RunCount"), 0));
    EXPECT_TRUE(doc.LeaveElement());
    EXPECT_FALSE(doc.LeaveElement());
    const QString expected = kDecl + QStringLiteral("<Config>\r\n<PWSig>\r\n")
                             + QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(sig.data()), 32).toBase64())
                             + QStringLiteral("\r\n</PWSig>\r\n<RunCount>0</RunCount>\r\n</Config>\r\n");
    EXPECT_EQ(doc.GetDocument(), expected);
    EXPECT_TRUE(doc.GetDocFlags() & CXmlDocument::kDocModified);
    // Saved with the default flags: UTF-8 without byte-order mark, byte for byte.
    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("HNVConfig.xml"));
    ASSERT_TRUE(doc.SaveFile(strPath));
    QFile f(strPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), expected.toUtf8());
    EXPECT_TRUE(doc.IsWellFormed());
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
}

TEST(Append, CheckAndRewriteCycleOfTheSignatureFile)
{
    CXmlDocument doc;
    (void)doc.SetDocument(kDecl);
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("Config")));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("PWSig"), QStringLiteral("\r\nQUJD\r\n")));
    ASSERT_TRUE(doc.AppendElementInt(QStringLiteral("RunCount"), 0));
    ASSERT_TRUE(doc.SetDocument(doc.GetDocument()));
    // The check: find the root, enter, PWSig, then RunCount after it; count up.
    ASSERT_TRUE(doc.FindElement());
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement(QStringLiteral("PWSig")));
    const uint32_t iSig = doc.GetMainPosition();
    ASSERT_TRUE(doc.FindElement(QStringLiteral("RunCount")));
    ASSERT_TRUE(doc.SetElementDataInt(doc.GetMainPosition(), doc.GetElementData().toInt() + 1));
    ASSERT_TRUE(doc.SetElementData(iSig, QStringLiteral("\r\nWFla\r\n")));
    EXPECT_EQ(doc.GetDocument(),
              kDecl
                  + QStringLiteral("<Config>\r\n<PWSig>\r\nWFla\r\n</PWSig>\r\n"
                                   "<RunCount>1</RunCount>\r\n</Config>\r\n"));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
}

struct SAppendCase
{
    const char* pszDoc;  // the element to append to is the root's first child, or the root
    bool bEnterRoot;
    const char* pszName;
    const char* pszData;
    int nFlags;
    const char* pszExpect;
};

class AppendFlags : public ::testing::TestWithParam<SAppendCase>
{
};

TEST_P(AppendFlags, WritesExactText)
{
    const SAppendCase& c = GetParam();
    CXmlDocument doc;
    (void)doc.SetDocument(QString::fromUtf8(c.pszDoc));
    ASSERT_TRUE(doc.FindElement());
    if (c.bEnterRoot) {
        ASSERT_TRUE(doc.EnterElement());
        (void)doc.FindElement();
    }
    ASSERT_TRUE(doc.AppendElement(QString::fromUtf8(c.pszName), QString::fromUtf8(c.pszData), c.nFlags));
    EXPECT_EQ(doc.GetDocument(), QString::fromUtf8(c.pszExpect));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
}

INSTANTIATE_TEST_SUITE_P(Flags,
                         AppendFlags,
                         ::testing::Values(
                             // Siblings after the main element; whitespace before the next tag is stepped over.
                             SAppendCase{"<r>\r\n<a/>\r\n</r>", true, "b", "", 0, "<r>\r\n<a/>\r\n<b/>\r\n</r>"},
                             SAppendCase{"<r><a/>text</r>", true, "b", "", 0, "<r><a/><b/>\r\ntext</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "x", 0x1, "<r><a/><b><![CDATA[x]]></b>\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x2, "<r><a/><b/></r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x4, "<r><a/><b />\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "&amp;&x", 0x8, "<r><a/><b>&amp;&amp;x</b>\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x10, "<r><a/><b>\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "'\"", 0, "<r><a/><b>'\"</b>\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "'\"", 0x100, "<r><a/><b>&apos;&quot;</b>\r\n</r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x2000, "<r><b/>\r\n<a/></r>"},
                             // As a child of the main element.
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x4000, "<r><a>\r\n<b/>\r\n</a></r>"},
                             SAppendCase{"<r><a/></r>", true, "b", "", 0x4002, "<r><a><b/></a></r>"},
                             SAppendCase{"<r><a /></r>", true, "b", "", 0x4000, "<r><a >\r\n<b/>\r\n</a></r>"},
                             SAppendCase{"<r><a></a></r>", true, "b", "", 0x4000, "<r><a>\r\n<b/>\r\n</a></r>"},
                             SAppendCase{"<r><a>t</a></r>", true, "b", "", 0x4000, "<r><a><b/>\r\nt</a></r>"},
                             SAppendCase{"<r><a><c/></a></r>", true, "b", "", 0x4000, "<r><a><c/><b/>\r\n</a></r>"},
                             SAppendCase{"<r><a><c/></a></r>", true, "b", "", 0x6000, "<r><a><b/>\r\n<c/></a></r>"},
                             // A parent without end tag gets one.
                             SAppendCase{"<r><a></r>", true, "b", "", 0x4000, "<r><a>\r\n<b/>\r\n</a></r>"},
                             // The empty-element parent of the edge case: start tag, CR LF, child, CR LF, end tag.
                             SAppendCase{"<P/>", false, "x", "", 0x4000, "<P>\r\n<x/>\r\n</P>"},
                             SAppendCase{"<P/>", true, "x", "", 0, "<P>\r\n<x/>\r\n</P>"}));

TEST(Append, ChildPositionIsTheReference)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<r><a/><c/></r>")));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("a")));
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("b"), QString(), CXmlDocument::kAppendAsChild));
    EXPECT_EQ(doc.GetChildTagName(), QStringLiteral("b"));
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("r"));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><a/><b/>\r\n<c/></r>"));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
}

TEST(Append, Refusals)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.AppendElement(QStringLiteral("a"), QString(), CXmlDocument::kAppendAsChild));  // no main
    EXPECT_FALSE(doc.AppendElement(QStringLiteral("a"), QStringLiteral("x"), CXmlDocument::kAppendNoEndTag));
    for (const char* pszName : {"", "1a", "a b", "a/b", "a>", "<a", "a&b", "a=b", "a[1]", "-a"}) {
        EXPECT_FALSE(doc.AppendElement(QString::fromUtf8(pszName))) << pszName;
    }
    EXPECT_FALSE(doc.AppendElement(QString(1021, QLatin1Char('n'))));
    EXPECT_TRUE(doc.AppendElement(QString(1020, QLatin1Char('n')), QStringLiteral("x")));
    EXPECT_EQ(doc.GetDocument().size(), 1020 * 2 + 5 + 1 + 2);
}

TEST(Append, BuildsLargerTreesConsistently)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.AppendElement(QStringLiteral("root")));
    ASSERT_TRUE(doc.EnterElement());
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(doc.AppendElementInt(QStringLiteral("n"), i, i % 3 == 0 ? CXmlDocument::kAppendBefore : 0));
        ASSERT_TRUE(
            doc.AppendElement(QStringLiteral("c"), QStringLiteral("<%1>").arg(i), CXmlDocument::kAppendAsChild));
        ASSERT_TRUE(SameIndexAsFreshParse(doc)) << i;
    }
    EXPECT_TRUE(doc.SetDocument(doc.GetDocument()));
}

TEST(SetElementData, ReplacesTextInPlace)
{
    CXmlDocument doc;
    ASSERT_TRUE(doc.SetDocument(QStringLiteral("<r><a>old</a><b/><c><d/></c><e/></r>")));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("a")));
    const uint32_t a = doc.GetChildPosition();
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("b")));
    const uint32_t b = doc.GetChildPosition();
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("c")));
    const uint32_t c = doc.GetChildPosition();
    EXPECT_FALSE(doc.SetElementData(0, QStringLiteral("x")));
    EXPECT_FALSE(doc.SetElementData(c, QStringLiteral("x")));  // has a child element
    EXPECT_FALSE(doc.SetElementData(999, QStringLiteral("x")));
    ASSERT_TRUE(doc.SetElementData(a, QStringLiteral("a<b")));
    ASSERT_TRUE(doc.SetElementData(b, QStringLiteral("new"), CXmlDocument::kAppendCData));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><a>a&lt;b</a><b><![CDATA[new]]></b><c><d/></c><e/></r>"));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
    ASSERT_TRUE(doc.SetElementData(a, QString()));
    ASSERT_TRUE(doc.SetElementDataInt(b, -42));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><a></a><b>-42</b><c><d/></c><e/></r>"));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
}

TEST(SetElementData, ElementWithoutEndTagGetsOne)
{
    CXmlDocument doc;
    EXPECT_FALSE(doc.SetDocument(QStringLiteral("<r><a></r>")));
    ASSERT_TRUE(doc.FindChildElement(QStringLiteral("a")));
    ASSERT_TRUE(doc.SetElementData(doc.GetChildPosition(), QStringLiteral("v")));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><a>v</a></r>"));
    EXPECT_EQ(doc.GetChildElementData(), QStringLiteral("v"));
    EXPECT_TRUE(SameIndexAsFreshParse(doc));
    // The replace flag of the append operation does the same on the main element.
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("r"));
    EXPECT_FALSE(doc.AppendElement(QString(), QStringLiteral("w"), CXmlDocument::kAppendReplace));  // has a child
    ASSERT_TRUE(doc.EnterElement());
    EXPECT_EQ(doc.GetTagName(), QStringLiteral("a"));
    ASSERT_TRUE(doc.AppendElement(QString(), QStringLiteral("w"), CXmlDocument::kAppendReplace));
    EXPECT_EQ(doc.GetDocument(), QStringLiteral("<r><a>w</a></r>"));
}

}  // namespace
