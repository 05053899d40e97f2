#pragma once

#include "ui/CHPageDlgBase.h"

class CBCGButton;

// The about box: the theme's AboutHeader picture across the top, the program's name, version and
// copyright, a web-link button (4100) to the maker's home page (web link 1) and OK. F1 opens the
// help at its start page.
class CAboutDlg : public CHPageDlgBase
{
    Q_OBJECT

public:
    static constexpr int kLinkButtonId = 4100;
    static constexpr int kWebLinkHome = 1;

    explicit CAboutDlg(QWidget* pParent = nullptr);

    // The version shown ("0.1.0").
    [[nodiscard]] static QString ProgramVersion();

protected:
    bool OnInitDialog() override;
    void paintEvent(QPaintEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    int m_nHeaderHeight = 0;
};
