#include "passwords/CDlg_AfxMsgBoxEx.h"

#include "passwords/CGuiMessageBox.h"
#include "resources/HVResourceStrings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CDlg_AfxMsgBoxEx::CDlg_AfxMsgBoxEx(QWidget* pParent)
    : QDialog(pParent)
{
    setObjectName(QStringLiteral("CDlg_AfxMsgBoxEx"));
    setWindowTitle(CGuiMessageBox::Caption());

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(16, 16, 16, 12);
    pLayout->setSpacing(12);

    auto* pRow = new QHBoxLayout;
    pRow->setSpacing(14);
    auto* pIcon = new QLabel(this);
    const int nIcon = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    pIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(nIcon, nIcon));
    pIcon->setAlignment(Qt::AlignTop);
    pRow->addWidget(pIcon, 0, Qt::AlignTop);
    m_pText = new QLabel(this);
    m_pText->setObjectName(QString::number(IDC_TEXT));
    m_pText->setWordWrap(true);
    m_pText->setMinimumWidth(320);
    m_pText->setTextFormat(Qt::PlainText);
    pRow->addWidget(m_pText, 1);
    pLayout->addLayout(pRow);

    m_pApplyAll = new QCheckBox(HVLoadString(IDS_MSGBOX_APPLY_ALL), this);
    m_pApplyAll->setObjectName(QString::number(IDC_CHECK_APPLY_ALL));
    m_pApplyAll->setChecked(false);
    pLayout->addWidget(m_pApplyAll);

    auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this);
    pButtons->button(QDialogButtonBox::Yes)->setObjectName(QString::number(IDYES));
    pButtons->button(QDialogButtonBox::No)->setObjectName(QString::number(IDNO));
    pButtons->button(QDialogButtonBox::Yes)->setDefault(true);
    connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(pButtons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    pLayout->addWidget(pButtons);
}

void CDlg_AfxMsgBoxEx::SetMessageText(const QString& strText)
{
    m_pText->setText(strText);
    adjustSize();
}

QString CDlg_AfxMsgBoxEx::GetMessageText() const
{
    return m_pText->text();
}

bool CDlg_AfxMsgBoxEx::GetApplyToAll() const
{
    return m_pApplyAll->isChecked();
}
