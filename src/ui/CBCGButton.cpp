#include "ui/CBCGButton.h"

#include "ui/HVUiTheme.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {
constexpr int kImageGap = 5;  // between the picture and the text
}

CBCGButton::CBCGButton(QWidget* pParent)
    : CBCGButton(QString(), pParent)
{
}

CBCGButton::CBCGButton(const QString& strText, QWidget* pParent)
    : QPushButton(strText, pParent)
    , m_clrFace(HVUi::ThemeColor(QStringLiteral("clrDlgBtnFace"), HVUi::SystemColor(HVUi::SysColor::ButtonFace)))
    , m_clrFaceHot(HVUi::ThemeColor(QStringLiteral("clrDlgBtnFaceHot"), m_clrFace.lighter(108)))
    , m_clrText(HVUi::ThemeColor(QStringLiteral("clrDlgBtnText"), HVUi::SystemColor(HVUi::SysColor::ButtonText)))
    , m_clrTextHot(HVUi::ThemeColor(QStringLiteral("clrDlgBtnTextHot"), m_clrText))
{
    setObjectName(QStringLiteral("CBCGButton"));
    setAttribute(Qt::WA_Hover);
}

void CBCGButton::SetImage(const QPixmap& image)
{
    m_image = image;
    updateGeometry();
    update();
}

void CBCGButton::SetImageList(const QList<QPixmap>& images)
{
    m_lists.fill(images);
    updateGeometry();
    update();
}

void CBCGButton::SetImageLists(const QList<QPixmap>& normal,
                               const QList<QPixmap>& hot,
                               const QList<QPixmap>& pressed,
                               const QList<QPixmap>& disabled)
{
    m_lists = {normal, hot, pressed, disabled};
    updateGeometry();
    update();
}

void CBCGButton::SetImagelistOrder(int nNormal, int nHot, int nPressed, int nDisabled)
{
    m_order = {nNormal, nHot, nPressed, nDisabled};
    update();
}

void CBCGButton::SetFaceColor(const QColor& clr)
{
    m_clrFace = clr;
    update();
}

void CBCGButton::SetFaceColorHot(const QColor& clr)
{
    m_clrFaceHot = clr;
    update();
}

void CBCGButton::SetTextColor(const QColor& clr)
{
    m_clrText = clr;
    update();
}

void CBCGButton::SetTextColorHot(const QColor& clr)
{
    m_clrTextHot = clr;
    update();
}

void CBCGButton::SetMouseCursorHand(bool bHand)
{
    if (bHand) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
}

void CBCGButton::SetHorzMargin(int nMargin)
{
    m_nHorzMargin = qMax(0, nMargin);
    updateGeometry();
}

void CBCGButton::SetVertMargin(int nTop, int nBottom)
{
    m_nTopMargin = qMax(0, nTop);
    m_nBottomMargin = qMax(0, nBottom);
    updateGeometry();
}

void CBCGButton::SetDrawBorder(bool bBorder)
{
    m_bBorder = bBorder;
    update();
}

CBCGButton::EState CBCGButton::CurrentState() const
{
    if (!isEnabled()) {
        return StateDisabled;
    }
    if (isDown() || isChecked()) {
        return StatePressed;
    }
    return m_bHot ? StateHot : StateNormal;
}

QPixmap CBCGButton::StateImage(EState state) const
{
    const auto& list = m_lists[static_cast<size_t>(state)];
    const int nIndex = m_order[static_cast<size_t>(state)];
    if (nIndex >= 0 && nIndex < list.size()) {
        return list[nIndex];
    }
    if (!list.isEmpty()) {
        return list.first();
    }
    return m_image;
}

QColor CBCGButton::FaceColor(EState state) const
{
    return state == StateHot || state == StatePressed ? m_clrFaceHot : m_clrFace;
}

QSize CBCGButton::sizeHint() const
{
    const QPixmap image = StateImage(StateNormal);
    const QFontMetrics fm(font());
    int w = 2 * m_nHorzMargin;
    int h = fm.height();
    if (!image.isNull()) {
        const QSize size = image.deviceIndependentSize().toSize();
        w += size.width() + (text().isEmpty() ? 0 : kImageGap);
        h = qMax(h, size.height());
    }
    if (!text().isEmpty()) {
        w += fm.horizontalAdvance(text());
    }
    return QSize(qMax(w, text().isEmpty() ? 0 : 64), h + m_nTopMargin + m_nBottomMargin + (m_bBorder ? 4 : 0));
}

void CBCGButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const EState state = CurrentState();
    const QRect rc = rect();
    const QPixmap image = StateImage(state);
    const QSize imageSize = image.isNull() ? QSize() : image.deviceIndependentSize().toSize();
    // A bare picture as large as the button is the button.
    if (text().isEmpty() && !image.isNull() && imageSize.width() >= rc.width() - 1
        && imageSize.height() >= rc.height() - 1) {
        p.drawPixmap(rc, image);
    } else {
        p.fillRect(rc, FaceColor(state));
        if (m_bBorder) {
            p.setPen(FaceColor(StateNormal).darker(state == StatePressed ? 160 : 135));
            p.setBrush(Qt::NoBrush);
            p.drawRect(rc.adjusted(0, 0, -1, -1));
        }
        QRect content = rc.adjusted(m_nHorzMargin, m_nTopMargin, -m_nHorzMargin, -m_nBottomMargin);
        if (state == StatePressed && m_bBorder) {
            content.translate(1, 1);
        }
        const QFontMetrics fm(font());
        const int nTextWidth = text().isEmpty() ? 0 : fm.horizontalAdvance(text());
        const int nImageWidth = image.isNull() ? 0 : imageSize.width() + (text().isEmpty() ? 0 : kImageGap);
        // A link button keeps its content at the left; a push button centres it.
        int x = m_bBorder ? content.left() + qMax(0, (content.width() - nImageWidth - nTextWidth) / 2) : content.left();
        if (!image.isNull()) {
            p.drawPixmap(x, content.top() + (content.height() - imageSize.height()) / 2, image);
            x += nImageWidth;
        }
        if (!text().isEmpty()) {
            const QColor clrText = state == StateDisabled ? HVUi::ThemeColor(QStringLiteral("clrDlgBtnDisableText"),
                                                                             QColor(0x8c, 0x8c, 0x8c))
                                   : state == StateNormal ? m_clrText
                                                          : m_clrTextHot;
            QFont f = font();
            f.setUnderline(!m_bBorder && state == StateHot);
            p.setFont(f);
            p.setPen(clrText);
            // Elided only when it does not fit: eliding at exactly the text's width can still cut
            // it, the measures being rounded differently.
            const int nAvailable = content.right() + 1 - x;
            const QString strShown =
                nTextWidth <= nAvailable ? text() : fm.elidedText(text(), Qt::ElideRight, nAvailable);
            p.drawText(QRect(x, content.top(), qMax(nAvailable, nTextWidth), content.height()),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic,
                       strShown);
        }
    }
    if (hasFocus() && focusPolicy() != Qt::NoFocus) {
        QStyleOptionFocusRect opt;
        opt.initFrom(this);
        opt.rect = rc.adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
    }
}

void CBCGButton::enterEvent(QEnterEvent* pEvent)
{
    m_bHot = true;
    update();
    QPushButton::enterEvent(pEvent);
}

void CBCGButton::leaveEvent(QEvent* pEvent)
{
    m_bHot = false;
    update();
    QPushButton::leaveEvent(pEvent);
}
