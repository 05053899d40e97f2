#include "ui/CHHexEdit.h"

#include <QKeyEvent>
#include <QValidator>

namespace {

bool IsUpperHex(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// Pasted or set text: upper-cased, and only hexadecimal digits.
class CHexValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& strInput, int& /*nPos*/) const override
    {
        strInput = strInput.toUpper();
        for (const QChar c : strInput) {
            if (!IsUpperHex(c)) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

}  // namespace

CHHexEdit::CHHexEdit(QWidget* pParent)
    : QLineEdit(pParent)
{
    setValidator(new CHexValidator(this));
}

void CHHexEdit::keyPressEvent(QKeyEvent* pEvent)
{
    const QString strText = pEvent->text();
    // Movement, deletion and shortcuts (no printable character) take their usual course.
    if (strText.size() != 1 || !strText[0].isPrint()
        || (pEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QLineEdit::keyPressEvent(pEvent);
        return;
    }
    const QChar c = strText[0];
    if (IsUpperHex(c)) {
        QLineEdit::keyPressEvent(pEvent);
        return;
    }
    if (c >= QLatin1Char('a') && c <= QLatin1Char('f')) {
        QString strValue = text();
        int nStart = cursorPosition();
        if (hasSelectedText()) {
            nStart = selectionStart();
            strValue.remove(nStart, selectedText().size());
        }
        int nCaret = nStart;
        if (strValue.size() < maxLength()) {
            strValue.insert(nStart, c.toUpper());
            nCaret = nStart + 1;
        }
        setText(strValue);
        setCursorPosition(nCaret);
        pEvent->accept();
        return;
    }
    pEvent->accept();  // anything else is dropped
}
