#include "pages/HVTaskPage.h"

#include "mainwnd/CHalvoDataSecurityDlg.h"
#include "resources/HVResourceStrings.h"
#include "security/CDataSecurityMngr.h"
#include "ui/CBCGButton.h"
#include "ui/CButtonST.h"
#include "ui/CGlobalColors.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CThemeDraw.h"
#include "ui/CThemeImageList.h"
#include "ui/HVControlStates.h"

#include <QIcon>
#include <QPainter>
#include <QWidget>

namespace HVTaskPage {
namespace {
constexpr int kHeaderFallback = 60;
constexpr int kFooterFallback = 40;

void TileRight(QPainter& p, const CThemeImage& band, int x, int y, int nWidth)
{
    if (!band.HasBitmap() || nWidth <= 0) {
        return;
    }
    const QSize size = band.Size();
    TileBitmap(band.Bitmap(), p, x, y, nWidth, 0, 0, size.width(), size.height());
}
}  // namespace

int HeaderHeight(EThemeImage header)
{
    const CThemeImage& image = g_GlobalColors.Image(header);
    return image.HasBitmap() ? image.Size().height() : kHeaderFallback;
}

int FooterHeight()
{
    const CThemeImage& image = g_GlobalColors.Image(EThemeImage::InnerFoter);
    return image.HasBitmap() ? image.Size().height() : kFooterFallback;
}

void BeginPage(CHPageDlg& page)
{
    page.SetBackgroundColor(CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    page.SetTextColor(CGlobalColors::Color(g_GlobalColors.clrDlgText));
    page.EnableEraseBackground(false);
    page.resize(kDesignSize);
}

SPageFrame BeginTaskPage(CHPageDlg& page, EThemeImage header)
{
    BeginPage(page);
    return {HeaderHeight(header) + 40, kDesignSize.width(), kDesignSize.height() - FooterHeight()};
}

void Paint(QWidget& page, QPainter& p, EThemeImage header)
{
    const QRect rc = page.rect();
    p.fillRect(rc, CGlobalColors::Color(g_GlobalColors.clrDlgBk));
    const CThemeImage& head = g_GlobalColors.Image(header);
    if (head.HasBitmap()) {
        head.Draw(p, 0, 0);
        TileRight(p,
                  g_GlobalColors.Image(EThemeImage::InnerHeaderR),
                  head.Size().width(),
                  0,
                  rc.width() - head.Size().width());
    } else {
        // No picture (high contrast): a caption band in the theme's title colours with the task's
        // name, so that the band never stands empty.
        const QColor band = CGlobalColors::Color(g_GlobalColors.clrTitleGradiant1);
        p.fillRect(0, 0, rc.width(), kHeaderFallback, band);
        const unsigned nTitle = header == EThemeImage::HideHeader      ? IDS_WELCOME_BTN_HIDE
                                : header == EThemeImage::DecryptHeader ? IDS_WELCOME_BTN_DECRYPT
                                                                       : IDS_WELCOME_BTN_SECURE;
        QFont font = g_GlobalColors.m_font14;
        font.setBold(true);
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(HVUi::Readable(CGlobalColors::Color(g_GlobalColors.clrTitleText), band));
        p.drawText(QRect(kMargin, 0, rc.width() - 2 * kMargin, kHeaderFallback),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   HVLoadString(nTitle));
    }
    const CThemeImage& foot = g_GlobalColors.Image(EThemeImage::InnerFoter);
    if (foot.HasBitmap()) {
        const int nY = rc.height() - foot.Size().height();
        foot.Draw(p, 0, nY);
        TileRight(p,
                  g_GlobalColors.Image(EThemeImage::InnerFoterR),
                  foot.Size().width(),
                  nY,
                  rc.width() - foot.Size().width());
    }
}

void PaintHeading(QWidget& page, QPainter& p, const QString& strText)
{
    p.setFont(g_GlobalColors.m_font13Bold);
    p.setPen(CGlobalColors::Color(g_GlobalColors.clrDlgText));
    const int nTop = HeaderHeight(EThemeImage::SecureHeader) + 8;
    p.drawText(QRect(kMargin, nTop, page.width() - 2 * kMargin, 22), Qt::AlignLeft | Qt::AlignVCenter, strText);
}

CBCGButton* MakeSkinButton(QWidget* pParent, int nId, EThemeImage image, bool bStrip, const QString& strText)
{
    auto* pButton = new CBCGButton(pParent);
    pButton->setObjectName(QString::number(nId));
    pButton->setToolTip(strText);
    pButton->setAccessibleName(strText);
    const CThemeImage& picture = g_GlobalColors.Image(image);
    const QList<QPixmap> states =
        picture.HasBitmap() ? (bStrip ? CThemeImageList::Split(picture.Bitmap(), 4) : QList<QPixmap>{picture.Bitmap()})
                            : QList<QPixmap>();
    if (states.isEmpty() || states.front().isNull()) {
        pButton->setText(strText);
        pButton->SetFaceColor(CGlobalColors::Color(g_GlobalColors.clrBtnBk));
        pButton->SetFaceColorHot(CGlobalColors::Color(g_GlobalColors.clrBtnBkHot));
        pButton->resize(96, kButtonHeight);
        return pButton;
    }
    if (states.size() == 4) {
        pButton->SetImageList(states);
        pButton->SetImagelistOrder(0, 1, 2, 3);
    } else {
        pButton->SetImage(states.front());
    }
    pButton->setText(QString());
    pButton->SetDrawBorder(false);
    pButton->SetMouseCursorHand(true);
    pButton->resize((QSizeF(states.front().size()) / states.front().devicePixelRatio()).toSize());
    return pButton;
}

CBCGButton* MakeTextButton(QWidget* pParent, int nId, const QString& strText)
{
    auto* pButton = new CBCGButton(strText, pParent);
    pButton->setObjectName(QString::number(nId));
    // White on the theme's button colour; on a light hot face the theme's hot button text (the
    // button model keeps either readable in every state).
    const QColor face = CGlobalColors::Color(g_GlobalColors.clrBtnBk);
    const QColor faceHot = CGlobalColors::Color(g_GlobalColors.clrBtnBkHot);
    const QColor white(Qt::white);
    pButton->SetTextColor(white);
    pButton->SetTextColorHot(HVUi::ContrastRatio(white, faceHot) >= HVUi::kMinTextContrast
                                 ? white
                                 : CGlobalColors::Color(g_GlobalColors.clrDlgBtnTextHot));
    pButton->SetFaceColor(face);
    pButton->SetFaceColorHot(faceHot);
    pButton->SetMouseCursorHand(true);
    pButton->resize(std::max(96, pButton->sizeHint().width()), kButtonHeight);
    return pButton;
}

CButtonST* MakeIconButton(QWidget* pParent, int nId, unsigned nIconId, const QString& strText)
{
    auto* pButton = new CButtonST(pParent);
    pButton->setObjectName(QString::number(nId));
    pButton->SetFlat(true);
    const QString strIcon = HVImagePath(HVImageKind::Icon, nIconId);
    if (!strIcon.isEmpty()) {
        pButton->SetIcon(QIcon(strIcon));
    }
    pButton->setIconSize(QSize(24, 24));
    pButton->setText(strText);
    pButton->setToolTip(strText);
    pButton->setAccessibleName(strText);
    pButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    pButton->setCursor(Qt::PointingHandCursor);
    pButton->resize(std::max(140, pButton->sizeHint().width()), 34);
    return pButton;
}

void PostPageSwitch(CDataSecurityMngr& mngr, CHalvoDataSecurityDlg* pMainDlg, int nPageId)
{
    if (!mngr.SwitchPage(nPageId) && pMainDlg != nullptr) {
        pMainDlg->PostPageSwitch(nPageId);
    }
}

}  // namespace HVTaskPage
