#pragma once

#include "engines/CSecureBuffer.h"
#include "ui/CHPageDlg.h"

#include <QString>

class CBCGButton;
class CDataSecurityMngr;
class CGradientProgressCtrl;
class CHalvoDataSecurityDlg;
class CPPHtmlStatic;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// The second step of Secure Data (page 135): encrypt or not, with the master password or an own
// password, and what happens to the sources afterwards (nothing, hide, wipe), with a summary of
// the chosen combination. Go checks the password and runs the manager's SecureData.
class CHDPageSecurityOptions : public CHPageDlg
{
    Q_OBJECT

public:
    static constexpr int kPageId = 135;
    static constexpr int IDC_CHECK_ENCRYPT = 4037;
    static constexpr int IDC_RADIO_MASTER = 4043;
    static constexpr int IDC_RADIO_OWN = 4039;
    static constexpr int IDC_RADIO_NOTHING = 4042;
    static constexpr int IDC_RADIO_HIDE = 4040;
    static constexpr int IDC_RADIO_WIPE = 4041;
    static constexpr int IDC_EDIT_PASSWORD = 4033;
    static constexpr int IDC_EDIT_CONFIRM = 4035;
    static constexpr int IDC_STATIC_CONFIRM = 4044;
    static constexpr int IDC_STATIC_STRENGTH = 4101;
    static constexpr int IDC_STRENGTH_BAR = 4057;
    static constexpr int IDC_STRENGTH_LABEL = 4058;
    static constexpr int IDC_SUMMARY = 1020;
    static constexpr int IDC_BUTTON_ENC_SETTINGS = 4046;
    static constexpr int IDC_BUTTON_WIPE_SETTINGS = 4047;
    static constexpr int IDC_BUTTON_GO = 4079;
    static constexpr int IDC_BUTTON_BACK = 1019;
    static constexpr int IDC_BUTTON_CANCEL = 1017;
    static constexpr int IDC_BUTTON_HELP = 1015;
    static constexpr int IDC_FRAME_SUMMARY = 4075;
    static constexpr const char* kStaticPasswordName = "static_password";  // the unnamed static
    static constexpr const char* kHelpTopic = "Secure_Data_main.htm";

    CHDPageSecurityOptions(CHalvoDataSecurityDlg& mainDlg, CDataSecurityMngr& mngr);
    ~CHDPageSecurityOptions() override;

    // The summary's markup for encrypt and action; false (text untouched) for any other pair.
    [[nodiscard]] static bool SummaryText(int bEncrypt, int iAction, QString& strText);

    bool OnSetActive() override;
    bool OnKillActive(int nNextPageId) override;

    // A click on one of the option buttons: controls into values, then UpdatePage.
    void OnOptionClicked();
    void OnPasswordChanged();
    void OnBnClickedEncSettings();
    void OnBnClickedWipeSettings();
    // The password checks, the options into the manager, SecureData. False when a check failed
    // (the flow did not run).
    bool OnBnClickedGo();
    void OnBnClickedBack();
    void OnBnClickedCancel();
    void OnBnClickedHelp();
    void UpdatePage();

    // The edited values.
    int m_bEncrypt = 1;
    int m_iPasswordType = 0;
    int m_iAction = 0;
    CSecureBuffer m_strPassword;  // UTF-16 code units; the line edits are the only text copies
    CSecureBuffer m_strConfirm;
    QString m_strSummary;

protected:
    bool OnInitDialog() override;
    void OnDestroyPage() override;
    bool DoDataExchange(bool bSaveAndValidate) override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    void ShowStrength();

    CHalvoDataSecurityDlg& m_mainDlg;
    CDataSecurityMngr& m_mngr;
    QCheckBox* m_pEncrypt = nullptr;
    QRadioButton* m_pMaster = nullptr;
    QRadioButton* m_pOwn = nullptr;
    QRadioButton* m_pNothing = nullptr;
    QRadioButton* m_pHide = nullptr;
    QRadioButton* m_pWipe = nullptr;
    QButtonGroup* m_pPasswordGroup = nullptr;
    QButtonGroup* m_pActionGroup = nullptr;
    QLineEdit* m_pPassword = nullptr;
    QLineEdit* m_pConfirm = nullptr;
    QLabel* m_pStaticPassword = nullptr;
    QLabel* m_pStaticConfirm = nullptr;
    QLabel* m_pStaticStrength = nullptr;
    CGradientProgressCtrl* m_pStrengthBar = nullptr;
    QLabel* m_pStrengthLabel = nullptr;
    CPPHtmlStatic* m_pSummary = nullptr;
    QWidget* m_pFrame = nullptr;
    CBCGButton* m_pEncSettings = nullptr;
    CBCGButton* m_pWipeSettings = nullptr;
    CBCGButton* m_pGo = nullptr;
    bool m_bHideLocked = false;
};
