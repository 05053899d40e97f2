#pragma once

#include "ui/CTitleDrawGradient.h"

#include <QPixmap>

// A title whose strip is a picture (the theme's header images). Without the picture, and in
// accessibility mode, it is drawn as the gradient title.
class CTitleBitmap : public CTitleDrawGradient
{
public:
    CTitleBitmap();
    ~CTitleBitmap() override;

    bool Create(QWidget* pParent, CBCGButton* pHelpButton, bool bShowHelpButton, unsigned nIconId) override;
    void SetBackgroundBitmap(const QPixmap& bitmap);
    void SetHideText(bool bHide) { m_bHideText = bHide; }
    [[nodiscard]] bool IsTextHidden() const { return m_bHideText; }

protected:
    void DrawBackground() override;

private:
    QPixmap m_background;
    bool m_bHideText = false;
};
