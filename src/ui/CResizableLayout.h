#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// An anchor point as percentages of the host's width and height.
struct SResizeAnchor
{
    int nX = 0;
    int nY = 0;
};

inline constexpr SResizeAnchor TOP_LEFT{0, 0};
inline constexpr SResizeAnchor TOP_CENTER{50, 0};
inline constexpr SResizeAnchor TOP_RIGHT{100, 0};
inline constexpr SResizeAnchor MIDDLE_LEFT{0, 50};
inline constexpr SResizeAnchor MIDDLE_CENTER{50, 50};
inline constexpr SResizeAnchor MIDDLE_RIGHT{100, 50};
inline constexpr SResizeAnchor BOTTOM_LEFT{0, 100};
inline constexpr SResizeAnchor BOTTOM_CENTER{50, 100};
inline constexpr SResizeAnchor BOTTOM_RIGHT{100, 100};

// Keeps child controls at their anchored places while the host widget is resized: a control's
// top-left corner moves by the given percentages of the host's change in width and height, and so
// does its bottom-right corner with its own anchor. The places the controls have when they are
// anchored, with the host's size at that time, are the reference.
class CResizableLayout : public QObject
{
    Q_OBJECT
public:
    explicit CResizableLayout(QWidget* pHost);

    // pControl must be a child of the host. With one anchor both corners use it.
    void AddAnchor(QWidget* pControl, SResizeAnchor topLeft, SResizeAnchor bottomRight);
    void AddAnchor(QWidget* pControl, SResizeAnchor anchor) { AddAnchor(pControl, anchor, anchor); }
    void RemoveAnchor(QWidget* pControl);
    void RemoveAllAnchors();
    [[nodiscard]] bool HasAnchor(const QWidget* pControl) const;
    // Places every anchored control for the host's current size.
    void ArrangeLayout();
    // Children are clipped out of their parent's painting already; kept for the callers.
    void ClipChildren(bool /*bClip*/ = true) {}
    // Where the control belongs for a host of that size.
    [[nodiscard]] QRect AnchoredRect(const QWidget* pControl, const QSize& hostSize) const;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    struct SEntry
    {
        QPointer<QWidget> pControl;
        SResizeAnchor topLeft;
        SResizeAnchor bottomRight;
        QRect rcBase;
        QSize hostBase;
    };
    [[nodiscard]] static QRect Place(const SEntry& entry, const QSize& hostSize);

    QPointer<QWidget> m_pHost;
    std::vector<SEntry> m_entries;
};
