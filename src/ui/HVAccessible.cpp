#include "ui/HVAccessible.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace HVUi {
namespace {

constexpr const char* kDefaultButton = "hvDefaultButton";

QString Stripped(QString strText)
{
    // "&Next" reads "Next"; "&&" stays one ampersand.
    strText.replace(QLatin1String("&&"), QString(QChar(0x1)));
    strText.remove(QLatin1Char('&'));
    strText.replace(QChar(0x1), QLatin1Char('&'));
    return strText.trimmed();
}

}  // namespace

void NameControls(QWidget* pRoot)
{
    if (pRoot == nullptr) {
        return;
    }
    // Labels that name another control lend it their text.
    for (const QLabel* pLabel : pRoot->findChildren<QLabel*>()) {
        QWidget* pBuddy = pLabel->buddy();
        if (pBuddy != nullptr && pBuddy->accessibleName().isEmpty()) {
            pBuddy->setAccessibleName(Stripped(pLabel->text()));
        }
    }
    for (QWidget* pWidget : pRoot->findChildren<QWidget*>()) {
        if (pWidget->focusPolicy() == Qt::NoFocus && qobject_cast<QAbstractButton*>(pWidget) == nullptr) {
            continue;
        }
        const QString strTip = pWidget->toolTip();
        if (pWidget->accessibleDescription().isEmpty() && !strTip.isEmpty()) {
            pWidget->setAccessibleDescription(strTip);
        }
        if (!pWidget->accessibleName().isEmpty()) {
            continue;
        }
        const auto* pButton = qobject_cast<QAbstractButton*>(pWidget);
        if (pButton != nullptr && !Stripped(pButton->text()).isEmpty()) {
            continue;  // its text is its name
        }
        if (!strTip.isEmpty()) {
            pWidget->setAccessibleName(strTip);
        }
    }
}

void OrderTabs(QWidget* pRoot)
{
    if (pRoot == nullptr) {
        return;
    }
    struct SPlace
    {
        QWidget* pWidget;
        QRect rc;
    };
    std::vector<SPlace> places;
    QWidget* pDefault = nullptr;
    for (QWidget* pWidget : pRoot->findChildren<QWidget*>()) {
        if (!(pWidget->focusPolicy() & Qt::TabFocus) || pWidget->isWindow() || !pWidget->isVisibleTo(pRoot)) {
            continue;
        }
        // The inner parts of a control that takes the focus itself follow it.
        bool bInner = false;
        for (QWidget* pUp = pWidget->parentWidget(); pUp != nullptr && pUp != pRoot; pUp = pUp->parentWidget()) {
            bInner = bInner || (pUp->focusPolicy() & Qt::TabFocus) != 0 || pUp->isWindow();
        }
        if (bInner) {
            continue;
        }
        // A dialog lends the default to whichever auto-default button has the focus; the one
        // that was the default when the order was first set stays the one that comes last.
        if (auto* pPush = qobject_cast<QPushButton*>(pWidget);
            pPush != nullptr && (pPush->isDefault() || pPush->property(kDefaultButton).toBool())) {
            pPush->setProperty(kDefaultButton, true);
            pDefault = pWidget;
            continue;
        }
        places.push_back({pWidget, QRect(pWidget->mapTo(pRoot, QPoint(0, 0)), pWidget->size())});
    }
    std::sort(places.begin(), places.end(), [](const SPlace& a, const SPlace& b) {
        return a.rc.center().y() < b.rc.center().y();
    });
    // Rows: a control whose middle lies within the height of the row's first control joins it.
    std::vector<SPlace> ordered;
    for (std::size_t i = 0; i < places.size();) {
        const QRect first = places[i].rc;
        std::size_t j = i;
        while (j < places.size() && places[j].rc.center().y() <= first.bottom()) {
            ++j;
        }
        std::sort(places.begin() + static_cast<std::ptrdiff_t>(i),
                  places.begin() + static_cast<std::ptrdiff_t>(j),
                  [](const SPlace& a, const SPlace& b) { return a.rc.left() < b.rc.left(); });
        ordered.insert(ordered.end(),
                       places.begin() + static_cast<std::ptrdiff_t>(i),
                       places.begin() + static_cast<std::ptrdiff_t>(j));
        i = j;
    }
    if (pDefault != nullptr) {
        ordered.push_back({pDefault, QRect()});
    }
    for (std::size_t i = 1; i < ordered.size(); ++i) {
        QWidget::setTabOrder(ordered[i - 1].pWidget, ordered[i].pWidget);
    }
}

}  // namespace HVUi
