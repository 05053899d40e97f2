// The password-signature file: layout, RunCount, repairs, short signatures, failed saves.
#include "passwords/HVWipeText.h"
#include "xml/XmlBase64.h"

#include "PasswordTestSupport.h"

TEST_F(PasswordFile, NewFileIsLaidOutByteForByte)
{
    // PWSig is the salt followed by the first 16 bytes of the password's hash under that salt.
    const QByteArray b64 = PwSigOf(Reference());
    const QByteArray stored = QByteArray::fromBase64(b64);
    ASSERT_EQ(b64.size(), 44);
    ASSERT_EQ(stored.size(), 32);
    std::array<std::uint8_t, 32> sig{};
    ASSERT_NE(CEncryptManager::GetEncryptionSignature(
                  kRight, reinterpret_cast<const std::uint8_t*>(stored.constData()), 16, sig.data(), sig.size()),
              0);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(sig.data()), 32), stored);
    const QByteArray expected = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                                "<Config>\r\n"
                                "<PWSig>\r\n"
                                + b64
                                + "\r\n</PWSig>\r\n"
                                  "<RunCount>0</RunCount>\r\n"
                                  "</Config>\r\n";
    EXPECT_EQ(Reference(), expected);
    // Written atomically and for the owner only, whatever the umask: nothing else is left in the folder.
    const mode_t nOldMask = ::umask(0);
    CMasterPasswordStore store(m_strFile);
    const bool bWritten = store.WritePasswordSignature(true, u"other");
    ::umask(nOldMask);
    ASSERT_TRUE(bWritten);
    EXPECT_EQ(QDir(m_strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("HNVConfig.xml")});
    EXPECT_EQ(ModeOf(m_strFile), 0600);
    EXPECT_FALSE(store.LastSaveFailed());
}

// The same password on two installations: different signatures, each accepted only by its own
// password; a file left readable by others is tightened by the next save.
TEST_F(PasswordFile, EachInstallationHasItsOwnSalt)
{
    UseReference();
    ASSERT_EQ(::chmod(QFile::encodeName(m_strFile).constData(), 0644), 0);
    const QString strOther = CMasterPasswordStore::PathIn(m_strRoot);
    CMasterPasswordStore other(strOther);
    ASSERT_TRUE(other.WritePasswordSignature(true, kRight));
    EXPECT_NE(PwSigOf(ReadFile(strOther)), PwSig());
    EXPECT_NE(QByteArray::fromBase64(PwSigOf(ReadFile(strOther))).left(16), QByteArray::fromBase64(PwSig()).left(16));
    CMasterPasswordStore store(m_strFile);
    EXPECT_TRUE(store.VerifyMasterPassword(kRight));
    EXPECT_EQ(ModeOf(m_strFile), 0600);
    EXPECT_FALSE(other.VerifyMasterPassword(u"right horsE"));
}

// A signature made with the program's fixed salt opens once and is then stored salted; a wrong
// password leaves it as it was.
TEST_F(PasswordFile, OldFormSignatureIsAcceptedAndRewritten)
{
    std::array<std::uint8_t, 32> sig{};
    ASSERT_NE(CEncryptManager::GetEncryptionSignature(kRight, sig.data(), sig.size()), 0);
    const QByteArray oldSig = QByteArray(reinterpret_cast<const char*>(sig.data()), 32).toBase64();
    QByteArray bytes = Reference();
    bytes.replace(PwSigOf(bytes), oldSig);
    bytes.replace("<RunCount>0</RunCount>", "<RunCount>5</RunCount>");
    WriteFile(m_strFile, bytes);
    CMasterPasswordStore store(m_strFile);
    EXPECT_FALSE(store.VerifyMasterPassword(u"wrong horse"));
    EXPECT_EQ(PwSig(), oldSig);
    EXPECT_TRUE(store.VerifyMasterPassword(kRight));
    const QByteArray renewed = PwSig();
    EXPECT_NE(renewed, oldSig);
    EXPECT_NE(renewed, PwSigOf(Reference()));
    EXPECT_EQ(RunCount(), "7");
    EXPECT_TRUE(store.VerifyMasterPassword(kRight));
    EXPECT_EQ(PwSig(), renewed);  // already salted: left alone
    EXPECT_FALSE(store.VerifyMasterPassword(u"wrong horse"));
}

TEST_F(PasswordFile, RunCountCountsEveryCheckWrongEntriesToo)
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

TEST_F(PasswordFile, RunCountTextThatIsNoNumberCountsAsZero)
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

TEST_F(PasswordFile, ShortOrOversizedSignatureIsAMismatch)
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

TEST_F(PasswordFile, DeletedRunCountAcceptsTheNextPassword)
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
TEST_F(PasswordFile, UnusableContentIsWrittenAnewFromTheTypedPassword)
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

TEST_F(PasswordFile, ChangingThePasswordKeepsRunCountAndReplacesOnlyTheSignature)
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

TEST_F(PasswordFile, ChangeWithoutSignatureElementMakesANewFile)
{
    WriteFile(m_strFile, "<Config><RunCount>4</RunCount></Config>");
    CMasterPasswordStore store(m_strFile);
    ASSERT_TRUE(store.WritePasswordSignature(false, u"new"));
    EXPECT_EQ(RunCount(), "0");
    EXPECT_EQ(PwSig().size(), 44);
}

TEST_F(PasswordFile, UnwritableFolderIsReported)
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

// A wiped text: its whole storage is zeros; a copy that shares a text's storage keeps its value
// (only the last holder's wipe reaches the storage).
TEST(WipeText, WholeStorageAndSharedCopies)
{
    std::u16string str(40, u'x');
    str.resize(3);
    const char16_t* p = str.data();
    const std::size_t nCapacity = str.capacity();
    HVWipeText(str);
    EXPECT_TRUE(str.empty());
    for (std::size_t i = 0; i < nCapacity; ++i) {
        ASSERT_EQ(p[i], u'\0') << i;
    }
    QString strHeld = QString::fromUtf8("right horse");
    QString strCopy = strHeld;
    HVWipeText(strCopy);
    EXPECT_TRUE(strCopy.isEmpty());
    EXPECT_EQ(strHeld, QStringLiteral("right horse"));
}
