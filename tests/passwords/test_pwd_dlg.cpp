// The password dialogs' rules: refusals with their message and focus, the consent box, the
// key-length limits of the change dialog, the match text, the strength label, show-characters,
// the hand-over of the password, the help topics and the question box's apply-to-all state.
#include "engines/CSecureBuffer.h"
#include "passwords/CDlg_AfxMsgBoxEx.h"
#include "passwords/CDlg_Changemasterpassword.h"
#include "passwords/CDlg_EnterMasterpassword.h"
#include "passwords/CDlg_Enterpassword.h"
#include "passwords/CDlg_Setmasterpassword.h"
#include "passwords/CDlg_Setpassword.h"
#include "passwords/CGuiMessageBox.h"
#include "resources/HVStringIds.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <vector>

#include "support/Controls.h"
namespace {

using hvtest::Control;

std::vector<unsigned> g_messages;
QMessageBox::StandardButton g_answer = QMessageBox::Yes;
QStringList g_helpTopics;

QLineEdit* Edit(QWidget* pDlg, const char* pszId)
{
    return pDlg->findChild<QLineEdit*>(QString::fromLatin1(pszId));
}

CSecureBuffer Utf16(const char16_t* psz)
{
    return CSecureBuffer::FromBytes(psz, std::char_traits<char16_t>::length(psz) * sizeof(char16_t));
}

QString Text(const CSecureBuffer& utf16)
{
    return QString(reinterpret_cast<const QChar*>(utf16.data()), static_cast<qsizetype>(utf16.size() / 2));
}

void Fill(QWidget* pDlg, const QString& strNew, const QString& strConfirm, const QString& strCurrent = QString())
{
    if (QLineEdit* pCurrent = Edit(pDlg, "1029");
        pCurrent != nullptr && qobject_cast<CDlg_Changemasterpassword*>(pDlg)) {
        pCurrent->setText(strCurrent);
    }
    Edit(pDlg, "1027")->setText(strNew);
    Edit(pDlg, "1028")->setText(strConfirm);
}

// OK pressed: true when the dialog closed with OK; the message shown (0 for none).
bool PressOk(QDialog& dlg, unsigned& nMessage)
{
    g_messages.clear();
    dlg.accept();
    nMessage = g_messages.empty() ? 0 : g_messages.back();
    return !dlg.isVisible() && dlg.result() == QDialog::Accepted;
}

}  // namespace

class TestPwdDlg : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        CGuiMessageBox::SetHook([](QWidget*, unsigned nId, const QString&, QMessageBox::StandardButtons buttons) {
            g_messages.push_back(nId);
            return buttons.testFlag(QMessageBox::Yes) ? g_answer : QMessageBox::Ok;
        });
        CGuiMessageBox::SetHelpHook([](const QString& strTopic) {
            g_helpTopics << strTopic;
            return true;
        });
    }
    void init()
    {
        g_messages.clear();
        g_helpTopics.clear();
        g_answer = QMessageBox::Yes;
    }

    void setRefusals_data()
    {
        QTest::addColumn<QString>("strNew");
        QTest::addColumn<QString>("strConfirm");
        QTest::addColumn<unsigned>("nMessage");
        QTest::addColumn<QString>("strFocus");
        // clang-format off
        QTest::newRow("both empty") << "" << "" << unsigned(IDS_PASSWORD_EMPTY) << "1027";
        QTest::newRow("confirmation empty") << "secret1" << "" << unsigned(IDS_PASSWORD_EMPTY) << "1028";
        QTest::newRow("new empty") << "" << "secret1" << unsigned(IDS_PASSWORD_EMPTY) << "1027";
        QTest::newRow("differ") << "secret1" << "secret2" << unsigned(IDS_PASSWORD_MISMATCH) << "1028";
        QTest::newRow("differ in case") << "Secret1" << "secret1" << unsigned(IDS_PASSWORD_MISMATCH) << "1028";
        QTest::newRow("three letters") << "abc" << "abc" << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("five letters") << "abcde" << "abcde" << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("33 letters") << QString(33, u'x') << QString(33, u'x')
                                    << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("six letters") << "abcdef" << "abcdef" << 0u << "";
        QTest::newRow("32 letters") << QString(32, u'x') << QString(32, u'x') << 0u << "";
        // clang-format on
    }
    // The one rule of both set dialogs.
    void setRefusals()
    {
        QFETCH(QString, strNew);
        QFETCH(QString, strConfirm);
        QFETCH(unsigned, nMessage);
        QFETCH(QString, strFocus);
        CDlg_Setpassword dlgSet;
        CDlg_Setmasterpassword dlgMaster;
        Control<QCheckBox>(&dlgMaster, CDlg_Setmasterpassword::IDC_CHECK_CONSENT)->click();
        for (QDialog* pDlg : std::initializer_list<QDialog*>{&dlgSet, &dlgMaster}) {
            pDlg->show();
            Fill(pDlg, strNew, strConfirm);
            unsigned nShown = 0;
            const bool bClosed = PressOk(*pDlg, nShown);
            QCOMPARE(nShown, nMessage);
            QCOMPARE(bClosed, nMessage == 0);
            if (nMessage != 0) {
                QVERIFY(pDlg->isVisible());
                QCOMPARE(pDlg->focusWidget()->objectName(), strFocus);
                QCOMPARE(g_messages.size(), std::size_t(1));  // one message box per refusal
            }
        }
    }

    void consentStartsClearedAndGatesInput()
    {
        CDlg_Setmasterpassword dlg;
        dlg.show();
        auto* pConsent = Control<QCheckBox>(&dlg, CDlg_Setmasterpassword::IDC_CHECK_CONSENT);
        auto* pOk = Control<QPushButton>(&dlg, CDlg_Setmasterpassword::IDOK);
        QVERIFY(!pConsent->isChecked());
        const char* gated[] = {"1027", "1028", "4057", "4080", "4097", "4098", "4099"};
        for (const char* pszId : gated) {
            QVERIFY2(!dlg.findChild<QWidget*>(QString::fromLatin1(pszId))->isEnabled(), pszId);
        }
        QVERIFY(!pOk->isEnabled());
        // A stray OK without consent changes nothing.
        unsigned nShown = 0;
        QVERIFY(!PressOk(dlg, nShown));
        pConsent->click();
        for (const char* pszId : gated) {
            QVERIFY2(dlg.findChild<QWidget*>(QString::fromLatin1(pszId))->isEnabled(), pszId);
        }
        QVERIFY(pOk->isEnabled());
        QCOMPARE(dlg.focusWidget(), Edit(&dlg, "1027"));
        pConsent->click();
        QVERIFY(!Edit(&dlg, "1027")->isEnabled());
        QVERIFY(!pOk->isEnabled());
    }

    void changeAnsweredNoReturnsCancel()
    {
        g_answer = QMessageBox::No;
        CSecureBuffer master = Utf16(u"current1");
        CDlg_Changemasterpassword dlg(&master, 2);
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(g_messages, std::vector<unsigned>{IDS_ASK_CHANGE_MASTER});
        QVERIFY(!dlg.WasConfirmed());
        QVERIFY(!Edit(&dlg, "1027")->isEnabled());
        QVERIFY(!Edit(&dlg, "1029")->isEnabled());
    }

    void changeRules_data()
    {
        QTest::addColumn<int>("nAESType");
        QTest::addColumn<QString>("strCurrent");
        QTest::addColumn<QString>("strNew");
        QTest::addColumn<QString>("strConfirm");
        QTest::addColumn<unsigned>("nMessage");
        QTest::addColumn<QString>("strFocus");
        const QString c = QStringLiteral("current1");
        const QString k15(15, u'k'), k16(16, u'k'), k23(23, u'k'), k24(24, u'k'), k32(32, u'k'), k33(33, u'k');
        // clang-format off
        QTest::newRow("all empty") << 2 << "" << "" << "" << unsigned(IDS_PASSWORD_EMPTY) << "1029";
        QTest::newRow("new empty") << 2 << c << "" << "abcdef" << unsigned(IDS_PASSWORD_EMPTY) << "1027";
        QTest::newRow("confirm empty") << 2 << c << "abcdef" << "" << unsigned(IDS_PASSWORD_EMPTY) << "1028";
        const unsigned nWrongCurrent = IDS_WRONG_CURRENT_PASSWORD;
        QTest::newRow("wrong current") << 2 << "current2" << "abcdef" << "abcdef" << nWrongCurrent << "1029";
        QTest::newRow("current prefix") << 2 << "current" << "abcdef" << "abcdef" << nWrongCurrent << "1029";
        QTest::newRow("differ") << 2 << c << "abcdef" << "abcdeg" << unsigned(IDS_PASSWORD_MISMATCH) << "1028";
        QTest::newRow("256 three") << 2 << c << "abc" << "abc" << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("256 sixteen") << 2 << c << k16 << k16 << 0u << "";
        QTest::newRow("256 32") << 2 << c << k32 << k32 << 0u << "";
        QTest::newRow("256 33") << 2 << c << k33 << k33 << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("unknown type 33") << 7 << c << k33 << k33 << unsigned(IDS_PASSWORD_LENGTH_256) << "1027";
        QTest::newRow("128 15") << 0 << c << k15 << k15 << 0u << "";
        QTest::newRow("128 16") << 0 << c << k16 << k16 << unsigned(IDS_PASSWORD_LENGTH_128) << "1027";
        QTest::newRow("128 five") << 0 << c << "abcde" << "abcde" << unsigned(IDS_PASSWORD_LENGTH_128) << "1027";
        QTest::newRow("192 23") << 1 << c << k23 << k23 << 0u << "";
        QTest::newRow("192 24") << 1 << c << k24 << k24 << unsigned(IDS_PASSWORD_LENGTH_192) << "1027";
        // clang-format on
    }
    void changeRules()
    {
        QFETCH(int, nAESType);
        QFETCH(QString, strCurrent);
        QFETCH(QString, strNew);
        QFETCH(QString, strConfirm);
        QFETCH(unsigned, nMessage);
        QFETCH(QString, strFocus);
        CSecureBuffer master = Utf16(u"current1");
        CDlg_Changemasterpassword dlg(&master, nAESType);
        dlg.show();
        QTRY_VERIFY(dlg.WasConfirmed());
        Fill(&dlg, strNew, strConfirm, strCurrent);
        unsigned nShown = 0;
        const bool bClosed = PressOk(dlg, nShown);
        if (nMessage == 0) {
            QVERIFY(bClosed);
            QCOMPARE(nShown, unsigned(IDS_MASTER_CHANGED));  // the success message
            CSecureBuffer taken;
            dlg.TakePassword(taken);
            QCOMPARE(Text(taken), strNew);
            QVERIFY(Edit(&dlg, "1027")->text().isEmpty());
            QVERIFY(Edit(&dlg, "1029")->text().isEmpty());
        } else {
            QVERIFY(!bClosed);
            QCOMPARE(nShown, nMessage);
            QCOMPARE(dlg.focusWidget()->objectName(), strFocus);
        }
    }

    void matchTextFollowsTheConfirmationOnly()
    {
        CDlg_Setpassword dlg;
        dlg.show();
        auto* pMatch = Control<QLabel>(&dlg, CDlg_Setpassword::IDC_MATCH_TEXT);
        Edit(&dlg, "1027")->setText(QStringLiteral("a"));
        Edit(&dlg, "1028")->setText(QStringLiteral("b"));
        QCOMPARE(pMatch->text(), QStringLiteral("No Match"));
        Edit(&dlg, "1028")->setText(QStringLiteral(""));
        QCOMPARE(pMatch->text(), QStringLiteral("No Match"));
        Edit(&dlg, "1028")->setText(QStringLiteral("a"));
        QCOMPARE(pMatch->text(), QStringLiteral("Matched"));
        // A change of the new password alone does not refresh it.
        Edit(&dlg, "1027")->setText(QStringLiteral("ab"));
        QCOMPARE(pMatch->text(), QStringLiteral("Matched"));
        Edit(&dlg, "1028")->setText(QStringLiteral("A"));
        QCOMPARE(pMatch->text(), QStringLiteral("No Match"));
    }

    void strengthLabelAndMeter()
    {
        CDlg_Setpassword dlg;
        dlg.show();
        auto* pLabel = Control<QLabel>(&dlg, CDlg_Setpassword::IDC_STRENGTH_TEXT);
        QCOMPARE(pLabel->text(), QStringLiteral("0 bits"));
        Edit(&dlg, "1027")->setText(QStringLiteral("aaaa"));
        QCOMPARE(pLabel->text(), QStringLiteral("9 bits"));
        // The confirmation does not move the meter.
        Edit(&dlg, "1028")->setText(QStringLiteral("Zq8#mL2!vR"));
        QCOMPARE(pLabel->text(), QStringLiteral("9 bits"));
    }

    void showCharactersSwitchesEveryField()
    {
        CSecureBuffer master = Utf16(u"current1");
        CDlg_Changemasterpassword dlg(&master, 2);
        dlg.show();
        QTRY_VERIFY(dlg.WasConfirmed());
        QVERIFY(dlg.IsHiddenMode());
        auto* pShow = Control<QWidget>(&dlg, CDlg_NewPasswordBase::IDC_BUTTON_SHOW);
        QMetaObject::invokeMethod(pShow, "click");
        for (const char* pszId : {"1027", "1028", "1029"}) {
            QCOMPARE(Edit(&dlg, pszId)->echoMode(), QLineEdit::Normal);
        }
        QCOMPARE(dlg.focusWidget(), Edit(&dlg, "1027"));
        QMetaObject::invokeMethod(pShow, "click");
        for (const char* pszId : {"1027", "1028", "1029"}) {
            QCOMPARE(Edit(&dlg, pszId)->echoMode(), QLineEdit::Password);
        }
    }

    void enterDialogsHandOverAsTyped()
    {
        CDlg_EnterMasterpassword dlgMaster;
        CDlg_Enterpassword dlgFile;
        for (CDlg_EnterPasswordBase* pDlg : std::initializer_list<CDlg_EnterPasswordBase*>{&dlgMaster, &dlgFile}) {
            pDlg->show();
            QCOMPARE(pDlg->focusWidget(), Edit(pDlg, "1034"));
            // An empty password is handed on too.
            unsigned nShown = 0;
            QVERIFY(PressOk(*pDlg, nShown));
            QCOMPARE(nShown, 0u);
            CSecureBuffer taken;
            pDlg->TakePassword(taken);
            QVERIFY(taken.empty());
            pDlg->show();
            Edit(pDlg, "1034")->setText(QStringLiteral("pässwörd ✓"));
            QVERIFY(PressOk(*pDlg, nShown));
            pDlg->TakePassword(taken);
            QCOMPARE(Text(taken), QStringLiteral("pässwörd ✓"));
            QVERIFY(Edit(pDlg, "1034")->text().isEmpty());  // no copy stays in the field
        }
    }

    void helpTopics()
    {
        CDlg_Setmasterpassword dlgMaster;
        dlgMaster.show();
        QTest::keyClick(&dlgMaster, Qt::Key_F1);
        for (const char* pszId : {"3", "4", "4090"}) {
            QMetaObject::invokeMethod(dlgMaster.findChild<QWidget*>(QString::fromLatin1(pszId)), "click");
        }
        CDlg_Setpassword dlgSet;
        dlgSet.show();
        QTest::keyClick(&dlgSet, Qt::Key_F1);
        QMetaObject::invokeMethod(dlgSet.findChild<QWidget*>(QStringLiteral("1029")), "click");
        CDlg_Enterpassword dlgEnter;
        dlgEnter.show();
        QTest::keyClick(&dlgEnter, Qt::Key_F1);
        CDlg_EnterMasterpassword dlgEnterMaster;
        dlgEnterMaster.show();
        QTest::keyClick(&dlgEnterMaster, Qt::Key_F1);
        QCOMPARE(g_helpTopics,
                 QStringList({"Master_Password_and_User-Defined_Passwords.htm",
                              "getting_help.htm",
                              "Master_Password_and_User-Defined_Passwords.htm",
                              "disclaimer.htm",
                              "Encryption_and_Decryption_of_Files_and_Folders.htm",
                              "Encryption_and_Decryption_of_Files_and_Folders.htm",
                              "Decrypting_Files_and_Folders.htm",
                              "Master_Password_and_User-Defined_Passwords.htm"}));
    }

    void applyToAllIsReadOnBothButtons()
    {
        for (const char* pszButton : {"1", "2"}) {
            for (bool bTick : {false, true}) {
                CDlg_AfxMsgBoxEx box;
                box.SetMessageText(QStringLiteral("\"/tmp/.x\" is a hidden file."));
                QVERIFY(!box.GetApplyToAll());
                QTimer::singleShot(0, &box, [&box, bTick, pszButton] {
                    if (bTick) {
                        Control<QCheckBox>(&box, CDlg_AfxMsgBoxEx::IDC_CHECK_APPLY_ALL)->click();
                    }
                    box.findChild<QPushButton*>(QString::fromLatin1(pszButton))->click();
                });
                const int nResult = box.exec();
                QCOMPARE(nResult, std::strcmp(pszButton, "1") == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
                QCOMPARE(box.GetApplyToAll(), bTick);
                QCOMPARE(box.GetMessageText(), QStringLiteral("\"/tmp/.x\" is a hidden file."));
            }
        }
    }
};

QTEST_MAIN(TestPwdDlg)
#include "test_pwd_dlg.moc"
