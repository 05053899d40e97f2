// Handing encrypted files to the mail program, with a stub xdg-email on PATH.
#include <QFile>
#include <QFileInfo>

#include "FlowsTestSupport.h"

using namespace flowtest;

namespace {

// A stub "xdg-email" that writes its arguments, each followed by a NUL, to $HV_MAIL_LOG and
// exits with $HV_MAIL_EXIT. PATH holds only its folder while the object lives.
class CMailStub
{
public:
    explicit CMailStub(const QString& strHome)
        : m_strBin(strHome + QStringLiteral("/stub-bin"))
        , m_strLog(strHome + QStringLiteral("/mail-args"))
        , m_strOldPath(QString::fromLocal8Bit(qgetenv("PATH")))
    {
        QDir().mkpath(m_strBin);
        QFile script(m_strBin + QStringLiteral("/xdg-email"));
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n"
                         "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$HV_MAIL_LOG\"\n"
                         "exit ${HV_MAIL_EXIT:-0}\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        CTempHome::Set("PATH", m_strBin);
        CTempHome::Set("HV_MAIL_LOG", m_strLog);
        CTempHome::Set("HV_MAIL_EXIT", QStringLiteral("0"));
    }
    ~CMailStub() { CTempHome::Set("PATH", m_strOldPath); }
    CMailStub(const CMailStub&) = delete;
    CMailStub& operator=(const CMailStub&) = delete;

    [[nodiscard]] bool WasCalled() const { return QFileInfo::exists(m_strLog); }
    [[nodiscard]] QStringList Arguments() const
    {
        QFile file(m_strLog);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList out;
        for (const QByteArray& arg : file.readAll().split('\0')) {
            out.append(QString::fromUtf8(arg));
        }
        out.removeLast();  // after the last NUL
        return out;
    }
    void RemoveProgram() { QFile::remove(m_strBin + QStringLiteral("/xdg-email")); }

private:
    QString m_strBin;
    QString m_strLog;
    QString m_strOldPath;
};

class MailFlow : public ::testing::Test
{
protected:
    CTempHome m_home;
    CMailStub m_stub{m_home.Path()};
    CDataSecurityMngr m_mngr;
};

TEST_F(MailFlow, EveryFileIsOneAttachArgumentWithNoRecipientSubjectOrBody)
{
    const QStringList files{QStringLiteral("/tmp/dir with blanks/a b.txt.hvnc"),
                            QStringLiteral("/tmp/it's \"quoted\".hvnc"),
                            QStringLiteral("/tmp/$(touch pwned);x.hvnc"),
                            QStringLiteral("/tmp/-looks-like-option.hvnc"),
                            QStringLiteral("/tmp/\u00e9l\u00e8ve.hvnc")};
    EXPECT_TRUE(m_mngr.SendFilesByMail(nullptr, files, QString(), QString()));
    QStringList expected;
    for (const QString& f : files) {
        expected << QStringLiteral("--attach") << f;
    }
    EXPECT_EQ(m_stub.Arguments(), expected);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("pwned")));
}

TEST_F(MailFlow, EmptyListCallsNothing)
{
    EXPECT_FALSE(m_mngr.SendFilesByMail(nullptr, {}, QString(), QString()));
    EXPECT_FALSE(m_stub.WasCalled());
}

TEST_F(MailFlow, MissingMailProgramIsAQuietFalse)
{
    m_stub.RemoveProgram();
    EXPECT_FALSE(m_mngr.SendFilesByMail(nullptr, {QStringLiteral("/tmp/a.hvnc")}, QString(), QString()));
}

TEST_F(MailFlow, FailureOfTheMailProgramIsFalse)
{
    CTempHome::Set("HV_MAIL_EXIT", QStringLiteral("3"));
    EXPECT_FALSE(m_mngr.SendFilesByMail(nullptr, {QStringLiteral("/tmp/a.hvnc")}, QString(), QString()));
    EXPECT_TRUE(m_stub.WasCalled());
}

// The e-mail step of a command-line secure run.
class MailStep : public MailFlow
{
protected:
    MailStep()
    {
        m_mngr.m_pRunnerHost = &m_host;
        m_mngr.m_pUi = &m_ui;
        m_mngr.m_strMasterPassword = CSecureBuffer::FromUtf16Units(u"master-pw");
        m_mngr.m_bCmdLine = 1;
        m_mngr.m_bCmdEncrypt = 1;
        m_mngr.m_bCmdEmail = 1;
        m_mngr.m_arrItems = {m_file, m_folder, m_failed};
    }
    ~MailStep() override { m_mngr.m_arrItems.clear(); }

    Events m_events;
    CRecordingHost m_host{m_events};
    CScriptedUi m_ui{m_events};
    std::shared_ptr<CItemData> m_file =
        std::make_shared<CItemData>(QStringLiteral("/docs/a file.txt"), 5, CItemData::KindFile);
    std::shared_ptr<CItemData> m_folder =
        std::make_shared<CItemData>(QStringLiteral("/docs/folder"), 0, CItemData::KindFolder);
    std::shared_ptr<CItemData> m_failed =
        std::make_shared<CItemData>(QStringLiteral("/docs/bad"), 0, CItemData::KindFolder);
};

TEST_F(MailStep, AttachesTheEncryptedNameOfFilesWhoseItemSucceededOnly)
{
    m_host.m_script = [this](CFakeRun& run, const SRunOptions&) {
        run.AddFile(m_file->m_strPath, m_file.get());
        run.AddFile(QStringLiteral("/docs/folder/x 1"), m_folder.get());
        run.AddFile(QStringLiteral("/docs/folder/x 2"), m_folder.get());
        run.AddFile(QStringLiteral("/docs/bad/y"), m_failed.get());
        run.AddFile(QStringLiteral("/docs/bad/z"), m_failed.get());
        m_file->m_nEncryptState = CItemData::StateSucceeded;
        m_folder->m_nEncryptState = CItemData::StateSucceeded;
        m_failed->m_nEncryptState = CItemData::StatePartlyFailed;
    };
    ASSERT_EQ(m_mngr.SecureData(), 1);
    const QStringList expected{QStringLiteral("--attach"),
                               QStringLiteral("/docs/a file.txt.hvnc"),
                               QStringLiteral("--attach"),
                               QStringLiteral("/docs/folder/x 1.hvnc"),
                               QStringLiteral("--attach"),
                               QStringLiteral("/docs/folder/x 2.hvnc")};
    EXPECT_EQ(m_stub.Arguments(), expected);
    // The list is emptied after the mail step has read it.
    EXPECT_EQ(Only(m_events, "run.clear"), Events{"run.clear 5"});
    EXPECT_TRUE(Only(m_events, "ui.").empty());
}

// With hiding after the run, the encrypted files are handed to the mail program while they are
// still where the run left them: before the hide runner runs. The rest keeps its order.
TEST_F(MailStep, WithHidingTheMailStepComesBeforeTheHideRunner)
{
    m_mngr.m_iCmdHidenType = CDataSecurityMngr::Hide;
    m_mngr.m_arrItems = {m_file};
    m_host.m_script = [this](CFakeRun& run, const SRunOptions&) {
        run.AddFile(m_file->m_strPath, m_file.get());
        m_file->m_nEncryptState = CItemData::StateSucceeded;
    };
    bool bMailedBeforeHide = false;
    m_host.m_onHide = [&] { bMailedBeforeHide = m_stub.WasCalled(); };
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_TRUE(bMailedBeforeHide);
    EXPECT_EQ(m_stub.Arguments(), (QStringList{QStringLiteral("--attach"), QStringLiteral("/docs/a file.txt.hvnc")}));
    EXPECT_EQ(Only(m_events, "hide.modal"), Events{"hide.modal unhide=0 page=0 encrypt=1"});
    EXPECT_EQ(Only(m_events, "run.clear"), Events{"run.clear 1"});
}

TEST_F(MailStep, RunInWhichNothingSucceededCallsNothing)
{
    m_host.m_script = [this](CFakeRun& run, const SRunOptions&) {
        run.AddFile(m_file->m_strPath, m_file.get());
        m_file->m_nEncryptState = CItemData::StateFailed;
    };
    ASSERT_EQ(m_mngr.SecureData(), 1);
    EXPECT_FALSE(m_stub.WasCalled());
    EXPECT_EQ(Only(m_events, "run.clear"), Events{"run.clear 1"});
}

}  // namespace
