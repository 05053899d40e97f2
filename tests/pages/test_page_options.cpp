// The security options page (135): its enabling rules, the summary table and the password checks.
#include "pages/CHDPageSecurityOptions.h"
#include "ui/CPPHtmlStatic.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include "PagesTestSupport.h"
#include "support/Controls.h"

using namespace PagesTest;
using O = CHDPageSecurityOptions;

class TestPageOptions : public CPageTest
{
    Q_OBJECT

    std::unique_ptr<CHDPageSecurityOptions> Make() { return CPageTest::Make<CHDPageSecurityOptions>(); }

private slots:
    void summaryTable_data()
    {
        QTest::addColumn<int>("encrypt");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("picture");
        QTest::addColumn<bool>("go");
        QTest::newRow("encrypt") << 1 << 0 << 176 << 4050 << true;
        QTest::newRow("encrypt, hide") << 1 << 1 << 177 << 4051 << true;
        QTest::newRow("encrypt, wipe") << 1 << 2 << 178 << 4052 << true;
        QTest::newRow("nothing") << 0 << 0 << 181 << 0 << false;
        QTest::newRow("hide") << 0 << 1 << 179 << 4053 << true;
        QTest::newRow("wipe") << 0 << 2 << 180 << 4054 << true;
    }
    void summaryTable()
    {
        QFETCH(int, encrypt);
        QFETCH(int, action);
        QFETCH(int, text);
        QFETCH(int, picture);
        QFETCH(bool, go);
        m_rig->mngr.m_bEncrypt = encrypt;
        m_rig->mngr.m_iHidenType = action;
        auto pPage = Make();
        const QString strSummary = pPage->m_strSummary;
        QVERIFY(strSummary.contains(HVLoadString(static_cast<unsigned>(text)).toHtmlEscaped())
                || strSummary.contains(HVLoadString(static_cast<unsigned>(text))));
        if (picture != 0) {
            QVERIFY(strSummary.endsWith(QStringLiteral("<br><br><bmp idres=%1>").arg(picture)));
            QCOMPARE(W<CPPHtmlStatic>(pPage.get(), O::IDC_SUMMARY)->PictureCount(), 1);
        } else {
            QVERIFY(!strSummary.contains(QStringLiteral("<bmp")));
            QVERIFY(strSummary.contains(QStringLiteral("<b>       ")));
        }
        QCOMPARE(strSummary.contains(QStringLiteral("#ff0000")), encrypt == 0 && action == 2);
        QCOMPARE(W(pPage.get(), O::IDC_BUTTON_GO)->isEnabled(), go);
        QCOMPARE(W<CPPHtmlStatic>(pPage.get(), O::IDC_SUMMARY)->GetWindowText(), strSummary);
    }

    void unknownPairLeavesTheSummary()
    {
        QString strText = QStringLiteral("kept");
        QVERIFY(!CHDPageSecurityOptions::SummaryText(1, 3, strText));
        QVERIFY(!CHDPageSecurityOptions::SummaryText(2, 0, strText));
        QCOMPARE(strText, QStringLiteral("kept"));
    }

    void enablingFollowsEncryptAndPasswordType()
    {
        auto pPage = Make();
        QWidget* p = pPage.get();
        const QList<QWidget*> passwordArea{
            W(p, O::IDC_EDIT_PASSWORD),
            W(p, O::IDC_EDIT_CONFIRM),
            W(p, O::IDC_STATIC_CONFIRM),
            W(p, O::IDC_STRENGTH_BAR),
            W(p, O::IDC_STATIC_STRENGTH),
            W(p, O::IDC_STRENGTH_LABEL),
            p->findChild<QWidget*>(QString::fromLatin1(CHDPageSecurityOptions::kStaticPasswordName))};
        // Start: encrypt with the master password.
        QVERIFY(W(p, O::IDC_BUTTON_ENC_SETTINGS)->isEnabled() && W(p, O::IDC_RADIO_MASTER)->isEnabled()
                && W(p, O::IDC_RADIO_OWN)->isEnabled());
        for (QWidget* pWidget : passwordArea) {
            QVERIFY2(!pWidget->isEnabled(), qPrintable(pWidget->objectName()));
        }
        QCOMPARE(W<QAbstractButton>(p, O::IDC_RADIO_HIDE)->text(), HVLoadString(175));

        Click(p, O::IDC_RADIO_OWN);  // own password
        QCOMPARE(pPage->m_iPasswordType, 1);
        for (QWidget* pWidget : passwordArea) {
            QVERIFY2(pWidget->isEnabled(), qPrintable(pWidget->objectName()));
        }

        Click(p, O::IDC_CHECK_ENCRYPT);  // encryption off
        QCOMPARE(pPage->m_bEncrypt, 0);
        for (QWidget* pWidget : passwordArea
                                    + QList<QWidget*>{W(p, O::IDC_BUTTON_ENC_SETTINGS),
                                                      W(p, O::IDC_RADIO_MASTER),
                                                      W(p, O::IDC_RADIO_OWN)}) {
            QVERIFY2(!pWidget->isEnabled(), qPrintable(pWidget->objectName()));
        }
        QCOMPARE(W<QAbstractButton>(p, O::IDC_RADIO_HIDE)->text(), HVLoadString(174));
        QVERIFY(!W(p, O::IDC_BUTTON_GO)->isEnabled());

        // The wipe-settings link follows the wipe action alone.
        QVERIFY(!W(p, O::IDC_BUTTON_WIPE_SETTINGS)->isEnabled());
        Click(p, O::IDC_RADIO_WIPE);
        QVERIFY(W(p, O::IDC_BUTTON_WIPE_SETTINGS)->isEnabled());
        QVERIFY(W(p, O::IDC_BUTTON_GO)->isEnabled());
        Click(p, O::IDC_CHECK_ENCRYPT);
        QVERIFY(W(p, O::IDC_BUTTON_WIPE_SETTINGS)->isEnabled());
        Click(p, O::IDC_RADIO_HIDE);
        QVERIFY(!W(p, O::IDC_BUTTON_WIPE_SETTINGS)->isEnabled());
    }

    void hideStaysDisabledWithoutTheHidingEngine()
    {
        m_rig->mngr.m_bHideDisabled = 1;
        auto pPage = Make();
        QWidget* p = pPage.get();
        QVERIFY(!W(p, O::IDC_RADIO_HIDE)->isEnabled());
        Click(p, O::IDC_CHECK_ENCRYPT);
        Click(p, O::IDC_RADIO_WIPE);
        Click(p, O::IDC_CHECK_ENCRYPT);
        QVERIFY(!W(p, O::IDC_RADIO_HIDE)->isEnabled());
    }

    void passwordStrengthFollowsTheText()
    {
        auto pPage = Make();
        Click(pPage.get(), O::IDC_RADIO_OWN);
        auto* pLabel = W<QLabel>(pPage.get(), O::IDC_STRENGTH_LABEL);
        W<QLineEdit>(pPage.get(), O::IDC_EDIT_PASSWORD)->setText(QStringLiteral("Tr0ub4dor&3-horse"));
        QCOMPARE(pLabel->text(), CHDGlobalData::PasswordStrength(QStringLiteral("Tr0ub4dor&3-horse")).strLabel);
        QVERIFY(pLabel->text() != CHDGlobalData::PasswordStrength(QString()).strLabel);
    }

    void passwordChecks_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<int>("message");  // 0: go accepted
        QTest::addColumn<QString>("focus");
        QTest::newRow("empty") << 1 << ""
                               << "" << 57345 << QString::number(O::IDC_EDIT_PASSWORD);
        QTest::newRow("5 characters") << 1 << "abcde"
                                      << "abcde" << 104 << QString::number(O::IDC_EDIT_PASSWORD);
        QTest::newRow("6 characters") << 1 << "abcdef"
                                      << "abcdef" << 0 << "";
        QTest::newRow("32 characters") << 1 << QString(32, QLatin1Char('k')) << QString(32, QLatin1Char('k')) << 0
                                       << "";
        QTest::newRow("33 characters") << 1 << QString(33, QLatin1Char('k')) << QString(33, QLatin1Char('k')) << 104
                                       << QString::number(O::IDC_EDIT_PASSWORD);
        QTest::newRow("case differs") << 1 << "Secret1"
                                      << "secret1" << 128 << QString::number(O::IDC_EDIT_CONFIRM);
        QTest::newRow("master with empty field") << 0 << ""
                                                 << "" << 0 << "";
    }
    void passwordChecks()
    {
        QFETCH(int, type);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(int, message);
        QFETCH(QString, focus);
        // A wipe-free run over no items: the flow runs with nothing to do.
        auto pPage = Make();
        Click(pPage.get(), type == 1 ? O::IDC_RADIO_OWN : O::IDC_RADIO_MASTER);
        W<QLineEdit>(pPage.get(), O::IDC_EDIT_PASSWORD)->setText(password);
        W<QLineEdit>(pPage.get(), O::IDC_EDIT_CONFIRM)->setText(confirm);
        const bool bRan = pPage->OnBnClickedGo();
        if (message == 0) {
            QVERIFY(bRan);
            QVERIFY(m_rig->answers.m_messages.empty());
            QCOMPARE(m_rig->mngr.m_iPasswordType, type);
            QVERIFY(m_rig->mngr.m_strPassword.empty());  // not kept after the run
        } else {
            QVERIFY(!bRan);
            QCOMPARE(m_rig->answers.m_messages, (std::vector<unsigned>{static_cast<unsigned>(message)}));
            QVERIFY(pPage->focusWidget() != nullptr);
            QCOMPARE(pPage->focusWidget()->objectName(), focus);
            QCOMPARE(m_rig->host.m_nRuns, 0);
            QCOMPARE(m_rig->mngr.m_iPasswordType, 0);  // nothing written to the manager
        }
    }
};

QTEST_MAIN(TestPageOptions)
#include "test_page_options.moc"
