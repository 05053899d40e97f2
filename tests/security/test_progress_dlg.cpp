// The encrypt, wipe and decrypt runner's dialog over the real work and engines: a run that closes
// the dialog by itself, Cancel in the middle of a run, a question and a password prompt answered
// on the GUI thread while the worker waits; the hide runner's dialog with a stand-in engine.
#include "passwords/CDlg_AfxMsgBoxEx.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "security/CDlg_HideProgrss.h"
#include "security/CDlg_ProgrssManager.h"
#include "security/CItemData.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <vector>

#include "DlgTestSupport.h"
#include "support/Controls.h"

using namespace dlgtest;

namespace {

using hvtest::Control;

SRunOptions Encrypt(int iHidenType = 0)
{
    SRunOptions options;
    options.m_nDecrypt = 0;
    options.m_bEncrypt = 1;
    options.m_iHidenType = iHidenType;
    options.m_nActionHidden = 0;  // ask
    return options;
}

std::unique_ptr<CItemData> FileItem(const QString& strPath)
{
    return std::make_unique<CItemData>(strPath, static_cast<quint64>(QFileInfo(strPath).size()), CItemData::KindFile);
}

// Encrypts a new file of that content through the dialog under the password, then removes the
// plain file.
void WriteEncrypted(const QString& strPlain, const QByteArray& content, const char16_t* pszPassword)
{
    QVERIFY(WriteFile(strPlain, content));
    auto item = FileItem(strPlain);
    CDlg_ProgrssManager dlg;
    dlg.SetSelectedItems({item.get()});
    dlg.SetPassword(CSecureBuffer::FromUtf16Units(pszPassword));
    dlg.RunModal(Encrypt());
    QCOMPARE(dlg.Counters().m_nSucceeded, 1);
    QVERIFY(QFile::remove(strPlain));
}

}  // namespace

class TestProgressDlg : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_messages.clear();
        CGuiMessageBox::SetHook([this](QWidget*, unsigned nId, const QString& strText, QMessageBox::StandardButtons) {
            m_messages << (nId != 0 ? QString::number(nId) : strText);
            return QMessageBox::Ok;
        });
    }

    void encryptionClosesTheDialogByItself()
    {
        const QString a = m_dir.filePath(QStringLiteral("a.txt"));
        const QString b = m_dir.filePath(QStringLiteral("b.txt"));
        QVERIFY(WriteFile(a, QByteArray(70000, 'a')));
        QVERIFY(WriteFile(b, QByteArray("bee")));
        auto itemA = FileItem(a);
        auto itemB = FileItem(b);
        CDlg_ProgrssManager dlg;
        dlg.SetSelectedItems({itemA.get(), itemB.get()});
        dlg.SetPassword(CSecureBuffer::FromUtf16Units(u"run password"));
        dlg.RunModal(Encrypt(2));  // encrypt, then wipe the originals
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.WasCancelled());
        QCOMPARE(dlg.Counters().m_nSucceeded, 2);
        QCOMPARE(dlg.Counters().m_nWipeSucceeded, 2);
        QVERIFY(QFile::exists(a + QStringLiteral(".hvnc")));
        QVERIFY(QFile::exists(b + QStringLiteral(".hvnc")));
        QVERIFY(!QFile::exists(a));
        QCOMPARE(dlg.Files().size(), std::size_t(2));
        QCOMPARE(itemA->m_nEncryptState, CItemData::StateSucceeded);
        // The last queued updates have arrived by the time the dialog closed.
        QCoreApplication::processEvents();
        QCOMPARE(dlg.OverallPos(), 100);
        QVERIFY(m_messages.isEmpty());
        dlg.ClearFileList();
        QVERIFY(dlg.Files().empty());
    }

    void cancelInTheMiddleStopsBeforeTheNextFile()
    {
        std::vector<std::unique_ptr<CItemData>> items;
        std::vector<CItemData*> pointers;
        for (int i = 0; i < 3; ++i) {
            const QString path = m_dir.filePath(QStringLiteral("c%1.txt").arg(i));
            QVERIFY(WriteFile(path, QByteArray(100, char('0' + i))));
            items.push_back(FileItem(path));
            pointers.push_back(items.back().get());
        }
        CDlg_ProgrssManager dlg;
        dlg.SetSelectedItems(pointers);
        dlg.SetPassword(CSecureBuffer::FromUtf16Units(u"pw"));
        dlg.Work().SetWindowFiles(1);
        std::atomic<bool> bHookOnGuiThread{true};
        std::atomic<bool> bStopSeen{false};
        dlg.Work().SetBeforeFileHook([&dlg, &bHookOnGuiThread, &bStopSeen](std::size_t nIndex, const CItemData&) {
            bHookOnGuiThread = QThread::currentThread() == qApp->thread();
            if (nIndex == 1) {
                // The user presses Cancel while the second file is about to start; the worker
                // goes on only once the stop signal is set.
                QMetaObject::invokeMethod(
                    &dlg, [&dlg] { dlg.findChild<QPushButton*>(QStringLiteral("2"))->click(); }, Qt::QueuedConnection);
                bStopSeen = dlg.Work().StopSignal().WaitState(true, -1);
            }
        });
        dlg.RunModal(Encrypt());
        QVERIFY(!bHookOnGuiThread);
        QVERIFY(bStopSeen);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(dlg.WasCancelled());
        QVERIFY(!dlg.Work().BusySignal().IsSet());
        QVERIFY(!dlg.Work().StopSignal().IsSet());  // cleared again after the wait
        QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("c0.txt.hvnc"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("c2.txt.hvnc"))));
        QVERIFY(dlg.Counters().m_nSucceeded <= 2);
        QVERIFY(dlg.Counters().m_nSucceeded >= 1);
    }

    void questionIsAnsweredOnTheGuiThreadOnceForAll()
    {
        const QString h1 = m_dir.filePath(QStringLiteral(".h1"));
        const QString h2 = m_dir.filePath(QStringLiteral(".h2"));
        QVERIFY(WriteFile(h1, "one"));
        QVERIFY(WriteFile(h2, "two"));
        auto item1 = FileItem(h1);
        auto item2 = FileItem(h2);
        int nAsked = 0;
        bool bOnGuiThread = false;
        QString strQuestion;
        CDlg_ProgrssManager dlg;
        std::function<void(CDlg_AfxMsgBoxEx*)> answer = [&](CDlg_AfxMsgBoxEx* pBox) {
            ++nAsked;
            bOnGuiThread = pBox->thread() == qApp->thread() && QThread::currentThread() == qApp->thread();
            strQuestion = pBox->GetMessageText();
            Control<QCheckBox>(pBox, CDlg_AfxMsgBoxEx::IDC_CHECK_APPLY_ALL)->click();
            Control<QPushButton>(pBox, CDlg_AfxMsgBoxEx::IDYES)->click();
        };
        AnswerNext<CDlg_AfxMsgBoxEx>(&dlg, answer);
        dlg.SetSelectedItems({item1.get(), item2.get()});
        dlg.SetPassword(CSecureBuffer::FromUtf16Units(u"pw"));
        dlg.RunModal(Encrypt());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(nAsked, 1);
        QVERIFY(bOnGuiThread);
        QVERIFY(strQuestion.contains(QStringLiteral(".h1")));
        QCOMPARE(dlg.Counters().m_nSucceeded, 2);
        QVERIFY(QFile::exists(h2 + QStringLiteral(".hvnc")));
    }

    void wrongPasswordBringsUpThePrompt()
    {
        const QString plain = m_dir.filePath(QStringLiteral("d.txt"));
        WriteEncrypted(plain, "the text", u"right one");
        auto item = FileItem(plain + QStringLiteral(".hvnc"));
        CDlg_ProgrssManager dlg;
        QString strShownPath;
        AnswerNext<CDlg_Enterpassword>(&dlg, [&strShownPath](CDlg_Enterpassword* pDlg) {
            strShownPath = pDlg->findChild<QLabel*>(QStringLiteral("detail"))->text();
            Control<QLineEdit>(pDlg, CDlg_Enterpassword::IDC_EDIT_PASSWORD)->setText(QStringLiteral("right one"));
            Control<QPushButton>(pDlg, CDlg_Enterpassword::IDOK)->click();
        });
        dlg.SetSelectedItems({item.get()});
        dlg.SetPassword(CSecureBuffer::FromUtf16Units(u"wrong"));
        dlg.SetMasterPassword(CSecureBuffer::FromUtf16Units(u"also wrong"));
        SRunOptions options;
        options.m_nDecrypt = 1;
        dlg.RunModal(options);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Counters().m_nSucceeded, 1);
        QVERIFY(strShownPath.endsWith(QStringLiteral("d.txt.hvnc")));
        QCOMPARE(ReadFile(plain), QByteArray("the text"));
    }

    void refusedPromptEndsTheRun()
    {
        const QString plain = m_dir.filePath(QStringLiteral("e.txt"));
        WriteEncrypted(plain, "e", u"right one");
        auto item = FileItem(plain + QStringLiteral(".hvnc"));
        CDlg_ProgrssManager dlg;
        AnswerNext<CDlg_Enterpassword>(
            &dlg, [](CDlg_Enterpassword* pDlg) { Control<QPushButton>(pDlg, CDlg_Enterpassword::IDCANCEL)->click(); });
        dlg.SetSelectedItems({item.get()});
        dlg.SetPassword(CSecureBuffer::FromUtf16Units(u"wrong"));
        SRunOptions options;
        options.m_nDecrypt = 1;
        dlg.RunModal(options);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));  // finished, not cancelled
        QCOMPARE(dlg.Counters().m_nFailed, 1);
        QVERIFY(!QFile::exists(plain));
    }

    void emptySelectionOpensAndClosesAtOnce()
    {
        CDlg_ProgrssManager dlg;
        dlg.SetSelectedItems({});
        dlg.RunModal(Encrypt());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.Counters().m_nProcessed, 0);
        QVERIFY(m_messages.isEmpty());
    }

    void hideDialogRunsAndCloses()
    {
        std::vector<std::unique_ptr<CItemData>> items;
        std::vector<CItemData*> pointers;
        for (int i = 0; i < 3; ++i) {
            items.push_back(
                std::make_unique<CItemData>(m_dir.filePath(QStringLiteral("h%1").arg(i)), 1, CItemData::KindFile));
            pointers.push_back(items.back().get());
        }
        QStringList hidden;
        CDlg_HideProgrss dlg;
        dlg.Work().SetHidePath([&hidden](const QString& strPath) {
            hidden << strPath;
            return strPath.endsWith(QLatin1Char('1')) ? 0 : 1;
        });
        dlg.Work().SetRefreshFolderView([](const QString&) {});
        dlg.SetItems(pointers);
        SHideRunOptions options;
        dlg.RunModal(options);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(hidden.size(), 3);
        QCOMPARE(dlg.Counters().m_nSucceeded, 2);
        QCOMPARE(dlg.Counters().m_nFailed, 1);
        QCoreApplication::processEvents();
        QCOMPARE(dlg.BarRange(), 3);
        QCOMPARE(dlg.BarPos(), 3);
    }

    void cleanupTestCase() { CGuiMessageBox::SetHook({}); }

private:
    QTemporaryDir m_dir;
    QStringList m_messages;
};

QObject* MakeProgressDialogTests()
{
    return new TestProgressDlg;
}

#include "test_progress_dlg.moc"
