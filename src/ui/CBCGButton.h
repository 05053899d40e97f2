#pragma once

#include <QColor>
#include <QList>
#include <QPixmap>
#include <QPushButton>

#include <array>

// A skinned push button: its own face colours for the normal and the hot (mouse over) state, an
// image or an image list with one index per state (normal, hot, pressed, disabled), text colours
// and margins. With a picture that fills the button and no text it draws just the picture: the
// task buttons of the pages are whole bitmaps. A link button (see SetDrawBorder) has no frame.
// The states follow one model (ui/HVControlStates.h): a pressed face is darker than the hot one,
// a disabled face is washed out with greyed text and picture, keyboard focus draws a 2-pixel
// ring, and every text is kept readable on the face it is drawn on.
class CBCGButton : public QPushButton
{
    Q_OBJECT
public:
    enum EState
    {
        StateNormal = 0,
        StateHot = 1,
        StatePressed = 2,
        StateDisabled = 3,
    };

    explicit CBCGButton(QWidget* pParent = nullptr);
    CBCGButton(const QString& strText, QWidget* pParent = nullptr);

    void SetImage(const QPixmap& image);
    // One list for every state; SetImagelistOrder picks an index per state.
    void SetImageList(const QList<QPixmap>& images);
    // One list per state; each state takes its index from its own list.
    void SetImageLists(const QList<QPixmap>& normal,
                       const QList<QPixmap>& hot,
                       const QList<QPixmap>& pressed,
                       const QList<QPixmap>& disabled);
    void SetImagelistOrder(int nNormal, int nHot, int nPressed, int nDisabled);
    void SetFaceColor(const QColor& clr);
    void SetFaceColorHot(const QColor& clr);
    void SetTextColor(const QColor& clr);
    void SetTextColorHot(const QColor& clr);
    void SetMouseCursorHand(bool bHand = true);
    void SetHorzMargin(int nMargin);
    // Space above and below the content.
    void SetVertMargin(int nTop, int nBottom);
    void SetVerticalMargin(int nMargin) { SetVertMargin(nMargin, nMargin); }
    void SetDrawBorder(bool bBorder);

    [[nodiscard]] EState CurrentState() const;
    // The picture drawn for a state, null when there is none.
    [[nodiscard]] QPixmap StateImage(EState state) const;
    [[nodiscard]] QColor FaceColor(EState state) const;
    // The text colour drawn in a state: the one set for it, made readable on that state's face.
    [[nodiscard]] QColor TextColor(EState state) const;
    // The colour of the focus ring drawn over the face of a state.
    [[nodiscard]] QColor FocusRingColor(EState state) const;
    // The colour of the page behind the button (a disabled face is washed toward it).
    void SetPageColor(const QColor& clr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void enterEvent(QEnterEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    QPixmap m_image;
    std::array<QList<QPixmap>, 4> m_lists;
    std::array<int, 4> m_order{0, 0, 0, 0};
    QColor m_clrFace;
    QColor m_clrFaceHot;
    QColor m_clrText;
    QColor m_clrTextHot;
    QColor m_clrPage;
    int m_nHorzMargin = 6;
    int m_nTopMargin = 3;
    int m_nBottomMargin = 3;
    bool m_bBorder = true;
    bool m_bHot = false;
};
