#pragma once

// An edit field for hexadecimal input: digits and A-F are taken, a-f are taken as A-F, every
// other character is dropped. Editing and movement keys work as usual; pasted text is upper-cased
// and refused when it holds anything but hexadecimal digits.
#include <QLineEdit>

class CHHexEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit CHHexEdit(QWidget* pParent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* pEvent) override;
};
