#include "ui/CHGroup.h"

CHGroup::CHGroup(QWidget* pParent)
    : CHGroup(QString(), pParent)
{
}

CHGroup::CHGroup(const QString& strTitle, QWidget* pParent)
    : QGroupBox(strTitle, pParent)
{
    setObjectName(QStringLiteral("CHGroup"));
}

void CHGroup::SetBackgroundColor(const QColor& clr)
{
    m_clrBk = clr;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, clr);
    setPalette(pal);
    setAutoFillBackground(clr.isValid());
    update();
}
