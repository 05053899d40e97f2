#include "passwords/CGuiDialogHeader.h"

#include "ui/HVUiTheme.h"

#include <QLinearGradient>
#include <QPainter>

CGuiDialogHeader::CGuiDialogHeader(const QString& strTitle, QWidget* pParent)
    : QWidget(pParent)
    , m_strTitle(strTitle)
{
    setObjectName(QStringLiteral("header"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CGuiDialogHeader::SetPicture(const QPixmap& picture)
{
    m_picture = picture;
    updateGeometry();
    update();
}

QSize CGuiDialogHeader::sizeHint() const
{
    const int nHeight = m_picture.isNull() ? 44 : qMax(44, qRound(m_picture.deviceIndependentSize().height()));
    return {320, nHeight};
}

QSize CGuiDialogHeader::minimumSizeHint() const
{
    return {120, sizeHint().height()};
}

void CGuiDialogHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect rc = rect();
    if (!m_picture.isNull() && !HVUi::AccessibilityMode()) {
        painter.fillRect(rc, HVUi::ThemeColor(QStringLiteral("clrDlgBk"), palette().window().color()));
        painter.drawPixmap(0, 0, m_picture);
    } else if (HVUi::AccessibilityMode()) {
        painter.fillRect(rc, palette().window());
    } else {
        QLinearGradient gradient(rc.topLeft(), rc.topRight());
        gradient.setColorAt(0.0, HVUi::ThemeColor(QStringLiteral("clrTitleGradiant1"), QColor(0x2f, 0x55, 0x8c)));
        gradient.setColorAt(1.0, HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), QColor(0x9c, 0xbf, 0xe6)));
        painter.fillRect(rc, gradient);
    }
    if (m_picture.isNull()) {
        QFont font = this->font();
        font.setBold(true);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(HVUi::AccessibilityMode() ? palette().windowText().color()
                                                 : HVUi::ThemeColor(QStringLiteral("clrTitleMainText"), Qt::white));
        painter.drawText(rc.adjusted(14, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, m_strTitle);
    }
    painter.setPen(HVUi::ThemeColor(QStringLiteral("clrTitleBorder"), QColor(0xc8, 0xc8, 0xc8)));
    painter.drawLine(rc.bottomLeft(), rc.bottomRight());
}
