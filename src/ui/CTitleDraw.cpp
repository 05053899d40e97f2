#include "ui/CTitleDraw.h"

#include "resources/HVResourceStrings.h"
#include "ui/CBCGButton.h"
#include "ui/HVUiTheme.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace {
constexpr int kHelpMargin = 2;
}

CTitleDraw::CTitleDraw()
    : m_clrBorder(HVUi::SystemColor(HVUi::SysColor::ButtonFace))
    , m_clrTitleFill(HVUi::SystemColor(HVUi::SysColor::ButtonFace))
    , m_clrText(HVUi::SystemColor(HVUi::SysColor::ButtonText))
    , m_clrBk(HVUi::SystemColor(HVUi::SysColor::Window))
{
    m_font.setFamily(QStringLiteral("Arial"));
    m_font.setPixelSize(14);
    m_font.setWeight(QFont::Bold);
}

CTitleDraw::~CTitleDraw() = default;

bool CTitleDraw::Create(QWidget* pParent, CBCGButton* pHelpButton, bool bShowHelpButton, unsigned nIconId)
{
    m_pHelpButton = pHelpButton;
    m_bShowHelp = bShowHelpButton && pHelpButton != nullptr;
    if (pHelpButton != nullptr) {
        const QString strIcon = nIconId != 0 ? HVImagePath(HVImageKind::Icon, nIconId) : QString();
        m_helpIcon = strIcon.isEmpty() ? QPixmap() : QPixmap(strIcon);
        const QColor clrFace = HVUi::ThemeColor(QStringLiteral("clrTitleGradiant2"), m_clrTitleFill);
        pHelpButton->SetImage(m_helpIcon);
        pHelpButton->SetFaceColor(clrFace);
        pHelpButton->SetFaceColorHot(clrFace);
        pHelpButton->SetMouseCursorHand();
        const int nSide = m_helpIcon.isNull() ? 16 : qMax(16, m_helpIcon.height());
        m_helpSize = QSize(nSide + 4, nSide + 4);
        pHelpButton->setVisible(m_bShowHelp);
        if (pParent != nullptr && pHelpButton->parentWidget() != pParent) {
            pHelpButton->setParent(pParent);
            pHelpButton->setVisible(m_bShowHelp);
        }
    }
    Layout();
    return true;
}

void CTitleDraw::Draw(QPainter& painter)
{
    m_pPainter = &painter;
    DrawBackground();
    m_pPainter = nullptr;
}

void CTitleDraw::SetRect(int nLeft, int nTop, int nRight, int nBottom, bool bTitleHeightFromRect)
{
    m_rcOuter = QRect(QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1));
    if (bTitleHeightFromRect) {
        m_nTitleHeight = m_rcOuter.height();
    }
    Layout();
}

void CTitleDraw::SetRectFromControl(const QWidget* pPlaceholder, bool bTitleHeightFromRect)
{
    if (pPlaceholder == nullptr) {
        return;
    }
    const QRect rc = pPlaceholder->geometry();
    SetRect(rc.left(), rc.top(), rc.left() + rc.width(), rc.top() + rc.height(), bTitleHeightFromRect);
}

void CTitleDraw::SetTextRect(const QRect& rc)
{
    m_rcText = rc;
    m_bTextRectSet = true;
}

void CTitleDraw::SetColors(const QColor& clrText,
                           const QColor& clrBorder,
                           const QColor& clrTitleFill,
                           const QColor& clrBk)
{
    m_clrText = clrText;
    m_clrBorder = clrBorder;
    m_clrTitleFill = clrTitleFill;
    m_clrBk = clrBk;
}

void CTitleDraw::SetTitleFont(int nHeight, int nWeight, bool bItalic, bool bUnderline, const QString& strFace)
{
    m_font = QFont(strFace);
    m_font.setPixelSize(qMax(1, nHeight));
    m_font.setWeight(static_cast<QFont::Weight>(qBound(1, nWeight, 1000)));
    m_font.setItalic(bItalic);
    m_font.setUnderline(bUnderline);
}

void CTitleDraw::SetTitle(unsigned nResourceId)
{
    m_strTitle = HVLoadString(nResourceId);
}

void CTitleDraw::SetTitleText(const QString& strTitle)
{
    m_strTitle = strTitle;
}

void CTitleDraw::SetTitleHeight(int nHeight)
{
    m_nTitleHeight = qMax(0, nHeight);
    Layout();
}

void CTitleDraw::SetBorderWidth(int nWidth)
{
    m_nBorderWidth = qMax(0, nWidth);
    Layout();
}

bool CTitleDraw::HasVisibleHelpButton() const
{
    return m_bShowHelp && !m_pHelpButton.isNull();
}

void CTitleDraw::Layout()
{
    const int w = m_nBorderWidth;
    m_rcTitle = QRect(m_rcOuter.left(), m_rcOuter.top(), m_rcOuter.width(), qMin(m_nTitleHeight, m_rcOuter.height()))
                    .adjusted(w, w, -w, -w);
    if (!m_bTextRectSet) {
        m_rcText = m_rcTitle.adjusted(6, 3, -2, 0);
    }
    if (!HasVisibleHelpButton()) {
        return;
    }
    const QSize size = m_helpSize.boundedTo(QSize(m_helpSize.width(), qMax(1, m_rcTitle.height())));
    const int x = m_rcTitle.right() + 1 - size.width() - kHelpMargin;
    const int y = m_rcTitle.top() + (m_rcTitle.height() - size.height()) / 2;
    m_pHelpButton->setGeometry(x, y, size.width(), size.height());
    if (!m_bTextRectSet) {
        m_rcText.setRight(qMin(m_rcText.right(), x - kHelpMargin - 1));
    }
}

void CTitleDraw::DrawFrame()
{
    QPainter& p = *m_pPainter;
    const int w = m_nBorderWidth;
    p.fillRect(m_rcOuter, w > 0 ? m_clrBorder : m_clrBk);
    p.fillRect(m_rcOuter.adjusted(w, w, -w, -w), m_clrBk);
    if (w <= 0) {
        return;
    }
    // The line under the title.
    p.fillRect(QRect(m_rcOuter.left(), m_rcTitle.bottom() + 1, m_rcOuter.width(), w), m_clrBorder);
}

void CTitleDraw::DrawHelpLine()
{
    if (m_nBorderWidth > 0 && HasVisibleHelpButton()) {
        const int x = m_pHelpButton->geometry().left() - kHelpMargin - m_nBorderWidth;
        m_pPainter->fillRect(QRect(x, m_rcTitle.top(), m_nBorderWidth, m_rcTitle.height()), m_clrBorder);
    }
}

void CTitleDraw::DrawBackground()
{
    DrawFrame();
    m_pPainter->fillRect(m_rcTitle, m_clrTitleFill);
    DrawHelpLine();
    DrawTitleText();
}

void CTitleDraw::DrawTitleText()
{
    QPainter& p = *m_pPainter;
    p.save();
    p.setFont(m_font);
    p.setPen(m_clrText);
    p.setBackgroundMode(Qt::TransparentMode);
    // Centred on the strip: the text rectangle's top inset would push a 14-pixel font onto the line
    // under the title.
    QRect rc = m_rcText;
    if (!m_bTextRectSet) {
        rc.setTop(m_rcTitle.top());
        rc.setBottom(m_rcTitle.bottom());
    }
    p.setClipRect(m_rcTitle.isEmpty() ? m_rcOuter : m_rcTitle);
    p.drawText(rc,
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetrics(m_font).elidedText(m_strTitle, Qt::ElideRight, qMax(0, rc.width())));
    p.restore();
}
