// The terminal program's pieces: its own options, the password rules, the password files.
#include "app/CTerminal.h"
#include "app/CTerminalFrontEnd.h"
#include "app/CTerminalOptions.h"
#include "app/CTerminalUi.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString WriteFile(const QTemporaryDir& dir, const char* pszName, const QByteArray& content)
{
    const QString strPath = dir.filePath(QString::fromLatin1(pszName));
    QFile file(strPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return strPath;
}

QString TextOf(const CSecureBuffer& utf16)
{
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / 2));
}

}  // namespace

TEST(TerminalOptions, Refusals)
{
    STerminalOptions o;
    EXPECT_FALSE(STerminalOptions::Parse({"--bogus"}, o));
    EXPECT_FALSE(STerminalOptions::Parse({"-e", "--password-file"}, o));
    EXPECT_FALSE(STerminalOptions::Parse({"--password-file", ""}, o));
    EXPECT_FALSE(STerminalOptions::Parse({"--yes", "--no"}, o));
    EXPECT_FALSE(STerminalOptions::Parse({"--password-file", "-", "--master-password-file", "-"}, o));
    EXPECT_TRUE(STerminalOptions::Parse({"--yes", "--yes", "--terminal", "--quiet"}, o));
    EXPECT_EQ(o.nAnswer, 1);
    EXPECT_TRUE(o.bTerminal);
    EXPECT_TRUE(o.bQuiet);
}

TEST(TerminalOptions, SplitKeepsEverythingElse)
{
    STerminalOptions o;
    // clang-format off
    ASSERT_TRUE(STerminalOptions::Parse({"--json", "-e", "--password-file", "/p f", "-pt", "new", "-PW", "x", "--no",
                                         "-p", "/a b", "--master-password-file", "/m", "-f", "é"}, o));
    // clang-format on
    EXPECT_EQ(o.lstTask, (QStringList{"-e", "-pt", "new", "-PW", "x", "-p", "/a b", "-f", "é"}));
    EXPECT_EQ(o.strPasswordFile, QStringLiteral("/p f"));
    EXPECT_EQ(o.strMasterPasswordFile, QStringLiteral("/m"));
    EXPECT_TRUE(o.bJson);
    EXPECT_EQ(o.nAnswer, 0);
    EXPECT_TRUE(o.bPasswordOnCommandLine);
}

TEST(TerminalPasswordRules, LengthsAndEntries)
{
    struct SCase
    {
        QString strNew;
        QString strConfirm;
        unsigned nRule;
    };
    const SCase cases[] = {
        {"", "", 57345},
        {"abcdef", "", 57345},
        {"abcdef", "abcdeg", 128},
        {"abcde", "abcde", 104},
        {"abcdef", "abcdef", 0},
        {QString(32, u'x'), QString(32, u'x'), 0},
        {QString(33, u'x'), QString(33, u'x'), 104},
        {QStringLiteral("ääääää"), QStringLiteral("ääääää"), 0},  // characters, not bytes
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(CTerminalUi::CheckNewPassword(c.strNew, c.strConfirm), c.nRule) << c.strNew.toStdString();
    }
}

TEST(TerminalPasswordFiles, FirstLineOnlyAndRulesForNewPasswords)
{
    QTemporaryDir dir;
    CTerminal terminal;
    {
        CTerminalUi ui(
            terminal, WriteFile(dir, "p", "filepass1\r\nsecond line\n"), WriteFile(dir, "m", "master-pw"), -1);
        CSecureBuffer buf;
        ASSERT_TRUE(ui.AskNewPassword(buf));
        EXPECT_EQ(TextOf(buf), QStringLiteral("filepass1"));
        ASSERT_TRUE(ui.AskMasterPassword(1, buf));
        EXPECT_EQ(TextOf(buf), QStringLiteral("master-pw"));
        // The same master password for every attempt.
        ASSERT_TRUE(ui.AskMasterPassword(4, buf));
        EXPECT_EQ(TextOf(buf), QStringLiteral("master-pw"));
        EXPECT_FALSE(ui.PasswordUnavailable());
    }
    {
        // A new master password that breaks the rules is refused, not taken.
        CTerminalUi ui(terminal, QString(), WriteFile(dir, "short", "abc\n"), -1);
        CSecureBuffer buf;
        EXPECT_FALSE(ui.AskNewMasterPassword(buf));
        EXPECT_TRUE(buf.empty());
        EXPECT_TRUE(ui.Refused());
    }
    {
        CTerminalUi ui(terminal, dir.filePath("missing"), QString(), -1);
        CSecureBuffer buf;
        EXPECT_FALSE(ui.AskNewPassword(buf));
        EXPECT_TRUE(ui.PasswordUnavailable());
    }
    {
        CTerminalUi ui(terminal, WriteFile(dir, "big", QByteArray(5000, 'a')), QString(), -1);
        CSecureBuffer buf;
        EXPECT_FALSE(ui.AskNewPassword(buf));
        EXPECT_TRUE(ui.PasswordUnavailable());
    }
    {
        CTerminalUi ui(terminal,
                       WriteFile(dir,
                                 "bad",
                                 QByteArray("abc\xff\xfe"
                                            "def")),
                       QString(),
                       -1);
        CSecureBuffer buf;
        EXPECT_FALSE(ui.AskNewPassword(buf));
        EXPECT_TRUE(ui.PasswordUnavailable());
    }
}

TEST(TerminalPasswordFiles, FilePasswordIsGivenOncePerFile)
{
    QTemporaryDir dir;
    CTerminal terminal;
    CTerminalUi ui(terminal, WriteFile(dir, "p", "filepass1"), QString(), -1);
    CSecureBuffer utf16;
    EXPECT_TRUE(ui.AskFilePassword(QStringLiteral("/a.hvnc"), utf16));
    EXPECT_EQ(QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / 2)),
              QStringLiteral("filepass1"));
    // Asked again for the same file: the given password was wrong; that file is skipped, no
    // endless retry, and the run goes on with the next one.
    EXPECT_FALSE(ui.AskFilePassword(QStringLiteral("/a.hvnc"), utf16));
    EXPECT_TRUE(ui.TakeSkipFile());
    EXPECT_FALSE(ui.TakeSkipFile());
    EXPECT_TRUE(ui.AskFilePassword(QStringLiteral("/b.hvnc"), utf16));
}

TEST(TerminalQuestions, YesAndNoAnswerForTheWholeRun)
{
    CTerminal terminal;
    for (int nAnswer : {0, 1}) {
        CTerminalUi ui(terminal, QString(), QString(), nAnswer);
        bool bAll = false;
        EXPECT_EQ(ui.AskQuestion(QStringLiteral("hidden file"), bAll), nAnswer == 1);
        EXPECT_TRUE(bAll);
        EXPECT_EQ(ui.AskYesNo(168, 57344), nAnswer == 1);
    }
}

TEST(TerminalExitStatus, StartEndsMapToDistinctStatuses)
{
    STerminalOptions options;
    CTerminalFrontEnd frontEnd(options);
    CHalvoDataSecurityApp app(frontEnd);
    using EEnd = CHalvoDataSecurityApp::EEnd;
    const std::pair<EEnd, int> cases[] = {
        {EEnd::InvalidCommand, 2},
        {EEnd::ConfigMissing, 5},
        {EEnd::ResourceMissing, 5},
        {EEnd::CleanupDeclined, 184},
        {EEnd::CleanupDone, 0},
        {EEnd::NoMainWindow, 0},
    };
    for (const auto& [eEnd, nStatus] : cases) {
        app.m_eEnd = eEnd;
        EXPECT_EQ(frontEnd.ExitStatus(app), nStatus) << CTerminalFrontEnd::EndName(eEnd);
    }
    app.m_eEnd = EEnd::MasterPasswordRefused;
    app.m_nExitCode = 3000;
    EXPECT_EQ(frontEnd.ExitStatus(app), 184);
    app.m_eEnd = EEnd::MasterPasswordNotSet;
    app.m_nExitCode = 0;
    EXPECT_EQ(frontEnd.ExitStatus(app), 4);
}
