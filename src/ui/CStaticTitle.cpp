#include "ui/CStaticTitle.h"

#include "ui/HVUiTheme.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr int kGap = 6;  // between the text and the rule
}

CStaticTitle::CStaticTitle(QWidget* pParent)
    : CStaticTitle(QString(), pParent)
{
}

CStaticTitle::CStaticTitle(const QString& strText, QWidget* pParent)
    : QWidget(pParent)
    , m_strText(strText)
    , m_clrBk(HVUi::SystemColor(HVUi::SysColor::ButtonFace))
    , m_clrHighlight(HVUi::SystemColor(HVUi::SysColor::ButtonHighlight))
    , m_clrShadow(HVUi::SystemColor(HVUi::SysColor::ButtonShadow))
    , m_clrText(HVUi::SystemColor(HVUi::SysColor::ButtonText))
{
    setObjectName(QStringLiteral("CStaticTitle"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void CStaticTitle::SetWindowText(const QString& strText)
{
    m_strText = strText;
    updateGeometry();
    update();
}

void CStaticTitle::SetBold(bool bBold)
{
    m_bBold = bBold;
    updateGeometry();
    update();
}

void CStaticTitle::SetColors(const QColor& clrBk,
                             const QColor& clrHighlight,
                             const QColor& clrShadow,
                             const QColor& clrText)
{
    m_clrBk = clrBk;
    m_clrHighlight = clrHighlight;
    m_clrShadow = clrShadow;
    m_clrText = clrText;
    update();
}

QFont CStaticTitle::TitleFont() const
{
    QFont f = font();
    if (m_bBold) {
        f.setWeight(QFont::Bold);
    }
    return f;
}

int CStaticTitle::TextWidth() const
{
    return m_strText.isEmpty() ? 0 : QFontMetrics(TitleFont()).horizontalAdvance(m_strText);
}

QRect CStaticTitle::RuleRect() const
{
    const int x = m_strText.isEmpty() ? 0 : TextWidth() + kGap;
    if (x >= width()) {
        return QRect();
    }
    return QRect(x, height() / 2 - 1, width() - x, 2);
}

QSize CStaticTitle::sizeHint() const
{
    const QFontMetrics fm(TitleFont());
    return QSize(TextWidth() + kGap + 40, fm.height() + 4);
}

QSize CStaticTitle::minimumSizeHint() const
{
    return QSize(TextWidth(), QFontMetrics(TitleFont()).height());
}

void CStaticTitle::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(TitleFont());
    p.setPen(isEnabled() ? m_clrText : HVUi::SystemColor(HVUi::SysColor::GrayText));
    p.drawText(QRect(0, 0, width(), height()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_strText);
    const QRect rule = RuleRect();
    if (rule.isValid()) {
        p.fillRect(QRect(rule.left(), rule.top(), rule.width(), 1), m_clrShadow);
        p.fillRect(QRect(rule.left(), rule.top() + 1, rule.width(), 1), m_clrHighlight);
    }
}

void CStaticTitle::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::EnabledChange || pEvent->type() == QEvent::FontChange) {
        update();
    }
}
