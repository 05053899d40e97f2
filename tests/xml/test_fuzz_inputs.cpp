// Replays the fuzzer's seed corpus and every input it ever found a fault with.

#include <QDir>
#include <QFile>

#include <cstdint>
#include <gtest/gtest.h>

bool HvXmlFuzzOne(const uint8_t* pData, size_t nSize);

namespace {

void ReplayFolder(const char* pszSub, bool bRequireFiles)
{
    const QDir dir(QStringLiteral(HV_FUZZ_DIR "/") + QString::fromLatin1(pszSub));
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    if (bRequireFiles) {
        EXPECT_FALSE(files.isEmpty()) << dir.path().toStdString();
    }
    for (const QString& name : files) {
        if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1String(".md"))) {
            continue;
        }
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = f.readAll();
        EXPECT_TRUE(
            HvXmlFuzzOne(reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())))
            << name.toStdString();
    }
}

TEST(FuzzInputs, SeedCorpus)
{
    ReplayFolder("corpus/xml", true);
}

TEST(FuzzInputs, FoundCrashes)
{
    ReplayFolder("crashes/xml", false);
}

TEST(FuzzInputs, HandWrittenEdgeInputs)
{
    const QByteArray inputs[] = {
        QByteArray(),
        QByteArray("\x04", 1),
        QByteArray("\x04<a>\x00", 5),
        QByteArray("\xfc<a><b><c></a></b>\x00//c[1]", 25),
        QByteArray("\x01<\x00", 3),
        QByteArray("\x00<a x='>\"'>\xF0\x9F</a>", 17),
    };
    for (const QByteArray& in : inputs) {
        EXPECT_TRUE(HvXmlFuzzOne(reinterpret_cast<const uint8_t*>(in.constData()), static_cast<size_t>(in.size())));
    }
}

}  // namespace
