// The preferences dialog: every control shows its setting, OK stores the created pages and
// saves, Cancel stores nothing, Default and All Defaults reset exactly their pages, the enabling
// rules, the 128-bit refusal, and the extension's registration run only when its switch changed.
#include "passwords/CGuiMessageBox.h"
#include "prefs/CPrefPageContextMenu.h"
#include "prefs/CPrefPageEncrypt.h"
#include "prefs/CPrefPageGeneral.h"
#include "prefs/CPrefPageWipe.h"
#include "prefs/CPreferencesDlg.h"
#include "resources/HVStringIds.h"
#include "settings/CHDGlobalData.h"
#include "settings/CMRegistryData.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CItemsTreeWnd.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "support/Controls.h"
#include "support/TempHome.h"
using namespace HVDialogs::HVPref;

namespace {

std::vector<unsigned> g_messages;
QMessageBox::StandardButton g_answer = QMessageBox::Yes;
QStringList g_helpTopics;
struct SRun
{
    QString strProgram;
    QStringList lstArgs;
    int nStoredShell = -1;  // ShlEnableShell in the settings file when the tool ran
};
std::vector<SRun> g_runs;
int g_nRunExit = 0;  // what the recorded registration tool answers

// Every value by name (the two paths left out).
std::map<QString, QString> Snapshot(const CMRegistryData& reg)
{
    std::map<QString, QString> values;
    for (const CMRegistryData::CValueInfo& info : CMRegistryData::Values()) {
        if (info.bPath) {
            continue;
        }
        const QString strName = QString::fromLatin1(info.pszName);
        values[strName] = info.pnField != nullptr ? QString::number(*reg.GetInt(strName)) : *reg.GetString(strName);
    }
    return values;
}

// A set where every value of the four pages differs from its default.
void SetNonDefaults(CMRegistryData& reg)
{
    reg.m_nActionHidden = 2;
    reg.m_nActionReadOnly = 0;
    reg.m_nActionSystem = 1;
    reg.m_nEnableAdvLog = 1;
    reg.m_nResolveLinks = 1;
    reg.m_nWindowPosition = 0;
    reg.m_nAESType = 1;
    reg.m_nWipeType = 1;
    reg.m_nDodPass3Type = 1;
    reg.m_strDoDPass3 = QStringLiteral("5C");
    reg.m_nShlEnableShell = 0;
    reg.m_nShlEnableWipe = 1;
    reg.m_nShlPasswordType = 0;
    reg.m_nShlAskMaster = 0;
}

template <typename T>
T* Control(QWidget* pPage, int nId)
{
    T* pControl = hvtest::Control<T>(pPage, nId);
    if (pControl == nullptr) {
        qFatal("control %d missing", nId);
    }
    return pControl;
}

}  // namespace

class TestPrefs : public QObject
{
    Q_OBJECT

public slots:
    void OpenUrl(const QUrl& url) { m_openedUrls << url; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.IsValid());
        const QString strRoot = m_home.Root();
        hvtest::SetEnv("XDG_CONFIG_DIRS", strRoot + QStringLiteral("/etc/xdg"));
        hvtest::SetEnv("HV_SYSTEM_CONFIG_DIR", strRoot + QStringLiteral("/etc/xdg"));

        CGuiMessageBox::SetHook([](QWidget*, unsigned nId, const QString&, QMessageBox::StandardButtons buttons) {
            g_messages.push_back(nId);
            return buttons.testFlag(QMessageBox::Yes) ? g_answer : QMessageBox::Ok;
        });
        CGuiMessageBox::SetHelpHook([](const QString& strTopic) {
            g_helpTopics << strTopic;
            return true;
        });
        CPreferencesDlg::SetRegistrationRunner(
            [](const QString& strProgram, const QStringList& lstArgs, QString& strOutput) {
                CMRegistryData stored;
                g_runs.push_back({strProgram, lstArgs, stored.LoadOrCreate() ? stored.m_nShlEnableShell : -1});
                strOutput = g_nRunExit == 0 ? QString() : QStringLiteral("tool: access denied");
                return g_nRunExit;
            });
        QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    // A fresh settings key with defaults for every test, and nothing recorded.
    void init()
    {
        QFile::remove(ConfigFile());
        m_reg = std::make_unique<CMRegistryData>();
        m_reg->m_strModulePath = QStringLiteral("/opt/Halvo Norvane");
        m_reg->m_strModuleEXEPath = QStringLiteral("/opt/Halvo Norvane/HalvoNorvane");
        QVERIFY(m_reg->LoadOrCreate());
        QVERIFY(QFile::exists(ConfigFile()));
        g_messages.clear();
        g_helpTopics.clear();
        g_runs.clear();
        g_answer = QMessageBox::Yes;
        m_openedUrls.clear();
    }

    void everyControlShowsItsSetting()
    {
        SetNonDefaults(*m_reg);
        auto pDlg = Open(0);
        QWidget* pGeneral = ShowPage(*pDlg, CPreferencesDlg::PageGeneral);
        QCOMPARE(Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_HIDDEN)->currentIndex(), 2);
        QCOMPARE(Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_READONLY)->currentIndex(), 0);
        QCOMPARE(Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_SYSTEM)->currentIndex(), 1);
        QVERIFY(Control<QCheckBox>(pGeneral, CPref_General::IDC_CHECK_ADVLOG)->isChecked());
        QVERIFY(Control<QCheckBox>(pGeneral, CPref_General::IDC_CHECK_RESOLVE_LINKS)->isChecked());
        QWidget* pEncrypt = ShowPage(*pDlg, CPreferencesDlg::PageEncrypt);
        QVERIFY(Control<QRadioButton>(pEncrypt, CPref_Encrypt::IDC_RADIO_AES192)->isChecked());
        QWidget* pWipe = ShowPage(*pDlg, CPreferencesDlg::PageWipe);
        QVERIFY(Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD1)->isChecked());
        QVERIFY(Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_PATTERN)->isChecked());
        QCOMPARE(Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN)->text(), QStringLiteral("5C"));
        QCOMPARE(Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN)->maxLength(), 2);
        QWidget* pShell = ShowPage(*pDlg, CPreferencesDlg::PageContextMenu);
        QVERIFY(!Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_SHELL)->isChecked());
        QVERIFY(Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_WIPE)->isChecked());
        QVERIFY(!Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_MASTER)->isChecked());
        QVERIFY(!Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_ASK_MASTER)->isChecked());
    }

    void okStoresEveryPageAndSaves()
    {
        auto pDlg = Open(0);
        QWidget* pGeneral = ShowPage(*pDlg, CPreferencesDlg::PageGeneral);
        Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_HIDDEN)->setCurrentIndex(1);
        Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_READONLY)->setCurrentIndex(2);
        Control<QComboBox>(pGeneral, CPref_General::IDC_COMBO_SYSTEM)->setCurrentIndex(2);
        Control<QCheckBox>(pGeneral, CPref_General::IDC_CHECK_ADVLOG)->click();
        Control<QCheckBox>(pGeneral, CPref_General::IDC_CHECK_RESOLVE_LINKS)->click();
        Control<QRadioButton>(ShowPage(*pDlg, CPreferencesDlg::PageEncrypt), CPref_Encrypt::IDC_RADIO_AES128)->click();
        QWidget* pWipe = ShowPage(*pDlg, CPreferencesDlg::PageWipe);
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD1)->click();
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_PATTERN)->click();
        Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN)->setText(QStringLiteral("0F"));
        QWidget* pShell = ShowPage(*pDlg, CPreferencesDlg::PageContextMenu);
        Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_WIPE)->click();

        QVERIFY(PressOk(*pDlg));
        QVERIFY(g_messages.empty());
        CMRegistryData stored;
        QVERIFY(stored.LoadOrCreate());
        QCOMPARE(stored.m_nActionHidden, 1);
        QCOMPARE(stored.m_nActionReadOnly, 2);
        QCOMPARE(stored.m_nActionSystem, 2);
        QCOMPARE(stored.m_nEnableAdvLog, 1);
        QCOMPARE(stored.m_nResolveLinks, 1);
        QCOMPARE(stored.m_nAESType, 0);
        QCOMPARE(stored.m_nWipeType, 1);
        QCOMPARE(stored.m_nDodPass3Type, 1);
        QCOMPARE(stored.m_strDoDPass3, QStringLiteral("0F"));
        QCOMPARE(stored.m_nShlEnableShell, 1);
        QCOMPARE(stored.m_nShlEnableWipe, 1);
        QCOMPARE(stored.m_nShlPasswordType, 1);
        QCOMPARE(stored.m_nShlAskMaster, 1);
        // The menus, which carry the wipe entries, are written again.
        QCOMPARE(g_runs.size(), size_t(1));
        QVERIFY(!g_runs[0].lstArgs.contains(QStringLiteral("/u")));
    }

    // Pages never shown are not read: values changed elsewhere meanwhile stay.
    void okSkipsPagesNotCreated()
    {
        auto pDlg = Open(CPreferencesDlg::PageGeneral);
        QVERIFY(!pDlg->Pages()->IsPageCreated(CPreferencesDlg::PageEncrypt));
        m_reg->m_nAESType = 1;
        m_reg->m_nWipeType = 2;
        QVERIFY(PressOk(*pDlg));
        CMRegistryData stored;
        QVERIFY(stored.LoadOrCreate());
        QCOMPARE(stored.m_nAESType, 1);
        QCOMPARE(stored.m_nWipeType, 2);
    }

    void cancelStoresNothing()
    {
        const QByteArray before = ReadConfig();
        const auto values = Snapshot(*m_reg);
        auto pDlg = Open(0);
        Control<QCheckBox>(ShowPage(*pDlg, 0), CPref_General::IDC_CHECK_ADVLOG)->click();
        Control<QRadioButton>(ShowPage(*pDlg, 1), CPref_Encrypt::IDC_RADIO_AES128)->click();
        Control<QRadioButton>(ShowPage(*pDlg, 2), CPref_Wipe::IDC_RADIO_METHOD2)->click();
        Control<QCheckBox>(ShowPage(*pDlg, 3), CPref_ContextMenu::IDC_CHECK_SHELL)->click();
        pDlg->reject();
        QCOMPARE(pDlg->result(), int(QDialog::Rejected));
        QVERIFY(Snapshot(*m_reg) == values);
        QCOMPARE(ReadConfig(), before);
        QVERIFY(g_runs.empty());
    }

    void defaultResetsOnlyThatPage_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("general")
            << 0
            << QStringList{
                   "EnableAdvLog", "ResolveLinks", "ActionHidden", "ActionReadOnly", "ActionSystem", "WindowPosition"};
        QTest::newRow("encryption") << 1 << QStringList{"AESType"};
        QTest::newRow("wipe") << 2 << QStringList{"WipeType", "DodPass3Type", "DoDPass3"};
        QTest::newRow("context menu") << 3
                                      << QStringList{
                                             "ShlEnableShell", "ShlEnableWipe", "ShlPasswordType", "ShlAskMaster"};
    }
    void defaultResetsOnlyThatPage()
    {
        QFETCH(int, page);
        QFETCH(QStringList, names);
        SetNonDefaults(*m_reg);
        const auto changed = Snapshot(*m_reg);
        CMRegistryData fresh;
        fresh.SetDefaults();
        const auto defaults = Snapshot(fresh);

        auto pDlg = Open(0);
        for (int i = 0; i < 4; ++i) {
            ShowPage(*pDlg, i);  // every page built: Default still touches only the one shown
        }
        ShowPage(*pDlg, page);
        Button(*pDlg, "btnDefault")->click();
        const auto after = Snapshot(*m_reg);
        for (const auto& [strName, strValue] : after) {
            const bool bReset = names.contains(strName);
            QVERIFY2(strValue == (bReset ? defaults.at(strName) : changed.at(strName)), qPrintable(strName));
        }
        // The controls follow at once.
        pDlg->accept();
        QVERIFY(Snapshot(*m_reg) == after);
    }

    // The controls show the defaults at once; they live in the settings object, and Cancel does
    // not bring the old values back (nor saves them).
    void defaultShowsDefaultsAndCancelKeepsThem()
    {
        SetNonDefaults(*m_reg);
        const QByteArray before = ReadConfig();
        auto pDlg = Open(CPreferencesDlg::PageWipe);
        QWidget* pWipe = pDlg->Page(CPreferencesDlg::PageWipe);
        Button(*pDlg, "btnDefault")->click();
        QVERIFY(Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD0)->isChecked());
        QVERIFY(Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_RANDOM)->isChecked());
        QCOMPARE(Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN)->text(), QStringLiteral("AA"));
        QVERIFY(!Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_RANDOM)->isEnabled());
        QVERIFY(!Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN)->isEnabled());
        ShowPage(*pDlg, CPreferencesDlg::PageContextMenu);
        Button(*pDlg, "btnDefault")->click();
        pDlg->reject();
        QCOMPARE(m_reg->m_nWipeType, 0);
        QCOMPARE(m_reg->m_strDoDPass3, QStringLiteral("AA"));
        QCOMPARE(m_reg->m_nShlEnableShell, 1);
        QCOMPARE(m_reg->m_nShlEnableWipe, 0);
        QCOMPARE(m_reg->m_nShlPasswordType, 1);
        QCOMPARE(m_reg->m_nShlAskMaster, 1);
        QCOMPARE(ReadConfig(), before);  // not saved
        QVERIFY(g_runs.empty());
    }

    void allDefaultsAsksAndResetsCreatedPages()
    {
        SetNonDefaults(*m_reg);
        const auto changed = Snapshot(*m_reg);
        auto pDlg = Open(CPreferencesDlg::PageGeneral);
        ShowPage(*pDlg, CPreferencesDlg::PageWipe);  // encryption and context menu never built

        g_answer = QMessageBox::No;
        Button(*pDlg, "btnAllDefaults")->click();
        QCOMPARE(g_messages, std::vector<unsigned>{IDS_ASK_RESTORE_ALL});
        QVERIFY(Snapshot(*m_reg) == changed);

        g_answer = QMessageBox::Yes;
        Button(*pDlg, "btnAllDefaults")->click();
        QCOMPARE(m_reg->m_nEnableAdvLog, 0);
        QCOMPARE(m_reg->m_nActionReadOnly, 1);
        QCOMPARE(m_reg->m_nWindowPosition, 1);
        QCOMPARE(m_reg->m_nWipeType, 0);
        QCOMPARE(m_reg->m_strDoDPass3, QStringLiteral("AA"));
        QCOMPARE(m_reg->m_nAESType, 1);         // page not created
        QCOMPARE(m_reg->m_nShlEnableShell, 0);  // page not created
    }

    void wipeEnablingRules()
    {
        auto pDlg = Open(CPreferencesDlg::PageWipe);
        QWidget* pWipe = pDlg->Page(CPreferencesDlg::PageWipe);
        auto* pRandom = Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_RANDOM);
        auto* pPattern = Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_PATTERN);
        auto* pEdit = Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN);
        QVERIFY(!pRandom->isEnabled() && !pPattern->isEnabled() && !pEdit->isEnabled());  // method 0
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD1)->click();
        QVERIFY(pRandom->isEnabled() && pPattern->isEnabled() && !pEdit->isEnabled());
        pPattern->click();
        QVERIFY(pEdit->isEnabled());
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD2)->click();
        QVERIFY(!pRandom->isEnabled() && !pPattern->isEnabled() && !pEdit->isEnabled());
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD1)->click();
        QVERIFY(pEdit->isEnabled());
        pRandom->click();
        QVERIFY(!pEdit->isEnabled());
    }

    // The wipe engine needs a whole byte: an empty pattern is stored as the default, one digit
    // gets a leading zero; lower-case typing comes out upper-case.
    void wipePatternStored_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::newRow("empty") << QString() << QStringLiteral("AA");
        QTest::newRow("one digit") << QStringLiteral("7") << QStringLiteral("07");
        QTest::newRow("two digits") << QStringLiteral("e3") << QStringLiteral("E3");
        QTest::newRow("three digits") << QStringLiteral("123") << QStringLiteral("12");
    }
    void wipePatternStored()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        auto pDlg = Open(CPreferencesDlg::PageWipe);
        QWidget* pWipe = pDlg->Page(CPreferencesDlg::PageWipe);
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_METHOD1)->click();
        Control<QRadioButton>(pWipe, CPref_Wipe::IDC_RADIO_PASS3_PATTERN)->click();
        auto* pEdit = Control<QLineEdit>(pWipe, CPref_Wipe::IDC_EDIT_PATTERN);
        pEdit->clear();
        pEdit->setFocus();
        QTest::keyClicks(pEdit, typed);
        QVERIFY(PressOk(*pDlg));
        QCOMPARE(m_reg->m_strDoDPass3, stored);
    }

    void contextMenuEnablingRules()
    {
        auto pDlg = Open(CPreferencesDlg::PageContextMenu);
        QWidget* pShell = pDlg->Page(CPreferencesDlg::PageContextMenu);
        auto* pEnable = Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_SHELL);
        auto* pWipe = Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_WIPE);
        auto* pMaster = Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_MASTER);
        auto* pAsk = Control<QCheckBox>(pShell, CPref_ContextMenu::IDC_CHECK_ASK_MASTER);
        QVERIFY(pWipe->isEnabled() && pMaster->isEnabled() && pAsk->isEnabled());
        QVERIFY(pMaster->isChecked());
        pAsk->click();  // cleared: "use the master password" cleared and off
        QVERIFY(!pMaster->isChecked() && !pMaster->isEnabled());
        pAsk->click();
        QVERIFY(pMaster->isEnabled() && !pMaster->isChecked());
        pEnable->click();  // extension off: the rest off
        QVERIFY(!pWipe->isEnabled() && !pMaster->isEnabled() && !pAsk->isEnabled());
        pEnable->click();
        QVERIFY(pWipe->isEnabled() && pMaster->isEnabled() && pAsk->isEnabled());
        pAsk->click();
        QVERIFY(PressOk(*pDlg));
        QCOMPARE(m_reg->m_nShlAskMaster, 0);
        QCOMPARE(m_reg->m_nShlPasswordType, 0);
    }

    void aes128AgainstMasterPassword_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("stored");
        QTest::newRow("none") << 0 << true;
        QTest::newRow("15 characters") << 15 << true;
        QTest::newRow("16 characters") << 16 << false;
        QTest::newRow("32 characters") << 32 << false;
    }
    void aes128AgainstMasterPassword()
    {
        QFETCH(int, length);
        QFETCH(bool, stored);
        const QByteArray before = ReadConfig();
        auto pDlg = Open(CPreferencesDlg::PageGeneral);
        pDlg->SetMasterPasswordLength([length] { return qsizetype(length); });
        Control<QCheckBox>(pDlg->Page(0), CPref_General::IDC_CHECK_ADVLOG)->click();
        Control<QRadioButton>(ShowPage(*pDlg, 1), CPref_Encrypt::IDC_RADIO_AES128)->click();
        QCOMPARE(PressOk(*pDlg), stored);
        if (stored) {
            QVERIFY(g_messages.empty());
            QCOMPARE(m_reg->m_nAESType, 0);
            QCOMPARE(m_reg->m_nEnableAdvLog, 1);
        } else {
            QCOMPARE(g_messages, std::vector<unsigned>{IDS_PASSWORD_LENGTH_128});
            QVERIFY(pDlg->isVisible());
            QCOMPARE(m_reg->m_nAESType, 2);  // nothing stored, not even the other pages
            QCOMPARE(m_reg->m_nEnableAdvLog, 0);
            QCOMPARE(ReadConfig(), before);
            // Any other length keeps working.
            Control<QRadioButton>(pDlg->Page(1), CPref_Encrypt::IDC_RADIO_AES192)->click();
            QVERIFY(PressOk(*pDlg));
            QCOMPARE(m_reg->m_nAESType, 1);
        }
    }

    void registrationFollowsTheSwitch_data()
    {
        QTest::addColumn<int>("atOpen");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("exit");
        QTest::addColumn<QStringList>("args");  // empty: no run
        const QString strLib = QStringLiteral("/opt/Halvo Norvane/libHVExt.so");
        QTest::newRow("on to off") << 1 << 1 << 0 << QStringList{strLib, "/u"};
        QTest::newRow("off to on") << 0 << 1 << 0 << QStringList{strLib};
        QTest::newRow("on, off and on again") << 1 << 2 << 0 << QStringList{strLib};
        QTest::newRow("on, untouched: missing menus come back") << 1 << 0 << 0 << QStringList{strLib};
        QTest::newRow("off, untouched") << 0 << 0 << 0 << QStringList{};
        QTest::newRow("registration fails") << 0 << 1 << 5 << QStringList{strLib};
        QTest::newRow("removal fails") << 1 << 1 << 5 << QStringList{strLib, "/u"};
    }
    void registrationFollowsTheSwitch()
    {
        QFETCH(int, atOpen);
        QFETCH(int, clicks);
        QFETCH(int, exit);
        QFETCH(QStringList, args);
        m_reg->m_nShlEnableShell = atOpen;
        g_nRunExit = exit;
        auto pDlg = Open(CPreferencesDlg::PageContextMenu);
        auto* pEnable = Control<QCheckBox>(pDlg->Page(3), CPref_ContextMenu::IDC_CHECK_SHELL);
        for (int i = 0; i < clicks; ++i) {
            pEnable->click();
        }
        QVERIFY(PressOk(*pDlg));
        g_nRunExit = 0;
        if (args.isEmpty()) {
            QVERIFY(g_runs.empty());
        } else {
            QCOMPARE(g_runs.size(), size_t(1));
            QCOMPARE(g_runs[0].strProgram, QStringLiteral("/opt/Halvo Norvane/hvregsvr"));
            QCOMPARE(g_runs[0].lstArgs, args);
            // The tool reads the settings: they were saved before it ran.
            QCOMPARE(g_runs[0].nStoredShell, args.contains(QStringLiteral("/u")) ? 0 : 1);
        }
        // A failure is shown, never passed over; the choice is stored all the same.
        QCOMPARE(g_messages.size(), size_t(exit != 0 ? 1 : 0));
        const int nShell = clicks % 2 == 1 ? 1 - atOpen : atOpen;
        QCOMPARE(m_reg->m_nShlEnableShell, nShell);
    }

    void startPageAndTree()
    {
        auto pDlg = Open(CPreferencesDlg::PageWipe);
        QCOMPARE(pDlg->Pages()->GetCurrentPageDlg(), CPref_Wipe::kPageId);
        QVERIFY(!pDlg->Pages()->IsPageCreated(CPreferencesDlg::PageGeneral));
        CItemsTreeWnd* pTree = pDlg->Tree();
        QCOMPARE(pTree->topLevelItemCount(), 4);
        const int pageIds[] = {
            CPref_General::kPageId, CPref_Encrypt::kPageId, CPref_Wipe::kPageId, CPref_ContextMenu::kPageId};
        for (int i : {3, 1, 0, 2}) {  // the tree switches the pages
            QCOMPARE(pTree->GetItemData(i), i);
            QCOMPARE(pDlg->Pages()->PageIndex(pageIds[i]), i);
            pTree->setCurrentItem(pTree->topLevelItem(i));
            QCOMPARE(pDlg->Pages()->GetCurrentPageDlg(), pageIds[i]);
        }
    }

    void helpTopicsAndLogFolder()
    {
        auto pDlg = Open(CPreferencesDlg::PageGeneral);
        Button(*pDlg, "IDHELP")->click();
        QTest::keyClick(pDlg.get(), Qt::Key_F1);
        Control<QAbstractButton>(ShowPage(*pDlg, 1), CPref_Encrypt::IDC_BUTTON_HELP)->click();
        QCOMPARE(g_helpTopics,
                 QStringList({"General_Preferences.htm",
                              "General_Preferences.htm",
                              "Encryption_and_Decryption_of_Files_and_Folders.htm"}));
        QVERIFY(pDlg->isVisible());

        g_HDGlobalData.m_strUserDataFolder = m_home.Root() + QStringLiteral("/Logs");
        Control<QAbstractButton>(pDlg->Page(0), CPref_General::IDC_BUTTON_LOG_FOLDER)->click();
        QCOMPARE(m_openedUrls, QList<QUrl>{QUrl::fromLocalFile(m_home.Root() + QStringLiteral("/Logs"))});
    }

private:
    QString ConfigFile() const { return m_home.ConfigHome() + QStringLiteral("/Halvo-Soft/HalvoNorvane.conf"); }
    QByteArray ReadConfig() const { return hvtest::ReadFile(ConfigFile()); }

    std::unique_ptr<CPreferencesDlg> Open(int nStartPage)
    {
        auto pDlg = std::make_unique<CPreferencesDlg>(nullptr, nullptr, m_reg.get());
        pDlg->SetStartPage(nStartPage);
        pDlg->show();
        return pDlg;
    }
    static QWidget* ShowPage(CPreferencesDlg& dlg, int nIndex)
    {
        dlg.Tree()->setCurrentItem(dlg.Tree()->topLevelItem(nIndex));
        if (dlg.Pages()->GetActiveIndex() != nIndex) {
            dlg.Pages()->SetPage(nIndex);
        }
        return dlg.Page(nIndex);
    }
    static QAbstractButton* Button(CPreferencesDlg& dlg, const char* pszName)
    {
        auto* pButton = dlg.findChild<QPushButton*>(QString::fromLatin1(pszName));
        if (pButton == nullptr) {
            qFatal("button %s missing", pszName);
        }
        return pButton;
    }
    // OK pressed: true when the dialog closed with OK.
    static bool PressOk(CPreferencesDlg& dlg)
    {
        g_messages.clear();
        Button(dlg, "IDOK")->click();
        return !dlg.isVisible() && dlg.result() == QDialog::Accepted;
    }

    hvtest::CTempHome m_home;
    std::unique_ptr<CMRegistryData> m_reg;
    QList<QUrl> m_openedUrls;
};

QTEST_MAIN(TestPrefs)
#include "test_prefs.moc"
