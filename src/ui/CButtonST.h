#pragma once

#include <QIcon>
#include <QPointer>
#include <QToolButton>

// The platform look for flat icon buttons; the buttons ask it nothing more than to exist.
class CThemeHelperST : public QObject
{
    Q_OBJECT
public:
    explicit CThemeHelperST(QObject* pParent = nullptr)
        : QObject(pParent)
    {
    }
};

// A flat icon button that shows its frame while the mouse is over it.
class CButtonST : public QToolButton
{
    Q_OBJECT
public:
    explicit CButtonST(QWidget* pParent = nullptr);

    void SetFlat(bool bFlat = true) { setAutoRaise(bFlat); }
    [[nodiscard]] bool IsFlat() const { return autoRaise(); }
    void SetIcon(const QIcon& icon);
    void SetIcon(const QPixmap& pixmap) { SetIcon(QIcon(pixmap)); }
    void SetThemeHelper(CThemeHelperST* pHelper) { m_pThemeHelper = pHelper; }
    [[nodiscard]] CThemeHelperST* ThemeHelper() const { return m_pThemeHelper.data(); }

private:
    QPointer<CThemeHelperST> m_pThemeHelper;
};

// The same button drawn in the desktop's visual style.
class CXPStyleButtonST : public CButtonST
{
    Q_OBJECT
public:
    explicit CXPStyleButtonST(QWidget* pParent = nullptr)
        : CButtonST(pParent)
    {
        setObjectName(QStringLiteral("CXPStyleButtonST"));
    }
};
