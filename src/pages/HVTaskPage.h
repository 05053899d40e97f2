#pragma once

// What the four task pages (selection, options, hide management, decryption) share: their
// painting, their button looks, their design size and the page-switch request.
#include <QSize>
#include <QString>

class CBCGButton;
class CButtonST;
class CDataSecurityMngr;
class CHalvoDataSecurityDlg;
class CHPageDlg;
class QPainter;
class QWidget;
enum class EThemeImage;

namespace HVTaskPage {

// The layout is drawn for this size; the anchors carry it to the page's real size.
constexpr QSize kDesignSize(760, 545);
constexpr int kMargin = 20;
constexpr int kButtonHeight = 30;

// Heights of the header and footer pictures (their fallbacks when the theme has none).
[[nodiscard]] int HeaderHeight(EThemeImage header);
[[nodiscard]] int FooterHeight();

// Where a task page's controls go at the design size.
struct SPageFrame
{
    int nTop;  // under the header picture and the heading
    int nWidth;
    int nFootTop;  // the top of the footer picture
};
// The start of a page's OnInitDialog: the theme's colours, the page paints its whole area itself,
// the design size.
void BeginPage(CHPageDlg& page);
// BeginPage for a task page under the header picture; returns where its controls go.
[[nodiscard]] SPageFrame BeginTaskPage(CHPageDlg& page, EThemeImage header);

// The page's background: the theme's background colour, the header picture at the top left with
// InnerHeaderR repeated to its right, InnerFoter at the bottom left with InnerFoterR repeated.
void Paint(QWidget& page, QPainter& painter, EThemeImage header);
// The page's heading, in the header band to the right of the header picture's own text.
void PaintHeading(QWidget& page, QPainter& painter, const QString& strText);

// A skinned button with the theme's strip of four state images (or the whole picture with
// bStrip false) and no caption; without the picture, the button shows strText.
CBCGButton* MakeSkinButton(QWidget* pParent, int nId, EThemeImage image, bool bStrip, const QString& strText);
// A plain skinned button with a caption in the theme's button colours.
CBCGButton* MakeTextButton(QWidget* pParent, int nId, const QString& strText);
// A flat icon button with an icon of the resource module and a caption beside it.
CButtonST* MakeIconButton(QWidget* pParent, int nId, unsigned nIconId, const QString& strText);

// Posts the page-switch request to the main window's page container (through the manager's
// page switcher when one is installed, else mainDlg).
void PostPageSwitch(CDataSecurityMngr& mngr, CHalvoDataSecurityDlg* pMainDlg, int nPageId);

}  // namespace HVTaskPage
