#include "passwords/CGuiDialogHeader.h"

#include "ui/HVUiTheme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

CGuiDialogHeader::CGuiDialogHeader(const QString& strTitle, QWidget* pParent)
    : QWidget(pParent)
    , m_strTitle(strTitle)
{
    setObjectName(QStringLiteral("header"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CGuiDialogHeader*
CGuiDialogHeader::FrameDialog(QWidget* pDialog, const QString& strTitle, int nSpacing, QVBoxLayout*& pBody)
{
    auto* pOuter = new QVBoxLayout(pDialog);
    pOuter->setContentsMargins(0, 0, 0, 0);
    pOuter->setSpacing(0);
    auto* pHeader = new CGuiDialogHeader(strTitle, pDialog);
    pOuter->addWidget(pHeader);
    pBody = new QVBoxLayout;
    pBody->setContentsMargins(16, 12, 16, 12);
    pBody->setSpacing(nSpacing);
    pOuter->addLayout(pBody);
    return pHeader;
}

void CGuiDialogHeader::SetTitle(const QString& strTitle)
{
    m_strTitle = strTitle;
    setAccessibleName(strTitle);
    update();
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
        // The title text (clrTitleText) is dark: the band is the theme's light title gradient.
        gradient.setColorAt(0.0, HVUi::ThemeColor(QStringLiteral("clrTitleGradiant1"), QColor(0xe6, 0xee, 0xf9)));
        gradient.setColorAt(1.0, HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), QColor(0xd3, 0xe1, 0xf4)));
        painter.fillRect(rc, gradient);
    }
    if (m_picture.isNull()) {
        QFont font = this->font();
        font.setBold(true);
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(HVUi::AccessibilityMode()
                           ? palette().windowText().color()
                           : HVUi::ThemeColor(QStringLiteral("clrTitleText"), QColor(0x1b, 0x4b, 0x85)));
        painter.drawText(rc.adjusted(14, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, m_strTitle);
    }
    painter.setPen(HVUi::ThemeColor(QStringLiteral("clrTitleBorder"), QColor(0xc8, 0xc8, 0xc8)));
    painter.drawLine(rc.bottomLeft(), rc.bottomRight());
}
