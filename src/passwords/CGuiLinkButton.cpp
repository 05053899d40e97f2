#include "passwords/CGuiLinkButton.h"

#include "passwords/CGuiMessageBox.h"
#include "ui/CBCGButton.h"
#include "ui/CThemeDraw.h"

CBCGButton*
CGuiLinkButton::Make(QWidget* pParent, int nId, const QString& strText, int nImageIndex, const QString& strHelpTopic)
{
    auto* pButton = new CBCGButton(strText, pParent);
    pButton->setObjectName(QString::number(nId));
    StyleLinkButton(pButton, nImageIndex);
    QObject::connect(
        pButton, &CBCGButton::clicked, pButton, [strHelpTopic] { CGuiMessageBox::ShowHelp(strHelpTopic); });
    return pButton;
}
