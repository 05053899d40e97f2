#include "ui/CHPropertiesPages.h"

#include "ui/CBCGButton.h"
#include "ui/CHPageDlg.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

CHPropertiesPages::CHPropertiesPages(QWidget* pParent)
    : QWidget(pParent)
    , m_pStack(new QStackedWidget(this))
    , m_pBar(new QWidget(this))
    , m_pPrevious(new CBCGButton(m_pBar))
    , m_pNext(new CBCGButton(m_pBar))
{
    setObjectName(QStringLiteral("CHPropertiesPages"));
    m_pStack->setObjectName(QStringLiteral("pageStack"));
    m_pBar->setObjectName(QStringLiteral("controlBar"));
    m_pPrevious->setObjectName(QStringLiteral("btnPrevious"));
    m_pNext->setObjectName(QStringLiteral("btnNext"));
    m_pPrevious->setText(tr("< Previous"));
    m_pNext->setText(tr("Next >"));
    m_pBar->setAutoFillBackground(true);

    auto* pBarLayout = new QHBoxLayout(m_pBar);
    pBarLayout->setContentsMargins(8, 6, 8, 6);
    pBarLayout->addStretch(1);
    pBarLayout->addWidget(m_pPrevious);
    pBarLayout->addWidget(m_pNext);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pStack, 1);
    pLayout->addWidget(m_pBar);

    connect(m_pPrevious, &QAbstractButton::clicked, this, [this] {
        if (m_nCurrent > 0 && m_pages[static_cast<size_t>(m_nCurrent - 1)] != nullptr) {
            PostPageSwitch(m_pages[static_cast<size_t>(m_nCurrent - 1)]->PageId());
        }
    });
    connect(m_pNext, &QAbstractButton::clicked, this, [this] {
        if (m_nCurrent >= 0 && m_nCurrent + 1 < GetPageCount() && m_pages[static_cast<size_t>(m_nCurrent + 1)]) {
            PostPageSwitch(m_pages[static_cast<size_t>(m_nCurrent + 1)]->PageId());
        }
    });
    UpdateButtons();
}

CHPropertiesPages::~CHPropertiesPages()
{
    for (CHPageDlg* pPage : m_pages) {
        if (pPage != nullptr) {
            pPage->DestroyPage();
        }
    }
}

bool CHPropertiesPages::Create(QWidget* pParent, const QRect& rc)
{
    setParent(pParent);
    setGeometry(rc);
    show();
    m_bCreated = true;
    return true;
}

int CHPropertiesPages::InsertPage(CHPageDlg* pPage, int nIndex)
{
    if (pPage == nullptr) {
        return -1;
    }
    const int nAt = nIndex < 0 || nIndex > GetPageCount() ? GetPageCount() : nIndex;
    m_pages.insert(m_pages.begin() + nAt, pPage);
    m_pStack->addWidget(pPage);
    if (m_nCurrent >= nAt) {
        ++m_nCurrent;
    }
    UpdateButtons();
    return nAt;
}

int CHPropertiesPages::PageIndex(int nPageId) const
{
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i] != nullptr && m_pages[i]->PageId() == nPageId) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CHPageDlg* CHPropertiesPages::GetPageDlgHandle(int nIndex) const
{
    return nIndex >= 0 && nIndex < GetPageCount() ? m_pages[static_cast<size_t>(nIndex)] : nullptr;
}

bool CHPropertiesPages::IsPageCreated(int nIndex) const
{
    const CHPageDlg* pPage = GetPageDlgHandle(nIndex);
    return pPage != nullptr && pPage->IsCreated();
}

int CHPropertiesPages::GetCurrentPageDlg() const
{
    const CHPageDlg* pPage = GetPageDlgHandle(m_nCurrent);
    return pPage != nullptr ? pPage->PageId() : -1;
}

bool CHPropertiesPages::SetPage(int nIndex)
{
    CHPageDlg* pPage = GetPageDlgHandle(nIndex);
    if (pPage == nullptr) {
        return false;
    }
    if (!pPage->IsCreated() && !pPage->TemplateSize().isValid()) {
        pPage->resize(m_pStack->size());  // built for the place it is shown in
    }
    if (!pPage->CreatePage()) {
        return false;
    }
    m_nCurrent = nIndex;
    m_pStack->setCurrentWidget(pPage);
    pPage->setGeometry(m_pStack->contentsRect());  // a page built at its template size takes the place
    pPage->OnSetActive();
    UpdateButtons();
    emit PageChanged(nIndex, pPage->PageId());
    return true;
}

bool CHPropertiesPages::SetPageById(int nPageId)
{
    return SetPage(PageIndex(nPageId));
}

bool CHPropertiesPages::DestroyPage(int nIndex)
{
    CHPageDlg* pPage = GetPageDlgHandle(nIndex);
    if (pPage == nullptr) {
        return false;
    }
    pPage->DestroyPage();
    m_pStack->removeWidget(pPage);
    m_pages[static_cast<size_t>(nIndex)] = nullptr;
    delete pPage;
    if (m_nCurrent == nIndex) {
        m_nCurrent = -1;
    }
    UpdateButtons();
    return true;
}

bool CHPropertiesPages::ReplacePage(int nIndex, CHPageDlg* pPage)
{
    if (pPage == nullptr || nIndex < 0 || nIndex >= GetPageCount()) {
        return false;
    }
    const bool bWasCurrent = m_nCurrent == nIndex;
    DestroyPage(nIndex);
    m_pages[static_cast<size_t>(nIndex)] = pPage;
    m_pStack->addWidget(pPage);
    if (bWasCurrent) {
        SetPage(nIndex);
    }
    UpdateButtons();
    return true;
}

void CHPropertiesPages::PostPageSwitch(int nPageId)
{
    QMetaObject::invokeMethod(this, "OnPageSwitchRequest", Qt::QueuedConnection, Q_ARG(int, nPageId));
}

void CHPropertiesPages::OnPageSwitchRequest(int nPageId)
{
    const int nIndex = PageIndex(nPageId);
    if (nIndex < 0) {
        return;
    }
    if (m_bAsking) {
        m_nPendingId = nPageId;
        return;
    }
    if (nIndex == m_nCurrent) {
        return;
    }
    bool bMayLeave = true;
    if (CHPageDlg* pCurrent = GetPageDlgHandle(m_nCurrent); pCurrent != nullptr && pCurrent->IsCreated()) {
        m_bAsking = true;
        bMayLeave = pCurrent->OnKillActive(nPageId);
        m_bAsking = false;
    }
    if (bMayLeave) {
        SetPage(PageIndex(nPageId));  // the index again: the page may have changed the list
    } else {
        emit PageSwitchRefused(nPageId);
    }
    const int nPending = m_nPendingId;
    m_nPendingId = -1;
    if (nPending != -1 && nPending != nPageId && nPending != GetCurrentPageDlg()) {
        PostPageSwitch(nPending);
    }
}

void CHPropertiesPages::ReCalcLayout()
{
    if (layout() != nullptr) {
        layout()->activate();
    }
}

void CHPropertiesPages::SetBtnColors(const QColor& clrFace, const QColor& clrFaceHot)
{
    for (CBCGButton* pButton : {m_pPrevious, m_pNext}) {
        pButton->SetFaceColor(clrFace);
        pButton->SetFaceColorHot(clrFaceHot);
    }
}

void CHPropertiesPages::SetTextNext(const QString& strText)
{
    m_pNext->setText(strText);
}

void CHPropertiesPages::SetTextPrevious(const QString& strText)
{
    m_pPrevious->setText(strText);
}

void CHPropertiesPages::SetNextImage(const QPixmap& image)
{
    m_pNext->SetImage(image);
}

void CHPropertiesPages::SetPreviousImage(const QPixmap& image)
{
    m_pPrevious->SetImage(image);
}

void CHPropertiesPages::SetControlVisible(bool bVisible)
{
    m_pBar->setVisible(bVisible);
}

void CHPropertiesPages::SetControlColorBg(const QColor& clr)
{
    QPalette pal = m_pBar->palette();
    pal.setColor(QPalette::Window, clr);
    m_pBar->setPalette(pal);
}

void CHPropertiesPages::UpdateButtons()
{
    m_pPrevious->setEnabled(m_nCurrent > 0);
    m_pNext->setEnabled(m_nCurrent >= 0 && m_nCurrent + 1 < GetPageCount());
}
