// Screens of the drawn controls: titles, caption, progress bars, list.
#include "ui/CBCGButton.h"
#include "ui/CGradientProgressCtrl.h"
#include "ui/CStaticTitle.h"
#include "ui/CTitleBitmap.h"
#include "ui/CTitleDrawGradient.h"
#include "ui/CTitleMainPage.h"
#include "ui/CXListCtrl.h"
#include "ui/HVUiTheme.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QPainter>
#include <QVBoxLayout>

#include <memory>

namespace {

QWidget* Sheet(int w, int h)
{
    auto* pSheet = new QWidget;
    pSheet->setAutoFillBackground(true);
    QPalette pal = pSheet->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pSheet->setPalette(pal);
    pSheet->resize(w, h);
    return pSheet;
}

// Paints a list of title drawers, one under the other.
class CTitleSheet : public QWidget
{
public:
    CTitleSheet()
    {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, Qt::white);
        setPalette(pal);
    }
    std::vector<std::unique_ptr<CTitleDraw>> m_titles;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (auto& pTitle : m_titles) {
            pTitle->Draw(p);
        }
    }
};

template <typename T>
T* AddTitle(CTitleSheet* pSheet, const QString& strText, int y, int h, bool bHelp)
{
    auto pTitle = std::make_unique<T>();
    T* pRaw = pTitle.get();
    pRaw->SetColors(HVUi::FromColorRef(0x984E00),
                    HVUi::FromColorRef(0xE6C1AB),
                    HVUi::FromColorRef(0xFFFFFF),
                    HVUi::FromColorRef(0xFFFFFF));
    pRaw->SetTitleText(strText);
    pRaw->SetRect(10, y, 390, y + h);
    if (bHelp) {
        auto* pHelp = new CBCGButton(pSheet);
        pHelp->setObjectName(QStringLiteral("btnTitleHelp"));
        pHelp->setText(QStringLiteral("?"));
        pHelp->SetHorzMargin(0);
        pHelp->SetVertMargin(0, 0);
        pRaw->Create(pSheet, pHelp, true, 0);
    }
    pSheet->m_titles.push_back(std::move(pTitle));
    return pRaw;
}

}  // namespace

HV_SCREEN("titles")
{
    auto* pSheet = new CTitleSheet;
    pSheet->resize(400, 290);
    AddTitle<CTitleDraw>(pSheet, QStringLiteral("Plain title"), 10, 60, false);
    auto* pGradient = AddTitle<CTitleDrawGradient>(pSheet, QStringLiteral("Gradient title with help"), 80, 60, true);
    pGradient->SetGradientColors(HVUi::FromColorRef(0xF3D4C2), HVUi::FromColorRef(0xFFF5EE));
    auto* pMain = AddTitle<CTitleMainPage>(pSheet, QStringLiteral("General"), 150, 28, false);
    pMain->SetTitleFont(16, 700, false, false, QStringLiteral("Arial"));
    pMain->SetRect(10, 150, 390, 178, true);
    auto* pBitmap = AddTitle<CTitleBitmap>(pSheet, QStringLiteral("Bitmap title without its picture"), 190, 60, false);
    pBitmap->SetGradientColors(HVUi::FromColorRef(0xAAAAAA), HVUi::FromColorRef(0xFFFFFF));
    return pSheet;
}

HV_SCREEN("static_title")
{
    QWidget* pSheet = Sheet(360, 90);
    auto* pLayout = new QVBoxLayout(pSheet);
    auto* pNormal = new CStaticTitle(QStringLiteral("Encryption"), pSheet);
    auto* pBold = new CStaticTitle(QStringLiteral("Bold caption"), pSheet);
    pBold->SetBold(true);
    auto* pOff = new CStaticTitle(QStringLiteral("Disabled caption"), pSheet);
    pOff->setEnabled(false);
    pLayout->addWidget(pNormal);
    pLayout->addWidget(pBold);
    pLayout->addWidget(pOff);
    return pSheet;
}

HV_SCREEN("progress")
{
    QWidget* pSheet = Sheet(320, 190);
    auto* pLayout = new QVBoxLayout(pSheet);
    const int positions[] = {0, 50, 100};
    for (int nPos : positions) {
        auto* pBar = new CGradientProgressCtrl(pSheet);
        pBar->setObjectName(QStringLiteral("progress%1").arg(nPos));
        pBar->SetStartColor(HVUi::FromColorRef(0x947061));
        pBar->SetEndColor(HVUi::FromColorRef(0xCEB59B));
        pBar->SetShowPercent(true);
        pBar->SetPos(nPos);
        pLayout->addWidget(pBar);
    }
    auto* pMeter = new CGradientProgressCtrl(pSheet);
    pMeter->setObjectName(QStringLiteral("passwordMeter"));
    CGradientProgressCtrl::StylePasswordMeter(*pMeter);
    pMeter->SetPos(80);
    pLayout->addWidget(pMeter);
    auto* pDefault = new CGradientProgressCtrl(pSheet);
    pDefault->setObjectName(QStringLiteral("defaultColours"));
    pDefault->SetPos(70);
    pDefault->SetShowPercent(true);
    pLayout->addWidget(pDefault);
    return pSheet;
}

HV_SCREEN("list")
{
    auto* pList = new CXListCtrl;
    pList->resize(460, 190);
    pList->InsertColumn(QStringLiteral("Path"), 330);
    pList->InsertColumn(QStringLiteral("State"), 90);
    pList->EnableCheckBoxes(true);
    pList->SetNumbering(true);
    const char* paths[] = {"/home/user/Documents/report.odt",
                           "/home/user/Pictures",
                           "/home/user/taxes-2025.pdf",
                           "/home/user/a very long folder name that does not fit into the column/file.txt",
                           "/home/user/notes.txt",
                           "/home/user/fixed.txt"};
    const char* states[] = {"Hidden", "Hidden", "Encrypted", "Hidden", "Shown", "Locked"};
    for (int i = 0; i < 6; ++i) {
        const int nRow = pList->InsertItem(QString::fromUtf8(paths[i]));
        pList->SetItemText(nRow, 1, QString::fromUtf8(states[i]));
        pList->SetCheckValue(nRow, i);
    }
    pList->SelectItem(2);
    return pList;
}

HV_SCREEN("list_empty")
{
    auto* pList = new CXListCtrl;
    pList->resize(420, 140);
    pList->InsertColumn(QStringLiteral("Path"), 330);
    pList->InsertColumn(QStringLiteral("Type"), 60);
    return pList;
}
