#include "security/CGuiProgressLayout.h"

#include "passwords/CGuiDialogHeader.h"
#include "ui/CHProgressCtrlX.h"
#include "ui/HVUiTheme.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QVBoxLayout* CGuiProgressLayout::Begin(QDialog* pDialog, const QString& strTitle)
{
    pDialog->setWindowTitle(strTitle);
    QVBoxLayout* pBody = nullptr;
    CGuiDialogHeader::FrameDialog(pDialog, strTitle, 8, pBody);
    pDialog->setMinimumWidth(460);
    return pBody;
}

QLabel* CGuiProgressLayout::AddStatus(QDialog* pDialog, QVBoxLayout* pBody)
{
    auto* pStatus = new QLabel(pDialog);
    pStatus->setObjectName(QStringLiteral("1016"));
    pStatus->setTextFormat(Qt::PlainText);
    pStatus->setMinimumWidth(420);
    // Long paths are elided by the caller's text; keep the line from growing the dialog.
    pStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    pStatus->setMinimumHeight(pStatus->fontMetrics().height() * 2 + 4);
    pStatus->setWordWrap(true);
    pStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    pBody->addWidget(pStatus);
    return pStatus;
}

CHProgressCtrlX* CGuiProgressLayout::AddBar(QDialog* pDialog, QVBoxLayout* pBody, int nId, const QString& strCaption)
{
    auto* pRow = new QHBoxLayout;
    auto* pCaption = new QLabel(strCaption, pDialog);
    pCaption->setMinimumWidth(90);
    auto* pBar = new CHProgressCtrlX(pDialog);
    pBar->setObjectName(QString::number(nId));
    pBar->SetRange(0, 100);
    pBar->SetPos(0);
    pBar->SetShowPercent(true);
    pBar->setFixedHeight(18);
    pBar->SetGradientColors(HVUi::ThemeColor(QStringLiteral("clrProgressGrad1"), QColor(0x4a, 0x7d, 0xc0)),
                            HVUi::ThemeColor(QStringLiteral("clrProgressGrad2"), QColor(0x7f, 0xc8, 0x8c)));
    pBar->SetTextColor(HVUi::ThemeColor(QStringLiteral("clrProgressText"), QColor(0x20, 0x20, 0x20)));
    pRow->addWidget(pCaption);
    pRow->addWidget(pBar, 1);
    pBody->addLayout(pRow);
    return pBar;
}

QPushButton* CGuiProgressLayout::AddButton(QDialog* pDialog, QVBoxLayout* pBody, const QString& strText)
{
    auto* pRow = new QHBoxLayout;
    pRow->addStretch(1);
    auto* pButton = new QPushButton(strText, pDialog);
    pButton->setObjectName(QStringLiteral("2"));
    pButton->setMinimumWidth(90);
    pRow->addWidget(pButton);
    pBody->addSpacing(4);
    pBody->addLayout(pRow);
    return pButton;
}

void CGuiProgressLayout::ApplyColors(QDialog* pDialog)
{
    QPalette pal = pDialog->palette();
    pal.setColor(QPalette::Window, HVUi::ThemeColor(QStringLiteral("clrDlgBk"), pal.window().color()));
    pal.setColor(QPalette::WindowText, HVUi::ThemeColor(QStringLiteral("clrDlgText"), pal.windowText().color()));
    pDialog->setPalette(pal);
    pDialog->setAutoFillBackground(true);
}

void CGuiProgressLayout::SetTitle(QDialog* pDialog, const QString& strTitle)
{
    pDialog->setWindowTitle(strTitle);
    if (auto* pHeader = pDialog->findChild<CGuiDialogHeader*>(QString(), Qt::FindDirectChildrenOnly)) {
        pHeader->SetTitle(strTitle);
    }
}
