#include "ui/CBCGButton.h"

#include "ui/HVControlStates.h"
#include "ui/HVUiTheme.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
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
    , m_clrPage(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), HVUi::SystemColor(HVUi::SysColor::Window)))
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

void CBCGButton::SetPageColor(const QColor& clr)
{
    m_clrPage = clr;
    update();
}

QColor CBCGButton::FaceColor(EState state) const
{
    switch (state) {
    case StateHot:
        return m_clrFaceHot;
    case StatePressed:
        return m_clrFaceHot.darker(112);
    case StateDisabled:
        return m_bBorder ? HVUi::WashedFace(m_clrFace, m_clrPage) : m_clrFace;
    case StateNormal:
        break;
    }
    return m_clrFace;
}

QColor CBCGButton::TextColor(EState state) const
{
    const QColor face = FaceColor(state);
    switch (state) {
    case StateDisabled:
        return HVUi::Greyed(m_clrText, face);
    case StateHot:
    case StatePressed:
        return HVUi::Readable(m_clrTextHot, face);
    case StateNormal:
        break;
    }
    return HVUi::Readable(m_clrText, face);
}

QColor CBCGButton::FocusRingColor(EState state) const
{
    return HVUi::Readable(TextColor(state), FaceColor(state), HVUi::kMinRingContrast);
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
    QPixmap image = StateImage(state);
    if (state == StateDisabled && !image.isNull() && m_lists[static_cast<std::size_t>(StateDisabled)].isEmpty()) {
        // No picture of its own for the disabled state: the normal one, greyed.
        QStyleOption opt;
        opt.initFrom(this);
        image = style()->generatedIconPixmap(QIcon::Disabled, image, &opt);
    }
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
            // Inside the edge by half the pen, so that a fractional scale keeps all four sides.
            p.drawRect(QRectF(rc).adjusted(0.5, 0.5, -0.5, -0.5));
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
            const QColor clrText = TextColor(state);
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
        // A 2-pixel ring inside the edge, in a colour that stands out from the face (over a
        // bare picture: from the page).
        const bool bPicture = text().isEmpty() && !image.isNull();
        const QColor ring =
            bPicture ? HVUi::Readable(m_clrText, m_clrPage, HVUi::kMinRingContrast) : FocusRingColor(state);
        QPen pen(ring, 2.0);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRect(QRectF(rc).adjusted(2.0, 2.0, -2.0, -2.0));
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
