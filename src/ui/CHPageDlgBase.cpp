#include "ui/CHPageDlgBase.h"

#include "ui/HVUiTheme.h"

CHPageDlgBase::CHPageDlgBase(QWidget* pParent)
    : CResizableDialog(pParent)
    , m_clrBk(HVUi::ThemeColor(QStringLiteral("clrDlgBk"), HVUi::SystemColor(HVUi::SysColor::ButtonFace)))
    , m_clrText(HVUi::ThemeColor(QStringLiteral("clrDlgText"), HVUi::SystemColor(HVUi::SysColor::ButtonText)))
{
    setObjectName(QStringLiteral("CHPageDlgBase"));
    ApplyColors();
}

void CHPageDlgBase::SetBackgroundColor(const QColor& clr)
{
    m_clrBk = clr;
    ApplyColors();
}

void CHPageDlgBase::SetTextColor(const QColor& clr)
{
    m_clrText = clr;
    ApplyColors();
}

void CHPageDlgBase::EnableEraseBackground(bool bEnable)
{
    m_bErase = bEnable;
    ApplyColors();
}

void CHPageDlgBase::ApplyColors()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, m_clrBk);
    pal.setColor(QPalette::WindowText, m_clrText);
    setPalette(pal);
    setAutoFillBackground(m_bErase);
    update();
}
