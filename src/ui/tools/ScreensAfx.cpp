// Screens of the control library layer: pages, resizable dialog, buttons, HTML label, group, tree.
#include "ui/CBCGButton.h"
#include "ui/CButtonST.h"
#include "ui/CHGroup.h"
#include "ui/CHPageDlg.h"
#include "ui/CHPageDlgBase.h"
#include "ui/CHPropertiesPages.h"
#include "ui/CItemsTreeWnd.h"
#include "ui/CPPHtmlStatic.h"
#include "ui/HVUiTheme.h"
#include "ui/tools/HVScreenRegistry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

class CSamplePage : public CHPageDlg
{
public:
    CSamplePage(int nId, QString strText)
        : CHPageDlg(nId)
        , m_strText(std::move(strText))
    {
        SetBackgroundColor(Qt::white);
    }

protected:
    bool OnCreatePage() override
    {
        auto* pLabel = new QLabel(m_strText, this);
        pLabel->setObjectName(QStringLiteral("pageText"));
        pLabel->setGeometry(20, 20, 300, 24);
        return true;
    }

private:
    QString m_strText;
};

}  // namespace

HV_SCREEN("pages")
{
    auto* pPages = new CHPropertiesPages;
    pPages->resize(420, 200);
    pPages->InsertPage(new CSamplePage(134, QStringLiteral("Welcome page")));
    pPages->InsertPage(new CSamplePage(105, QStringLiteral("Secure-data selection page")));
    pPages->SetTextNext(QStringLiteral("Next >"));
    pPages->SetTextPrevious(QStringLiteral("< Back"));
    pPages->SetBtnColors(HVUi::FromColorRef(0x947061).lighter(180), HVUi::FromColorRef(0xDBF7F7));
    pPages->SetControlColorBg(HVUi::FromColorRef(0xC8C8C8));
    pPages->SetPage(1);
    return pPages;
}

HV_SCREEN("resizable_dialog")
{
    auto* pDialog = new CHPageDlgBase;
    pDialog->setWindowTitle(QStringLiteral("Resizable"));
    pDialog->resize(300, 160);
    auto* pLabel = new CPPHtmlStatic(pDialog);
    pLabel->setGeometry(10, 10, 280, 100);
    pLabel->SetWindowText(QStringLiteral("<b>Anchored label</b><br>Grows with the dialog."));
    auto* pOk = new CBCGButton(QStringLiteral("OK"), pDialog);
    pOk->setGeometry(130, 120, 75, 26);
    auto* pCancel = new CBCGButton(QStringLiteral("Cancel"), pDialog);
    pCancel->setGeometry(215, 120, 75, 26);
    pDialog->AddAnchor(pLabel, TOP_LEFT, BOTTOM_RIGHT);
    pDialog->AddAnchor(pOk, BOTTOM_RIGHT);
    pDialog->AddAnchor(pCancel, BOTTOM_RIGHT);
    pDialog->resize(420, 220);
    return pDialog;
}

HV_SCREEN("buttons")
{
    auto* pSheet = new QWidget;
    pSheet->setAutoFillBackground(true);
    QPalette pal = pSheet->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pSheet->setPalette(pal);
    auto* pLayout = new QVBoxLayout(pSheet);
    auto* pPush = new CBCGButton(QStringLiteral("Add Files..."), pSheet);
    pPush->setObjectName(QStringLiteral("btnPush"));
    auto* pOff = new CBCGButton(QStringLiteral("Remove"), pSheet);
    pOff->setObjectName(QStringLiteral("btnDisabled"));
    pOff->setEnabled(false);
    auto* pLink = new CBCGButton(QStringLiteral("Visit the home page"), pSheet);
    pLink->setObjectName(QStringLiteral("btnLink"));
    pLink->SetDrawBorder(false);
    pLink->SetTextColor(HVUi::FromColorRef(0x00FF0000));
    pLink->SetTextColorHot(HVUi::FromColorRef(0x00FF0000));
    pLink->SetFaceColor(Qt::white);
    pLink->SetFaceColorHot(Qt::white);
    pLink->SetHorzMargin(4);
    pLink->SetVertMargin(0, 2);
    pLink->SetMouseCursorHand();
    auto* pFlat = new CButtonST(pSheet);
    pFlat->setText(QStringLiteral("Flat tool button"));
    for (QWidget* pButton : {static_cast<QWidget*>(pPush),
                             static_cast<QWidget*>(pOff),
                             static_cast<QWidget*>(pLink),
                             static_cast<QWidget*>(pFlat)}) {
        pLayout->addWidget(pButton, 0, Qt::AlignLeft);
    }
    pSheet->resize(260, 150);
    return pSheet;
}

HV_SCREEN("html_label")
{
    auto* pLabel = new CPPHtmlStatic;
    pLabel->resize(380, 300);
    pLabel->SetBkColor(Qt::white);
    pLabel->SetWindowText(
        QStringLiteral("<font size=15 face='Tahoma' color='#0000ff'><b>Encryption</b></font><br><br>"
                       "Files processed: 12<br>Succeeded: 11<br>Failed: 1<br><br>"
                       "<font size=13 face='Tahoma' color='#31577b'><b>       Indented summary</b></font><br>"
                       "<font size=13 face='Tahoma' color='#ff0000'><b>Sources will be wiped</b></font><br>"
                       "A tag that is not ours stays text: <i>x</i> &amp; a missing picture: <bmp idres=4999><br>"
                       "<bmp idres=4050>"));
    return pLabel;
}

HV_SCREEN("group_tree")
{
    auto* pSheet = new QWidget;
    pSheet->resize(420, 170);
    auto* pTree = new CItemsTreeWnd(pSheet);
    pTree->Intilize();
    pTree->setGeometry(10, 10, 130, 150);
    pTree->AddRootItem(QStringLiteral("General"), 0);
    pTree->AddRootItem(QStringLiteral("Encryption"), 1);
    pTree->AddRootItem(QStringLiteral("Wipe"), 2);
    pTree->AddRootItem(QStringLiteral("Context menu"), 3);
    pTree->SelectByData(1);
    auto* pGroup = new CHGroup(QStringLiteral("Key length"), pSheet);
    pGroup->SetBackgroundColor(HVUi::FromColorRef(0xF7F7F7));
    pGroup->setGeometry(150, 10, 260, 150);
    auto* pLayout = new QVBoxLayout(pGroup);
    pLayout->addWidget(new QRadioButton(QStringLiteral("128 bits"), pGroup));
    auto* pChosen = new QRadioButton(QStringLiteral("256 bits"), pGroup);
    pChosen->setChecked(true);
    pLayout->addWidget(pChosen);
    pLayout->addWidget(new QCheckBox(QStringLiteral("Ask every time"), pGroup));
    return pSheet;
}
