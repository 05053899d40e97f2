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
    explicit CDlg_AfxMsgBoxEx(QWidget* pParent = nullptr);

    void SetMessageText(const QString& strText);
    [[nodiscard]] QString GetMessageText() const;
    [[nodiscard]] bool GetApplyToAll() const;

private:
    QLabel* m_pText = nullptr;
    QCheckBox* m_pApplyAll = nullptr;
};
