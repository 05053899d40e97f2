#include "globalfuncs/CStdioFileEx.h"

#include <QStringList>

#include "GlobalTestSupport.h"

namespace {

using TextFile = GlobalTempTest;

QStringList ReadLines(const QString& path, bool* unicode = nullptr, int codePage = 0)
{
    CStdioFileEx file;
    if (codePage) {
        EXPECT_TRUE(file.SetCodePage(codePage));
    }
    EXPECT_TRUE(file.Open(path, CStdioFileEx::modeRead | CStdioFileEx::typeText));
    if (unicode)
        *unicode = file.IsFileUnicode();
    QStringList lines;
    for (QString line; file.ReadString(line);)
        lines.append(line);
    return lines;
}

const QString kMixed = QString::fromUtf16(u"Grüße \u20ac \U0001F600 end");

TEST_F(TextFile, Utf16RoundTripWithByteOrderMark)
{
    const QString path = Path("u.txt");
    {
        CStdioFileEx file;
        ASSERT_TRUE(
            file.Open(path, CStdioFileEx::modeWrite | CStdioFileEx::modeCreate | CStdioFileEx::modeWriteUnicode));
        EXPECT_TRUE(file.IsFileUnicode());
        ASSERT_TRUE(file.WriteString(QStringLiteral("first\r\n")));
        ASSERT_TRUE(file.WriteString(kMixed + QStringLiteral("\r\n")));
        ASSERT_TRUE(file.WriteString(QStringLiteral("last")));
    }
    const QByteArray bytes = ReadAll(path);
    ASSERT_TRUE(bytes.startsWith(QByteArray("\xFF\xFE"
                                            "f\0i\0",
                                            6)));
    EXPECT_TRUE(bytes.contains(QByteArray("\r\0\n\0", 4)));
    EXPECT_TRUE(CStdioFileEx::IsFileUnicode(path));

    bool unicode = false;
    EXPECT_EQ(ReadLines(path, &unicode), (QStringList{QStringLiteral("first"), kMixed, QStringLiteral("last")}));
    EXPECT_TRUE(unicode);
}

TEST_F(TextFile, Utf8RoundTripWithCrLfAndLf)
{
    const QString path = Path("a.txt");
    {
        CStdioFileEx file;
        ASSERT_TRUE(file.SetCodePage(65001));
        ASSERT_TRUE(file.Open(path, CStdioFileEx::modeWrite | CStdioFileEx::modeCreate));
        EXPECT_FALSE(file.IsFileUnicode());
        ASSERT_TRUE(file.WriteString(kMixed + QStringLiteral("\r\n")));
        ASSERT_TRUE(file.WriteString(QStringLiteral("\r\n")));
        ASSERT_TRUE(file.WriteString(QStringLiteral("unix\n")));
        ASSERT_TRUE(file.WriteString(QStringLiteral("no end")));
    }
    EXPECT_EQ(ReadAll(path), (kMixed + QStringLiteral("\r\n\r\nunix\nno end")).toUtf8());
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(path));
    bool unicode = true;
    EXPECT_EQ(ReadLines(path, &unicode, 65001),
              (QStringList{kMixed, QString(), QStringLiteral("unix"), QStringLiteral("no end")}));
    EXPECT_FALSE(unicode);
}

TEST_F(TextFile, Utf8ByteOrderMarkIsSkipped)
{
    const QString path = Touch("bom.txt", "\xEF\xBB\xBFone\r\ntwo\r\n");
    EXPECT_EQ(ReadLines(path, nullptr, 65001), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
}

TEST_F(TextFile, EightBitCodePages)
{
    const QString path = Touch("latin.txt", "caf\xe9\r\n\x80\r\n");
    EXPECT_EQ(ReadLines(path, nullptr, 1252),
              (QStringList{QString::fromUtf16(u"café"), QString::fromUtf16(u"\u20ac")}));
    EXPECT_EQ(ReadLines(path, nullptr, 28591),
              (QStringList{QString::fromUtf16(u"café"), QString::fromUtf16(u"\u0080")}));
    // Invalid UTF-8 becomes the replacement character instead of failing.
    EXPECT_EQ(ReadLines(path, nullptr, 65001).first(), QString::fromUtf16(u"caf\ufffd"));

    CStdioFileEx out;
    ASSERT_TRUE(out.SetCodePage(1252));
    ASSERT_TRUE(out.Open(Path("w.txt"), CStdioFileEx::modeWrite | CStdioFileEx::modeCreate));
    EXPECT_TRUE(out.WriteString(QString::fromUtf16(u"€é\r\n")));
    // A character the code page lacks is written as '?' and reported.
    EXPECT_FALSE(out.WriteString(QString::fromUtf16(u"\u4e2d")));
    out.Close();
    EXPECT_EQ(ReadAll(Path("w.txt")), QByteArray("\x80\xe9\r\n?"));
}

TEST_F(TextFile, UnsupportedCodePageIsRefused)
{
    CStdioFileEx file;
    const int before = file.GetCodePage();
    EXPECT_FALSE(file.SetCodePage(12345));
    EXPECT_EQ(file.GetCodePage(), before);
    EXPECT_GT(CStdioFileEx::GetCurrentLocaleCodePage(), 0);
}

TEST_F(TextFile, AppendKeepsOneByteOrderMark)
{
    const QString path = Path("log.txt");
    const unsigned mode = CStdioFileEx::modeWrite | CStdioFileEx::modeCreate | CStdioFileEx::modeNoTruncate
                          | CStdioFileEx::modeWriteUnicode;
    for (const char* text : {"one\r\n", "two\r\n"}) {
        CStdioFileEx file;
        ASSERT_TRUE(file.Open(path, mode));
        ASSERT_TRUE(file.WriteString(QString::fromLatin1(text)));
    }
    EXPECT_EQ(ReadAll(path).count(QByteArray("\xFF\xFE")), 1);
    EXPECT_EQ(ReadLines(path), (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    CStdioFileEx file;
    ASSERT_TRUE(file.Open(path, CStdioFileEx::modeRead));
    EXPECT_EQ(file.GetCharCount(), 10);
}

TEST_F(TextFile, OddTrailingByteAndEmptyFiles)
{
    EXPECT_EQ(ReadLines(Touch("odd.txt",
                              QByteArray("\xFF\xFE"
                                         "a\0b",
                                         5))),
              QStringList{QStringLiteral("a")});
    EXPECT_TRUE(ReadLines(Touch("bomonly.txt", QByteArray("\xFF\xFE"))).isEmpty());
    EXPECT_TRUE(ReadLines(Touch("empty.txt", QByteArray())).isEmpty());
}

TEST_F(TextFile, ModeMisuseFails)
{
    CStdioFileEx file;
    EXPECT_FALSE(file.Open(Path("missing.txt"), CStdioFileEx::modeRead));
    // Writing without modeCreate needs an existing file.
    EXPECT_FALSE(file.Open(Path("missing.txt"), CStdioFileEx::modeWrite));
    QString line;
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_FALSE(file.WriteString(QStringLiteral("x")));
    ASSERT_TRUE(file.Open(Touch("r.txt", "abc"), CStdioFileEx::modeRead));
    EXPECT_FALSE(file.WriteString(QStringLiteral("x")));
}

}  // namespace
