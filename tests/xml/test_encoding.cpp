// Base64 and the UTF-8 / UTF-16 conversions.

#include "xml/CXmlDocument.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "XmlTestSupport.h"

namespace {

std::vector<unsigned char> Bytes(int n)
{
    std::vector<unsigned char> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        v[static_cast<size_t>(i)] = static_cast<unsigned char>(i * 37 + 11);
    }
    return v;
}

class Base64Sizes : public ::testing::TestWithParam<int>
{
};

TEST_P(Base64Sizes, LineBreaksAndRoundTrip)
{
    const int n = GetParam();
    const std::vector<unsigned char> in = Bytes(n);
    const QString enc = Base64Encode(in.data(), n);
    ASSERT_TRUE(enc.startsWith(QLatin1String("\r\n")));
    // Compose what the layout rules give: 64-character lines each followed by CR LF, the last
    // (partial or padded) group followed by CR LF when it was padded.
    const QString flat = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(in.data()), n).toBase64());
    QString expected = QStringLiteral("\r\n");
    const int nFullGroups = n / 3;
    for (int g = 0; g < nFullGroups; ++g) {
        expected += flat.mid(g * 4, 4);
        if ((g + 1) % 16 == 0) {
            expected += QLatin1String("\r\n");
        }
    }
    if (n % 3) {
        expected += flat.mid(nFullGroups * 4, 4) + QLatin1String("\r\n");
    }
    EXPECT_EQ(enc, expected);

    const int nNeeded = Base64Decode(enc, nullptr, 0);
    EXPECT_EQ(nNeeded, (static_cast<int>(enc.size()) / 4 + 1) * 3);
    std::vector<unsigned char> out(static_cast<size_t>(nNeeded));
    ASSERT_EQ(Base64Decode(enc, out.data(), nNeeded), n);
    EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin()));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, Base64Sizes, ::testing::Values(0, 1, 2, 3, 4, 47, 48, 49, 50, 96, 97, 1000));

TEST(Base64, ExactLayoutAtTheLineBoundary)
{
    const std::vector<unsigned char> in(49, 0);
    EXPECT_EQ(Base64Encode(in.data(), 48),
              QStringLiteral("\r\n") + QString(64, QLatin1Char('A')) + QStringLiteral("\r\n"));
    EXPECT_EQ(Base64Encode(in.data(), 47),
              QStringLiteral("\r\n") + QString(63, QLatin1Char('A')) + QStringLiteral("=\r\n"));
    EXPECT_EQ(Base64Encode(in.data(), 49),
              QStringLiteral("\r\n") + QString(64, QLatin1Char('A')) + QStringLiteral("\r\nAA==\r\n"));
    EXPECT_EQ(Base64Encode(in.data(), 3), QStringLiteral("\r\nAAAA"));
    EXPECT_EQ(Base64Encode(in.data(), 0), QStringLiteral("\r\n"));
}

TEST(Base64, DecodingIsLenientButBounded)
{
    unsigned char buf[8] = {};
    // Unknown characters count as zero digits; an incomplete last group is dropped.
    EXPECT_EQ(Base64Decode(QStringLiteral("QU*C\r\nQUJD\nQQ"), buf, 8), 6);
    EXPECT_EQ(buf[0], 'A');
    EXPECT_EQ(buf[3], 'A');
    EXPECT_EQ(Base64Decode(QStringLiteral("QQ=="), buf, 8), 1);
    EXPECT_EQ(Base64Decode(QStringLiteral("QUI="), buf, 8), 2);
    // Too small a buffer: 0.
    EXPECT_EQ(Base64Decode(QStringLiteral("QUJDQUJD"), buf, 5), 0);
    EXPECT_EQ(Base64Decode(QStringLiteral("QUJDQUJD"), buf, 6), 6);
    // The master-password file's 48-character text needs a 39-byte buffer.
    const std::vector<unsigned char> sig = Bytes(32);
    const QString enc = Base64Encode(sig.data(), 32);
    EXPECT_EQ(enc.size(), 48);
    EXPECT_EQ(Base64Decode(enc, nullptr, 0), 39);
}

std::u16string U16(const QString& s)
{
    return {QStringView(s).utf16(), static_cast<size_t>(s.size())};
}

std::string ToUtf8(const std::u16string& s)
{
    std::string out(Utf16ToUtf8(s.data(), s.size(), nullptr), '\0');
    EXPECT_EQ(Utf16ToUtf8(s.data(), s.size(), out.data()), out.size());
    return out;
}

std::u16string FromUtf8(const std::string& s)
{
    std::u16string out(Utf8ToUtf16(s.data(), s.size(), nullptr), u'\0');
    EXPECT_EQ(Utf8ToUtf16(s.data(), s.size(), out.data()), out.size());
    return out;
}

TEST(Conversions, Utf16ToUtf8)
{
    EXPECT_EQ(ToUtf8(u"A\u00e9\u20ac"), "A\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    // A high surrogate at the very end becomes '?'.
    EXPECT_EQ(ToUtf8(std::u16string(u"x") + char16_t(0xD83D)), "x?");
    EXPECT_EQ(ToUtf8(u""), "");
}

TEST(Conversions, Utf8ToUtf16)
{
    EXPECT_EQ(FromUtf8("A\xC3\xA9\xE2\x82\xAC"), u"A\u00e9\u20ac");
    EXPECT_EQ(FromUtf8("\xF0\x9F\x98\x80"), u"\U0001F600");
    // Invalid lead bytes and a stray continuation byte: '?'.
    EXPECT_EQ(FromUtf8("a\xF8"
                       "b\xFF\x80"
                       "c"),
              u"a?b??c");
    // A missing continuation byte: '?', and the next byte is read again.
    EXPECT_EQ(FromUtf8("\xC3"
                       "A\xE2\x82"
                       "B"),
              u"?A?B");
    // Cut off by the end: the conversion ends.
    EXPECT_EQ(FromUtf8("ab\xE2\x82"), u"ab");
    EXPECT_EQ(FromUtf8("ab\xF0"), u"ab");
    // Beyond U+10FFFF: '?'.
    EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"?");
}

TEST(Conversions, ChunkedDecodingMatchesWholeDecoding)
{
    const std::string in = "x\xF0\x9F\x98\x80y\xC3\xA9\xE2\x82\xAC\xC3"
                           "A\xF8z";
    const std::u16string whole = FromUtf8(in);
    for (size_t nSplit = 0; nSplit <= in.size(); ++nSplit) {
        std::u16string out(in.size() + 4, u'\0');
        size_t nUsed = 0;
        size_t n = Utf8ToUtf16Chunk(in.data(), nSplit, out.data(), false, &nUsed);
        const std::string rest = in.substr(nUsed);
        size_t nUsed2 = 0;
        n += Utf8ToUtf16Chunk(rest.data(), rest.size(), out.data() + n, true, &nUsed2);
        out.resize(n);
        EXPECT_EQ(out, whole) << nSplit;
    }
}

TEST(Conversions, RoundTripOfEveryPlane)
{
    const QString s = QString::fromUcs4(U"\u0001\u007f\u0080\u07ff\u0800\uffff\U00010000\U0010FFFF");
    EXPECT_EQ(FromUtf8(ToUtf8(U16(s))), U16(s));
}

}  // namespace
