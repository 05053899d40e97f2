#pragma once

#include "engines/CEncryptManager.h"
#include "logging/CHVLog.h"
#include "passwords/CMasterPasswordStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempHome.h"

// A temporary HOME/XDG tree and a started log per test. The signature costs about a second, so a
// reference file for the password "right horse" is made once per process and copied.
class PasswordFile : public ::testing::Test
{
protected:
    static constexpr const char16_t* kRight = u"right horse";

    // The reference file's bytes, made at the first use in this process.
    static const QByteArray& Reference()
    {
        if (s_reference.isEmpty()) {
            QTemporaryDir dir;
            EXPECT_TRUE(dir.isValid());
            CMasterPasswordStore store(CMasterPasswordStore::PathIn(dir.path()));
            EXPECT_TRUE(store.WritePasswordSignature(true, kRight)) << store.GetLastError().toStdString();
            s_reference = ReadFile(store.GetFile());
        }
        return s_reference;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_home.IsValid());
        m_strRoot = m_home.Root();
        m_strFolder = m_strRoot + QStringLiteral("/home/.local/share/Halvo-Soft/HalvoNorvane/Data");
        QDir().mkpath(m_strFolder);
        m_strFile = CMasterPasswordStore::PathIn(m_strFolder);
        LOGGER::g_HVLog.SetFileName(QFile::encodeName(m_strRoot + QStringLiteral("/test.log")).toStdString());
        ASSERT_TRUE(LOGGER::g_HVLog.StartLogging());
    }
    void TearDown() override { LOGGER::g_HVLog.StopLogging(); }

    QByteArray LogText() const { return ReadFile(m_strRoot + QStringLiteral("/test.log")); }

    static QByteArray ReadFile(const QString& strPath) { return hvtest::ReadFile(strPath); }
    static void WriteFile(const QString& strPath, const QByteArray& bytes)
    {
        ASSERT_TRUE(hvtest::WriteFile(strPath, bytes)) << strPath.toStdString();
    }
    void UseReference(const QByteArray& runCount = "0")
    {
        QByteArray bytes = Reference();
        bytes.replace("<RunCount>0</RunCount>", "<RunCount>" + runCount + "</RunCount>");
        WriteFile(m_strFile, bytes);
    }
    // A file of the right shape whose signature matches no password (costs no signature).
    void UseDummyFile()
    {
        WriteFile(m_strFile,
                  "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<Config>\r\n<PWSig>\r\n" + QByteArray(43, 'A')
                      + "=\r\n</PWSig>\r\n<RunCount>0</RunCount>\r\n</Config>\r\n");
    }
    // The text of RunCount, or a null array when the file has none.
    QByteArray RunCount() const
    {
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("<RunCount>([^<]*)</RunCount>"))
                                              .match(QString::fromUtf8(ReadFile(m_strFile)));
        return m.hasMatch() ? m.captured(1).toUtf8() : QByteArray();
    }
    // The Base64 text of PWSig without line breaks.
    QByteArray PwSig() const { return PwSigOf(ReadFile(m_strFile)); }
    static QByteArray PwSigOf(const QByteArray& file)
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("<PWSig>([^<]*)</PWSig>")).match(QString::fromUtf8(file));
        return m.hasMatch() ? m.captured(1).toUtf8().replace("\r\n", "") : QByteArray();
    }
    static int ModeOf(const QString& strPath)
    {
        struct stat st = {};
        return ::stat(QFile::encodeName(strPath).constData(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
    }

    static inline QByteArray s_reference;
    hvtest::CTempHome m_home;
    QString m_strRoot;
    QString m_strFolder;
    QString m_strFile;
};
