#pragma once

#include "ui/CBCGButton.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QString>

class QPainter;
class QWidget;

// Draws the section header of a dialog or page into the owner's painter: a framed box whose top
// strip of the title height carries the title text and, optionally, a help button at its right end.
// The owner calls Draw from its paint handler.
class CTitleDraw
{
public:
    CTitleDraw();
    virtual ~CTitleDraw();

    CTitleDraw(const CTitleDraw&) = delete;
    CTitleDraw& operator=(const CTitleDraw&) = delete;

    // Attaches pHelpButton (a child of pParent) with icon nIconId of the resource module; with
    // bShowHelpButton it is placed at the right end of the title, vertically centred, else hidden.
    virtual bool Create(QWidget* pParent, CBCGButton* pHelpButton, bool bShowHelpButton, unsigned nIconId);
    virtual void Draw(QPainter& painter);

    // Outer rectangle, right and bottom exclusive. bTitleHeightFromRect: the whole rectangle is the title.
    void SetRect(int nLeft, int nTop, int nRight, int nBottom, bool bTitleHeightFromRect = false);
    // The outer rectangle is the placeholder's geometry within its parent.
    void SetRectFromControl(const QWidget* pPlaceholder, bool bTitleHeightFromRect = false);
    void SetTextRect(const QRect& rc);

    void SetColors(const QColor& clrText, const QColor& clrBorder, const QColor& clrTitleFill, const QColor& clrBk);
    void SetTitleFont(int nHeight, int nWeight, bool bItalic, bool bUnderline, const QString& strFace);
    void SetTitle(unsigned nResourceId);
    void SetTitleText(const QString& strTitle);
    void SetTitleHeight(int nHeight);
    void SetBorderWidth(int nWidth);

    [[nodiscard]] QString Title() const { return m_strTitle; }
    [[nodiscard]] QRect OuterRect() const { return m_rcOuter; }
    [[nodiscard]] QRect TitleRect() const { return m_rcTitle; }
    [[nodiscard]] QRect TextRect() const { return m_rcText; }
    [[nodiscard]] QFont TitleFont() const { return m_font; }
    [[nodiscard]] CBCGButton* HelpButton() const { return m_pHelpButton.data(); }

protected:
    virtual void DrawBackground();
    virtual void DrawTitleText();
    // The outer box in the background colour with the border and the line under the title.
    void DrawFrame();
    // The line left of the help button, over the title strip.
    void DrawHelpLine();
    void Layout();
    [[nodiscard]] bool HasVisibleHelpButton() const;

    QPainter* m_pPainter = nullptr;
    QColor m_clrBorder;
    QColor m_clrTitleFill;
    QColor m_clrText;
    QColor m_clrBk;
    QRect m_rcOuter;
    QRect m_rcTitle;
    QRect m_rcText;
    QFont m_font;
    int m_nTitleHeight = 20;
    int m_nBorderWidth = 1;
    QString m_strTitle;
    QPointer<CBCGButton> m_pHelpButton;
    QPixmap m_helpIcon;
    QSize m_helpSize;
    bool m_bTextRectSet = false;
    bool m_bShowHelp = false;
};
