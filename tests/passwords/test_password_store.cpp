// The password-signature file: layout, RunCount, repairs, short signatures, failed saves.
#include "xml/XmlBase64.h"

#include "PasswordTestSupport.h"

TEST_F(PasswordTest, NewFileIsLaidOutByteForByte)
{
    std::array<std::uint8_t, 32> sig{};
    ASSERT_NE(CEncryptManager::GetEncryptionSignature(kRight, sig.data(), sig.size()), 0);
    const QByteArray b64 = QByteArray(reinterpret_cast<const char*>(sig.data()), 32).toBase64();
    ASSERT_EQ(b64.size(), 44);
    ASSERT_TRUE(b64.endsWith('='));
    const QByteArray expected = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                                "<Config>\r\n"
                                "<PWSig>\r\n"
                                + b64
                                + "\r\n</PWSig>\r\n"
                                  "<RunCount>0</RunCount>\r\n"
                                  "</Config>\r\n";
    EXPECT_EQ(Reference(), expected);
    // Written atomically: nothing else is left in the folder.
    CMasterPasswordStore store(m_strFile);
    ASSERT_TRUE(store.WritePasswordSignature(true, u"other"));
    EXPECT_EQ(QDir(m_strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("HNVConfig.xml")});
    EXPECT_FALSE(store.LastSaveFailed());
}

TEST_F(PasswordTest, RunCountCountsEveryCheckWrongEntriesToo)
{
    UseReference();
    CMasterPasswordStore store(m_strFile);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(store.VerifyMasterPassword(kRight));
    }
    EXPECT_EQ(RunCount(), "3");
    EXPECT_FALSE(store.VerifyMasterPassword(u"wrong horse"));
    EXPECT_TRUE(store.VerifyMasterPassword(kRight));
    EXPECT_EQ(RunCount(), "5");
    EXPECT_FALSE(store.LastSaveFailed());
    EXPECT_FALSE(LogText().contains("right horse"));
}

TEST_F(PasswordTest, RunCountTextThatIsNoNumberCountsAsZero)
{
    // A short PWSig makes these checks cheap (no signature is computed for it).
    const QByteArray file = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<Config>\r\n<PWSig>AAAA</PWSig>\r\n"
                            "<RunCount>%</RunCount>\r\n</Config>\r\n";
    for (const auto& [text, next] : {std::pair{"abc", "1"},
                                     std::pair{"", "1"},
                                     std::pair{"12abc", "13"},
                                     std::pair{"-5", "-4"},
                                     std::pair{"2147483647", "2147483647"},
                                     std::pair{"99999999999", "2147483647"}}) {
        SCOPED_TRACE(text);
        QByteArray bytes = file;
        WriteFile(m_strFile, bytes.replace("%", text));
        CMasterPasswordStore store(m_strFile);
        EXPECT_FALSE(store.VerifyMasterPassword(kRight));
        EXPECT_EQ(RunCount(), next);
    }
}

TEST_F(PasswordTest, ShortOrOversizedSignatureIsAMismatch)
{
    for (const QByteArray& sig : {QByteArray(),
                                  QByteArray("AAAA"),
                                  QByteArray(40, 'A'),
                                  QByteArray("\r\nAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA==\r\n").left(43),
                                  QByteArray(4000, 'A')}) {
        SCOPED_TRACE(sig.size());
        WriteFile(m_strFile,
                  "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<Config>\r\n<PWSig>" + sig
                      + "</PWSig>\r\n<RunCount>7</RunCount>\r\n</Config>\r\n");
        CMasterPasswordStore store(m_strFile);
        EXPECT_FALSE(store.VerifyMasterPassword(kRight));
        EXPECT_EQ(RunCount(), "8");
        EXPECT_EQ(PwSig(), sig.trimmed());  // the signature itself is left as it was
    }
}

TEST_F(PasswordTest, DeletedRunCountAcceptsTheNextPassword)
{
    UseReference();
    QByteArray bytes = ReadFile(m_strFile);
    bytes.replace("<RunCount>0</RunCount>\r\n", "");
    WriteFile(m_strFile, bytes);
    const QByteArray oldSig = PwSig();
    CMasterPasswordStore store(m_strFile);
    EXPECT_TRUE(store.VerifyMasterPassword(u"anything at all"));
    EXPECT_EQ(RunCount(), "0");
    EXPECT_NE(PwSig(), oldSig);
    EXPECT_FALSE(store.VerifyMasterPassword(kRight));  // the typed password is the master now
    EXPECT_EQ(RunCount(), "1");
}

// Content without PWSig followed by RunCount under the root: written anew, password accepted.
TEST_F(PasswordTest, UnusableContentIsWrittenAnewFromTheTypedPassword)
{
    for (const QByteArray& bytes : {QByteArray("not xml at all"),
                                    QByteArray(),
                                    QByteArray("<Config><RunCount>3</RunCount><PWSig>AAAA</PWSig></Config>")}) {
        SCOPED_TRACE(bytes.left(60).toStdString());
        WriteFile(m_strFile, bytes);
        CMasterPasswordStore store(m_strFile);
        EXPECT_TRUE(store.VerifyMasterPassword(u"x"));
        EXPECT_EQ(RunCount(), "0");
        EXPECT_EQ(PwSig().size(), 44);
    }
}

TEST_F(PasswordTest, ChangingThePasswordKeepsRunCountAndReplacesOnlyTheSignature)
{
    UseReference("9");
    const QByteArray before = ReadFile(m_strFile);
    const QByteArray oldSig = PwSig();
    CMasterPasswordStore store(m_strFile);
    ASSERT_TRUE(store.WritePasswordSignature(false, u"new horse"));
    const QByteArray after = ReadFile(m_strFile);
    EXPECT_EQ(RunCount(), "9");
    EXPECT_EQ(PwSig().size(), 44);
    EXPECT_NE(PwSig(), oldSig);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_TRUE(after.startsWith("<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<Config>\r\n<PWSig>\r\n"));
    EXPECT_TRUE(after.endsWith("=\r\n</PWSig>\r\n<RunCount>9</RunCount>\r\n</Config>\r\n"));
}

TEST_F(PasswordTest, ChangeWithoutSignatureElementMakesANewFile)
{
    WriteFile(m_strFile, "<Config><RunCount>4</RunCount></Config>");
    CMasterPasswordStore store(m_strFile);
    ASSERT_TRUE(store.WritePasswordSignature(false, u"new"));
    EXPECT_EQ(RunCount(), "0");
    EXPECT_EQ(PwSig().size(), 44);
}

TEST_F(PasswordTest, UnwritableFolderIsReported)
{
    WriteFile(m_strRoot + QStringLiteral("/regular"), "x");
    const QString strFile = CMasterPasswordStore::PathIn(m_strRoot + QStringLiteral("/regular/Data"));
    CMasterPasswordStore store(strFile);
    EXPECT_FALSE(store.WritePasswordSignature(true, u"pw"));
    EXPECT_TRUE(store.LastSaveFailed());
    EXPECT_FALSE(store.GetLastError().isEmpty());
    EXPECT_TRUE(LogText().contains("Pass Config File not saved"));
    // A check that has to rewrite the file accepts the password but reports the failed save.
    EXPECT_TRUE(store.VerifyMasterPassword(u"pw"));
    EXPECT_TRUE(store.LastSaveFailed());
    EXPECT_FALSE(QFileInfo::exists(strFile));
}
