#pragma once

#include <QString>

class CBCGButton;
class QWidget;

// A link button of the password dialogs: the web-link look (StyleLinkButton with an image of
// the main image list, or none for -1), opening a help topic when clicked.
class CGuiLinkButton
{
public:
    static CBCGButton*
    Make(QWidget* pParent, int nId, const QString& strText, int nImageIndex, const QString& strHelpTopic);
};
