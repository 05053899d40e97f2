#include "ui/CResizableLayout.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

CResizableLayout::CResizableLayout(QWidget* pHost)
    : QObject(pHost)
    , m_pHost(pHost)
{
    setObjectName(QStringLiteral("CResizableLayout"));
    if (pHost != nullptr) {
        pHost->installEventFilter(this);
    }
}

void CResizableLayout::AddAnchor(QWidget* pControl, SResizeAnchor topLeft, SResizeAnchor bottomRight)
{
    if (pControl == nullptr || m_pHost.isNull()) {
        return;
    }
    RemoveAnchor(pControl);
    m_entries.push_back(SEntry{pControl, topLeft, bottomRight, pControl->geometry(), m_pHost->size()});
}

void CResizableLayout::RemoveAnchor(QWidget* pControl)
{
    std::erase_if(m_entries, [pControl](const SEntry& e) { return e.pControl == pControl; });
}

void CResizableLayout::RemoveAllAnchors()
{
    m_entries.clear();
}

bool CResizableLayout::HasAnchor(const QWidget* pControl) const
{
    return std::any_of(
        m_entries.begin(), m_entries.end(), [pControl](const SEntry& e) { return e.pControl == pControl; });
}

QRect CResizableLayout::Place(const SEntry& e, const QSize& hostSize)
{
    const int dw = hostSize.width() - e.hostBase.width();
    const int dh = hostSize.height() - e.hostBase.height();
    const int nLeft = e.rcBase.left() + dw * e.topLeft.nX / 100;
    const int nTop = e.rcBase.top() + dh * e.topLeft.nY / 100;
    // Right and bottom as exclusive edges, so that a control anchored at both ends grows by the
    // whole change.
    const int nRight = e.rcBase.left() + e.rcBase.width() + dw * e.bottomRight.nX / 100;
    const int nBottom = e.rcBase.top() + e.rcBase.height() + dh * e.bottomRight.nY / 100;
    return QRect(nLeft, nTop, std::max(0, nRight - nLeft), std::max(0, nBottom - nTop));
}

QRect CResizableLayout::AnchoredRect(const QWidget* pControl, const QSize& hostSize) const
{
    for (const SEntry& e : m_entries) {
        if (e.pControl == pControl) {
            return Place(e, hostSize);
        }
    }
    return QRect();
}

void CResizableLayout::ArrangeLayout()
{
    if (m_pHost.isNull()) {
        return;
    }
    std::erase_if(m_entries, [](const SEntry& e) { return e.pControl.isNull(); });
    const QSize size = m_pHost->size();
    for (const SEntry& e : m_entries) {
        e.pControl->setGeometry(Place(e, size));
    }
}

bool CResizableLayout::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pHost && pEvent->type() == QEvent::Resize) {
        ArrangeLayout();
    }
    return QObject::eventFilter(pWatched, pEvent);
}
