#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

// A question with an apply-to-all check box (1019, starting cleared): Yes closes with OK, No
// with Cancel. The caller reads the result and the box's state, which counts on both buttons.
class CDlg_AfxMsgBoxEx : public QDialog
{
    Q_OBJECT

public:
    static constexpr int IDC_TEXT = 1020;
    static constexpr int IDC_CHECK_APPLY_ALL = 1019;
    static constexpr int IDYES = 1;
    static constexpr int IDNO = 2;

    explicit CDlg_AfxMsgBoxEx(QWidget* pParent = nullptr);

    void SetMessageText(const QString& strText);
    [[nodiscard]] QString GetMessageText() const;
    [[nodiscard]] bool GetApplyToAll() const;

private:
    QLabel* m_pText = nullptr;
    QCheckBox* m_pApplyAll = nullptr;
};
