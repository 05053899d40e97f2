#include "globalfuncs/CCrc32Static.h"
#include "globalfuncs/HVFileFunctions.h"

#include <QRandomGenerator>

#include <cerrno>

#include "GlobalTestSupport.h"

namespace {

// Bit-by-bit reference, independent of the tables.
quint32 ReferenceCrc(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

TEST(Crc32, KnownAnswers)
{
    EXPECT_EQ(CCrc32Static::Compute("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(CCrc32Static::Compute("", 0), 0u);
    EXPECT_EQ(CCrc32Static::Compute("The quick brown fox jumps over the lazy dog", 43), 0x414FA339u);
    EXPECT_EQ(CCrc32Static::s_arrdwCrc32Table[0], 0u);
    EXPECT_EQ(CCrc32Static::s_arrdwCrc32Table[1], 0x77073096u);
    EXPECT_EQ(CCrc32Static::s_arrdwCrc32Table[255], 0x2D02EF8Du);
}

TEST(Crc32, StringUsesTheLowByteOfEachCharacter)
{
    quint32 crc = 0;
    EXPECT_EQ(CCrc32Static::StringCrc32(QStringLiteral("123456789"), crc), 0u);
    EXPECT_EQ(crc, 0xCBF43926u);
    // U+0131 has the low byte 0x31 ('1').
    EXPECT_EQ(CCrc32Static::StringCrc32(QString::fromUtf16(u"\u0131"
                                                           u"23456789"),
                                        crc),
              0u);
    EXPECT_EQ(crc, 0xCBF43926u);
}

TEST(Crc32, EveryLengthAndAlignmentMatchesTheReference)
{
    QByteArray data(64 + 8, Qt::Uninitialized);
    for (char& c : data)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    for (int offset = 0; offset < 8; ++offset) {
        for (int len = 0; len <= 64; ++len) {
            const QByteArray slice = data.mid(offset, len);
            ASSERT_EQ(CCrc32Static::Compute(data.constData() + offset, static_cast<std::size_t>(len)),
                      ReferenceCrc(slice))
                << "offset " << offset << " length " << len;
        }
    }
    // Running updates equal one pass.
    quint32 state = 0xFFFFFFFFu;
    state = CCrc32Static::Update(state, data.constData(), 13);
    state = CCrc32Static::Update(state, data.constData() + 13, static_cast<std::size_t>(data.size() - 13));
    EXPECT_EQ(state ^ 0xFFFFFFFFu, ReferenceCrc(data));
}

using Crc32Files = GlobalTempTest;

TEST_F(Crc32Files, AllFileVariantsAgree)
{
    // Around the 1 MiB read block: block - 1, block, block + 1, and a tiny and an empty file.
    for (const qsizetype size :
         {qsizetype(0), qsizetype(9), qsizetype((1 << 20) - 1), qsizetype(1 << 20), qsizetype((1 << 20) + 1)}) {
        QByteArray data(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            data[i] = static_cast<char>((i * 131 + 7) & 0xFF);
        const QString path = Touch(QStringLiteral("f%1.bin").arg(size), data);
        const quint32 expected = ReferenceCrc(data);
        quint32 crc = 1;
        EXPECT_EQ(CCrc32Static::FileCrc32Win32(path, crc), 0u);
        EXPECT_EQ(crc, expected) << size;
        crc = 1;
        EXPECT_EQ(CCrc32Static::FileCrc32Filemap(path, crc), 0u);
        EXPECT_EQ(crc, expected);
        crc = 1;
        EXPECT_EQ(CCrc32Static::FileCrc32Assembly(path, crc), 0u);
        EXPECT_EQ(crc, expected);
        crc = 1;
        EXPECT_EQ(HVGlobalMFC::HVGetCRC(path, crc), 0);
        EXPECT_EQ(crc, expected);
    }
    quint32 crc = 0;
    EXPECT_EQ(CCrc32Static::FileCrc32Win32(Touch("k.txt", "123456789"), crc), 0u);
    EXPECT_EQ(crc, 0xCBF43926u);
}

TEST_F(Crc32Files, StreamsAreNotSupportedAndErrorsAreReported)
{
    quint32 crc = 7;
    EXPECT_EQ(CCrc32Static::FileCrc32Streams(Touch("s.txt", "123456789"), crc), 50u);
    EXPECT_EQ(CCrc32Static::FileCrc32Win32(Path("missing"), crc), static_cast<quint32>(ENOENT));
    EXPECT_EQ(crc, 0u);
    EXPECT_EQ(CCrc32Static::FileCrc32Filemap(m_dir.path(), crc), static_cast<quint32>(EISDIR));
}

}  // namespace
